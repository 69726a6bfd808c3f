#include "win32_pixels.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ui/drawing_globals.h"

namespace gp = Gdiplus::DllExports;

namespace testing_pixels {

Canvas::Canvas(int width, int height, uint32_t fill) : m_width(width), m_height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_pixels = static_cast<uint32_t*>(bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_previous = SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

Canvas::~Canvas()
{
    SelectObject(m_dc, m_previous);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

uint32_t Canvas::At(int x, int y) const
{
    GdiFlush();
    return m_pixels[static_cast<size_t>(y) * m_width + x];
}

void Canvas::Fill(uint32_t value)
{
    GdiFlush();
    std::fill(m_pixels, m_pixels + static_cast<size_t>(m_width) * m_height, value);
}

bool Canvas::AllAre(const RECT& area, uint32_t value, uint32_t mask) const
{
    GdiFlush();
    for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, m_height); ++y)
        for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, m_width); ++x)
            if (((m_pixels[static_cast<size_t>(y) * m_width + x] ^ value) & mask) != 0)
                return false;
    return true;
}

RECT Canvas::Changed(uint32_t background) const
{
    GdiFlush();
    RECT bounds = {m_width, m_height, 0, 0};
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x)
            if (m_pixels[static_cast<size_t>(y) * m_width + x] != background) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
    if (bounds.right == 0)
        return RECT{0, 0, 0, 0};
    return bounds;
}

int Canvas::MaxChannel(const RECT& area) const
{
    GdiFlush();
    int best = 0;
    for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, m_height); ++y)
        for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, m_width); ++x) {
            const uint32_t p = m_pixels[static_cast<size_t>(y) * m_width + x];
            best = std::max({best, static_cast<int>(p & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                             static_cast<int>((p >> 16) & 0xFF)});
        }
    return best;
}

bool Canvas::SamePixels(const Canvas& other) const
{
    GdiFlush();
    return m_width == other.m_width && m_height == other.m_height &&
           std::memcmp(m_pixels, other.m_pixels, static_cast<size_t>(m_width) * m_height * 4) == 0;
}

void PaintRect(CHBitmap& bitmap, int x, int y, int w, int h, uint32_t color)
{
    GdiFlush();
    const int bytes = bitmap.BitsPerPixel() / 8;
    for (int row = y; row < y + h; ++row) {
        unsigned char* line =
            static_cast<unsigned char*>(bitmap.Pixels()) + static_cast<size_t>(bitmap.Height() - 1 - row) * bitmap.Stride();
        for (int column = x; column < x + w; ++column) {
            unsigned char* p = line + column * bytes;
            p[0] = color & 0xFF;
            p[1] = (color >> 8) & 0xFF;
            p[2] = (color >> 16) & 0xFF;
            if (bytes == 4)
                p[3] = (color >> 24) & 0xFF;
        }
    }
}

uint32_t PixelOf(const CHBitmap& bitmap, int x, int y)
{
    GdiFlush();
    const int bytes = bitmap.BitsPerPixel() / 8;
    const unsigned char* p = static_cast<const unsigned char*>(bitmap.Pixels()) +
                             static_cast<size_t>(bitmap.Height() - 1 - y) * bitmap.Stride() + x * bytes;
    return Argb(bytes == 4 ? p[3] : 0, p[2], p[1], p[0]);
}

std::string MakePng(int width, int height, const std::vector<uint32_t>& pixels, bool withAlpha)
{
    if (!StartGdiplus())
        return std::string();
    // {557CF406-1A04-11D3-9A73-0000F81EF32E}: the PNG encoder.
    const CLSID pngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    std::vector<uint32_t> rows(pixels);
    Gdiplus::GpBitmap* image = nullptr;
    if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppARGB,
                                      reinterpret_cast<BYTE*>(rows.data()), &image) != Gdiplus::Ok)
        return std::string();
    Gdiplus::GpBitmap* saved = image;
    if (!withAlpha) {
        Gdiplus::GpBitmap* opaque = nullptr;
        gp::GdipCloneBitmapAreaI(0, 0, width, height, PixelFormat24bppRGB, image, &opaque);
        saved = opaque;
    }
    std::string bytes;
    IStream* stream = nullptr;
    if (saved != nullptr && SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
        gp::GdipSaveImageToStream(saved, stream, &pngEncoder, nullptr) == Gdiplus::Ok) {
        HGLOBAL memory = nullptr;
        STATSTG stat = {};
        if (SUCCEEDED(GetHGlobalFromStream(stream, &memory)) && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
            const char* data = static_cast<const char*>(GlobalLock(memory));
            bytes.assign(data, static_cast<size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    if (stream != nullptr)
        stream->Release();
    if (saved != image && saved != nullptr)
        gp::GdipDisposeImage(saved);
    gp::GdipDisposeImage(image);
    return bytes;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r)
{
    char text[96];
    std::snprintf(text, sizeof text, "(%ld, %ld, %ld, %ld)", static_cast<long>(r.left), static_cast<long>(r.top),
                  static_cast<long>(r.right), static_cast<long>(r.bottom));
    return text;
}

}  // namespace testing_pixels
