#pragma once

// A small skin for the tool bar, radio box, drop button, tab control and list view tests, and a
// layered host whose back buffer the tests read. The skin's sprite sheet is a row of solid
// 16 x 16 blocks, one colour per image, so the colour at a spot tells which image was drawn there.
//
// Every test builds its controls under a CommandParent that covers the host: it records what its
// children offer it through OnChildCommand, while the host records the WM_COMMAND messages it
// receives and the rectangle of every repaint.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "package_builder.h"
#include "ui/resource/ui_resource.h"
#include "ui/ui_object.h"
#include "win32_pixels.h"

namespace more_controls_test {

// The sheet's blocks, left to right.
enum Block : int {
    kNormal, kGrayed, kLighted, kPressed, kFocused,
    kBarBackground, kSeparator,
    kTabBackground, kTab, kTabSelected,
    kEvenRow, kOddRow, kSelectedRow, kHeaderBackground, kSplitter, kTrack, kThumb,
    kBlockCount
};

constexpr COLORREF kBlockColors[kBlockCount] = {
    RGB(200, 0, 0),    RGB(128, 128, 128), RGB(0, 180, 0),   RGB(0, 0, 200),   RGB(250, 250, 10),
    RGB(90, 60, 30),   RGB(250, 10, 250),
    RGB(60, 90, 120),  RGB(20, 120, 20),   RGB(120, 20, 120),
    RGB(70, 70, 160),  RGB(160, 70, 70),   RGB(20, 140, 140), RGB(100, 100, 40), RGB(255, 140, 0),
    RGB(60, 160, 60),  RGB(200, 60, 60),
};

// What the host paints beneath its elements.
constexpr COLORREF kHostColor = RGB(0, 0, 80);
// Caption and title colours of the skin's text styles.
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

inline COLORREF BlockColor(Block block)
{
    return kBlockColors[block];
}

inline std::string Sheet()
{
    const int width = 16 * kBlockCount;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = kBlockColors[x / 16];
            pixels[static_cast<size_t>(y) * width + x] =
                testing_pixels::Argb(255, GetRValue(c), GetGValue(c), GetBValue(c));
        }
    return testing_pixels::MakePng(width, 16, pixels, true);
}

// An image style object drawing block b from a piece w pixels wide (a block is 16 wide).
inline std::string Image(int block, int width = 16)
{
    return "{\"bi\": 100, \"bg\": [" + std::to_string(16 * block) + ", 0, " + std::to_string(width) + ", 16]}";
}

inline std::string StateImages()
{
    return "\"normal\": " + Image(kNormal) + ", \"grayed\": " + Image(kGrayed) + ", \"lighted\": " +
           Image(kLighted) + ", \"pressed\": " + Image(kPressed) + ", \"focused\": " + Image(kFocused);
}

inline std::string Document()
{
    const std::string white = std::to_string(kWhite);
    const std::string yellow = std::to_string(kYellow);
    // Every state's caption is white and asks to be centred.
    std::string captionStyles = "\"Text\": {\"margin\": [6, 0, 6, 0]";
    for (const char* state : {"normal", "grayed", "lighted", "pressed", "focused"})
        captionStyles += std::string(", \"") + state + "\": {\"cr\": " + white + ", \"al\": 37}";
    captionStyles += "}";
    auto radio = [](int id, int x) {
        return "{\"id\": " + std::to_string(id) + ", \"size\": [" + std::to_string(x) + ", 10, 16, 16], " +
               StateImages() + "}";
    };
    return std::string("{\"cfg\": {\"Win\": {") +
           "\"Tools\": {\"id\": 9, \"size\": [10, 10, 240, 40], \"bkgnd\": " + Image(kBarBackground) +
           ", \"seperator\": " + Image(kSeparator, 6) + "}," +
           "\"Radio1\": " + radio(201, 10) + ", \"Radio2\": " + radio(202, 40) + ", \"Radio3\": " + radio(65739, 70) +
           "," + "\"Check\": {\"id\": 210, \"size\": [100, 10, 16, 16], " + StateImages() + "}," +
           "\"Drop\": {\"id\": 65837, \"size\": [10, 150, 140, 24], " + StateImages() + ", " + captionStyles + "}," +
           "\"Tabs\": {\"bkgnd\": " + Image(kTabBackground) + ", \"Item\": {\"normal\": " + Image(kTab) +
           ", \"pressed\": " + Image(kTabSelected) + "}, \"Text\": {\"normal\": {\"cr\": " + white +
           "}, \"pressed\": {\"cr\": " + yellow + "}}}," +
           "\"List\": {\"Header\": {\"height\": 24, \"bkgnd\": " + Image(kHeaderBackground) + ", \"splitter\": " +
           Image(kSplitter, 2) + ", \"text\": {\"cr\": " + white + ", \"al\": 36}}, \"ScrollBar\": {\"trackbar\": " +
           Image(kTrack, 12) + ", \"thumb\": " + Image(kThumb, 12) + "}, \"Item\": {\"odd\": " + Image(kOddRow) +
           ", \"even\": " + Image(kEvenRow) + ", \"selected\": " + Image(kSelectedRow) + ", \"height\": 28}}," +
           "\"BareList\": {\"Header\": {\"height\": 24}, \"Item\": {\"even\": " + Image(kEvenRow) + "}}" +
           "}}, \"res\": {\"images\": [{\"id\": 100, \"name\": \"sheet.png\"}]}}";
}

