#pragma once

// A small skin for the check box, scroll bar and edit box tests, and a layered host window whose
// back buffer the tests read. The skin's sprite sheet is a row of solid 16 x 16 blocks, one
// colour per state image, so the colour at a control's centre tells which image it drew.

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
#include "ui_test_elements.h"
#include "win32_pixels.h"

namespace edits_test {

// The sheet's blocks, left to right, as COLORREF values.
enum Block : int {
    kBoxNormal, kBoxGrayed, kBoxLighted, kBoxPressed, kBoxFocused,
    kCheckedNormal, kCheckedGrayed, kCheckedLighted, kCheckedPressed, kCheckedFocused,
    kWhite, kTrack, kThumb, kPaper,
    kBlockCount
};

constexpr COLORREF kBlockColors[kBlockCount] = {
    RGB(250, 10, 10),  RGB(128, 128, 128), RGB(10, 250, 10), RGB(10, 10, 250), RGB(250, 250, 10),
    RGB(250, 10, 250), RGB(100, 100, 100), RGB(10, 250, 250), RGB(250, 130, 10), RGB(130, 10, 250),
    RGB(255, 255, 255), RGB(60, 160, 60), RGB(200, 60, 60), RGB(230, 230, 230),
};

// The host window's own background (HostWindow paints it).
constexpr COLORREF kHostColor = RGB(0, 0, 80);

inline std::string Sheet()
{
    const int width = 16 * kBlockCount;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = kBlockColors[x / 16];
            pixels[static_cast<size_t>(y) * width + x] = testing_pixels::Argb(255, GetRValue(c), GetGValue(c), GetBValue(c));
        }
    return testing_pixels::MakePng(width, 16, pixels, true);
}

// An image style object drawing block b, of width w (a block is 16 wide).
inline std::string Image(int block, int width = 16)
{
    return "{\"bi\": 100, \"bg\": [" + std::to_string(16 * block) + ", 0, " + std::to_string(width) + ", 16]}";
}

inline std::string StateImages(int first)
{
    return "\"normal\": " + Image(first) + ", \"grayed\": " + Image(first + 1) + ", \"lighted\": " +
           Image(first + 2) + ", \"pressed\": " + Image(first + 3) + ", \"focused\": " + Image(first + 4);
}

// Text colours are COLORREF numbers: 255 is red, 65280 green, 16777215 white.
inline std::string Document()
{
    return std::string("{\"cfg\": {\"Win\": {") +
           "\"Box\": {\"id\": 1042, \"size\": [10, 10, 16, 16], " + StateImages(kBoxNormal) + "}," +
           "\"BoxEx\": {\"id\": 70000, \"size\": [40, 10, 16, 16], \"Unchecked\": {" + StateImages(kBoxNormal) +
           "}, \"Checked\": {" + StateImages(kCheckedNormal) + "}}," +
           "\"Caption\": {\"id\": 7, \"size\": [10, 40, 160, 24], \"Text\": {\"margin\": [40, 0, 0, 0], "
           "\"normal\": {\"cr\": 16777215, \"al\": 36}, \"lighted\": {\"cr\": 16777215, \"al\": 36}, "
           "\"pressed\": {\"cr\": 255, \"al\": 36}}}," +
           "\"Bare\": {\"size\": [10, 70, 160, 24]}," +
           "\"ReadMe\": {\"id\": 5, \"size\": [10, 10, 200, 120], \"bkgnd\": " + Image(kPaper) +
           ", \"Text\": {\"margin\": [4, 4, 4, 4], \"normal\": {\"cr\": 255}, \"grayed\": {\"cr\": 65280}}, "
           "\"ScrollBar\": {\"trackbar\": " + Image(kTrack, 12) + ", \"thumb\": " + Image(kThumb, 12) + "}}," +
           "\"Path\": {\"size\": [10, 150, 200, 24], \"bkgnd\": " + Image(kWhite) +
           ", \"Text\": {\"margin\": [4, 0, 0, 0], \"normal\": {\"al\": 36}}}" +
           "}}, \"res\": {\"images\": [{\"id\": 100, \"name\": \"sheet.png\"}]}}";
}

inline bool LoadSkin(UIResource& resource)
{
    return resource.LoadFromMemory(testing_uir::BuildPackage(Document() + '\0', {{100, Sheet()}}));
}

// A layered host that records every WM_COMMAND it receives.
class CommandHost : public HostWindow {
public:
    struct Command {
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Command> commands;

    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back({wParam, lParam});
        return HostWindow::OnCommand(wParam, lParam);
    }
};

// The skin loaded, a 320 x 220 layered host at the screen's top-left corner, shown once the test
// has made its controls.
class SkinnedHostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr)); }

    void SetUp() override
    {
        ASSERT_TRUE(LoadSkin(resource));
        ASSERT_TRUE(host.Create(nullptr, 0, 0, WS_POPUP, L"edits", 0));
        host.SetWindowSize(320, 220);
        ASSERT_EQ(host.MakeLayered(), 1);
    }
    void TearDown() override { DestroyWindow(host.GetHandle()); }

    void Show()
    {
        ShowWindow(host.GetHandle(), SW_SHOWNOACTIVATE);
        ASSERT_NE(host.Pixels(), nullptr);
    }
    COLORREF ColorAt(int x, int y)
    {
        GdiFlush();
        return StoredColorAt(x, y);
    }
    // The pixel as stored, for scans that flush once before they start.
    COLORREF StoredColorAt(int x, int y)
    {
        const BYTE* p = host.PixelAt(x, y);
        return RGB(p[2], p[1], p[0]);
    }
    // True when some pixel of the area is within 40 of the colour in every channel.
    bool AnyPixelNear(const RECT& area, COLORREF color)
    {
        GdiFlush();
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = StoredColorAt(x, y);
                if (abs(GetRValue(c) - GetRValue(color)) < 40 && abs(GetGValue(c) - GetGValue(color)) < 40 &&
                    abs(GetBValue(c) - GetBValue(color)) < 40)
                    return true;
            }
        return false;
    }
    // The smallest rectangle holding every pixel of the area darker than 80 in each channel.
    RECT DarkBounds(const RECT& area)
    {
        GdiFlush();
        RECT bounds = {area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = StoredColorAt(x, y);
                if (GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x + 1);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                }
            }
        return bounds.right > bounds.left ? bounds : RECT{0, 0, 0, 0};
    }
    std::vector<COLORREF> Snapshot(const RECT& area)
    {
        GdiFlush();
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(StoredColorAt(x, y));
        return pixels;
    }
    // The smallest rectangle holding every pixel that differs from an earlier snapshot.
    RECT Difference(const RECT& area, const std::vector<COLORREF>& before)
    {
        GdiFlush();
        RECT bounds = {area.right, area.bottom, area.left, area.top};
        size_t i = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x, ++i)
                if (StoredColorAt(x, y) != before[i]) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x + 1);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                }
        return bounds.right > bounds.left ? bounds : RECT{0, 0, 0, 0};
    }
    void Send(UINT message, WPARAM wParam, int x, int y)
    {
        SendMessageW(host.GetHandle(), message, wParam, MAKELPARAM(x, y));
    }
    void Post(UINT message, WPARAM wParam, int x, int y)
    {
        PostMessageW(host.GetHandle(), message, wParam, MAKELPARAM(x, y));
    }
    // Handles whatever is still queued, so nothing left by one step reaches the next.
    static void Drain()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;
            DispatchMessageW(&message);
        }
    }

    // Declared first so it outlives the host and the controls that draw its images.
    UIResource resource;
    CommandHost host;
};

}  // namespace edits_test
