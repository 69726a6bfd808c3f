#pragma once

// Support for the control tests under Wine: a small skin package built in memory (a sprite sheet
// of solid colour blocks, one per state or part, and the element nodes that use them), windows
// whose layered back buffer can be read pixel by pixel, and a log of the commands they receive.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ui/resource/ui_resource.h"
#include "ui/ui_frame_window.h"
#include "ui/ui_object.h"

namespace control_testing {

// The colour of each block of the sheet. No two are alike, and none is the hosts' background.
constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kGrayed = RGB(128, 128, 128);
constexpr COLORREF kLighted = RGB(0, 180, 0);
constexpr COLORREF kPressed = RGB(0, 0, 200);
constexpr COLORREF kFocused = RGB(255, 128, 0);
constexpr COLORREF kTrack = RGB(230, 230, 230);
constexpr COLORREF kFill = RGB(0, 160, 160);
constexpr COLORREF kTopStrip = RGB(100, 0, 100);
constexpr COLORREF kLeftStrip = RGB(0, 100, 100);
constexpr COLORREF kRightStrip = RGB(100, 100, 0);
constexpr COLORREF kBottomStrip = RGB(120, 60, 0);
constexpr COLORREF kClient = RGB(40, 40, 40);
constexpr COLORREF kPaneColour = RGB(250, 150, 200);
constexpr COLORREF kCloseColour = RGB(255, 60, 60);
// What the test hosts paint beneath their elements.
constexpr COLORREF kHostColour = RGB(0, 0, 80);
// Caption colours of the button's text styles.
constexpr COLORREF kCaptionColour = RGB(255, 255, 255);
constexpr COLORREF kGrayedCaptionColour = RGB(255, 255, 0);

// Loads the test skin; false when the package did not load.
bool LoadTestSkin(UIResource& resource);

// Reads the layered back buffer of a window-level element.
template <class Base>
class PixelWindow : public Base {
public:
    // The colour of client pixel (x, y); CLR_INVALID outside the buffer.
    COLORREF ColourAt(int x, int y) const
    {
        if (this->m_pixelBits == nullptr || x < 0 || y < 0 || x >= this->m_bufferWidth || y >= this->m_bufferHeight)
            return CLR_INVALID;
        GdiFlush();
        const BYTE* p = static_cast<const BYTE*>(this->m_pixelBits) +
                        static_cast<size_t>(this->m_bufferHeight - 1 - y) * this->m_stride + 4 * x;
        return RGB(p[2], p[1], p[0]);
    }
    // How many pixels of the rectangle have exactly this colour.
    int CountColour(const RECT& area, COLORREF colour) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (ColourAt(x, y) == colour)
                    ++count;
        return count;
    }
    // How many pixels of the rectangle are within tolerance of the colour in every channel.
    int CountNear(const RECT& area, COLORREF colour, int tolerance) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = ColourAt(x, y);
                if (abs(GetRValue(c) - GetRValue(colour)) <= tolerance &&
                    abs(GetGValue(c) - GetGValue(colour)) <= tolerance &&
                    abs(GetBValue(c) - GetBValue(colour)) <= tolerance)
                    ++count;
            }
        return count;
    }
    // The smallest rectangle holding every pixel of the area that is not the background colour;
    // empty when there is none.
    RECT Marks(const RECT& area, COLORREF background) const
    {
        RECT bounds = {area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (ColourAt(x, y) != background) {
                    bounds.left = std::min<LONG>(bounds.left, x);
                    bounds.top = std::min<LONG>(bounds.top, y);
                    bounds.right = std::max<LONG>(bounds.right, x + 1);
                    bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
                }
        if (bounds.right <= bounds.left)
            return RECT{0, 0, 0, 0};
        return bounds;
    }
    // The colours of the rectangle, row by row.
    std::vector<COLORREF> Snapshot(const RECT& area) const
    {
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(ColourAt(x, y));
        return pixels;
    }
};

// A layered top-level host that paints kHostColour, counts its paints and logs the commands it
// receives as "command <id> code <code> from host" (or "from <lParam>").
class TestHost : public PixelWindow<UIObject> {
public:
    int paints = 0;
    RECT lastClip = {0, 0, 0, 0};
    std::vector<std::string>* log = nullptr;

    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
};

// Creates a hidden layered host of the given size; false when the window could not be made.
bool CreateLayeredHost(TestHost& host, int width, int height);
// Shows a window without activating it; a layered one paints itself whole.
void ShowQuietly(HWND window);
// Handles every message waiting for this thread.
void PumpMessages();

// "(left, top, right, bottom)" for failure messages.
std::string Describe(const RECT& r);

}  // namespace control_testing
