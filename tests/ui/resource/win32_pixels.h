#pragma once

// Pixel helpers for the drawing tests under Wine: a 32-bit drawing target whose pixels are read
// straight from its DIB section, writing regions of a CHBitmap, and PNG files made with GDI+.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/ch_bitmap.h"

namespace testing_pixels {

// Colours as the bytes of a 32-bit pixel read as one little-endian number: 0xAARRGGBB.
constexpr uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// A top-down 32-bit DIB section selected into its own memory DC.
class Canvas {
public:
    Canvas(int width, int height, uint32_t fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    uint32_t At(int x, int y) const;
    void Fill(uint32_t value);
    // Whether every pixel of the rectangle (clipped to the canvas) holds value, comparing only
    // the bits of mask (0xFFFFFF compares colour and ignores alpha).
    bool AllAre(const RECT& area, uint32_t value, uint32_t mask = 0xFFFFFFFF) const;
    // The smallest rectangle holding every pixel that differs from background; empty when none.
    RECT Changed(uint32_t background) const;
    // The largest value of any colour channel inside the rectangle.
    int MaxChannel(const RECT& area) const;
    bool SamePixels(const Canvas& other) const;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    uint32_t* m_pixels = nullptr;
    int m_width;
    int m_height;
};

// Writes colour (0xAARRGGBB; alpha ignored at 24 bits) into a rectangle of the bitmap, in image
// coordinates with the top row at y = 0.
void PaintRect(CHBitmap& bitmap, int x, int y, int w, int h, uint32_t color);
uint32_t PixelOf(const CHBitmap& bitmap, int x, int y);

// A PNG of width × height pixels given top row first as 0xAARRGGBB (straight alpha), saved by
// GDI+ with an alpha channel (32bppARGB) or without (24bppRGB). Starts GDI+ if it is not up.
std::string MakePng(int width, int height, const std::vector<uint32_t>& pixels, bool withAlpha);

bool SameRect(const RECT& a, const RECT& b);
std::string Describe(const RECT& r);

}  // namespace testing_pixels