inline bool LoadSkin(UIResource& resource)
{
    return resource.LoadFromMemory(testing_uir::BuildPackage(Document() + '\0', {{100, Sheet()}})) &&
           resource.FindNode("Win/Tools", nullptr) != nullptr;
}

// A layered host that paints kHostColor, records every WM_COMMAND and the clip of every paint, and
// reads its back buffer.
class Host : public UIObject {
public:
    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Command> commands;
    std::vector<RECT> clips;

    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override
    {
        clips.push_back(*clip);
        HBRUSH brush = CreateSolidBrush(kHostColor);
        FillRect(dc, ownRect, brush);
        DeleteObject(brush);
    }
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back({wParam, lParam});
        return UIObject::OnCommand(wParam, lParam);
    }
    bool HasPixels() const { return m_pixelBits != nullptr; }
    COLORREF ColorAt(int x, int y) const
    {
        if (m_pixelBits == nullptr || x < 0 || y < 0 || x >= m_bufferWidth || y >= m_bufferHeight)
            return CLR_INVALID;
        GdiFlush();
        const BYTE* p = static_cast<const BYTE*>(m_pixelBits) + static_cast<size_t>(m_bufferHeight - 1 - y) * m_stride +
                        4 * x;
        return RGB(p[2], p[1], p[0]);
    }
};

// Covers the host and records what its children offer it.
class CommandParent : public UIObject {
public:
    struct Offer {
        UIObject* sender;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Offer> offers;

    int OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        offers.push_back({sender, message, wParam, lParam});
        return 0;
    }
};

// The skin loaded, a hidden 320 x 240 layered host at the screen's top-left corner with a
// CommandParent over all of it. Tests make their controls, then Show.
class MoreControlsTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;

    static void SetUpTestSuite() { CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr)); }

    void SetUp() override
    {
        ASSERT_TRUE(LoadSkin(resource));
        ASSERT_TRUE(host.Create(nullptr, 0, 0, WS_POPUP, L"more controls", 0));
        host.SetWindowSize(kWidth, kHeight);
        ASSERT_EQ(host.MakeLayered(), 1);
        parent = new CommandParent();
        host.AddChild(parent);
        parent->SetLayout(0, 0, kWidth, kHeight);
    }
    void TearDown() override { DestroyWindow(host.GetHandle()); }

    void Show()
    {
        ShowWindow(host.GetHandle(), SW_SHOWNOACTIVATE);
        ASSERT_TRUE(host.HasPixels());
    }
    void Send(UINT message, WPARAM wParam, int x, int y)
    {
        SendMessageW(host.GetHandle(), message, wParam, MAKELPARAM(x, y));
    }
    // One user action at a point: m move, d press, u release, c double-click.
    void Act(char action, POINT at)
    {
        switch (action) {
        case 'm': Send(WM_MOUSEMOVE, 0, at.x, at.y); break;
        case 'd': Send(WM_LBUTTONDOWN, MK_LBUTTON, at.x, at.y); break;
        case 'u': Send(WM_LBUTTONUP, 0, at.x, at.y); break;
        case 'c': Send(WM_LBUTTONDBLCLK, MK_LBUTTON, at.x, at.y); break;
        }
    }
    // Move there, press and release.
    void Click(POINT at)
    {
        for (char action : {'m', 'd', 'u'})
            Act(action, at);
    }
    COLORREF ColorAt(int x, int y) const { return host.ColorAt(x, y); }
    COLORREF ColorAt(POINT p) const { return host.ColorAt(p.x, p.y); }
    // True when some pixel of the area is within 40 of the colour in every channel.
    bool AnyPixelNear(const RECT& area, COLORREF color) const
    {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = host.ColorAt(x, y);
                if (abs(GetRValue(c) - GetRValue(color)) < 40 && abs(GetGValue(c) - GetGValue(color)) < 40 &&
                    abs(GetBValue(c) - GetBValue(color)) < 40)
                    return true;
            }
        return false;
    }
    // The smallest rectangle holding every pixel of the area within 40 of the colour; empty when
    // there is none.
    RECT BoundsNear(const RECT& area, COLORREF color) const
    {
        RECT bounds = {area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = host.ColorAt(x, y);
                if (abs(GetRValue(c) - GetRValue(color)) < 40 && abs(GetGValue(c) - GetGValue(color)) < 40 &&
                    abs(GetBValue(c) - GetBValue(color)) < 40) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x + 1);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                }
            }
        return bounds.right > bounds.left ? bounds : RECT{0, 0, 0, 0};
    }
    // Whether a repaint since the clips were last cleared covered the point.
    bool Repainted(POINT p) const
    {
        for (const RECT& clip : host.clips)
            if (PtInRect(&clip, p))
                return true;
        return false;
    }

    // Declared first so it outlives the host and the controls that draw its images.
    UIResource resource;
    Host host;
    CommandParent* parent = nullptr;  // owned by the host's child list
};

inline POINT Centre(const RECT& r)
{
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace more_controls_test
