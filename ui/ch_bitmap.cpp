#include "ui/ch_bitmap.h"

#include <gdiplus.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "ui/drawing_globals.h"
#include "ui/resource/color_adjuster.h"

namespace gp = Gdiplus::DllExports;

namespace {

// Guarded by the drawing lock.
int s_liveCount = 0;

bool IsMagenta(const unsigned char* pixel)
{
    return pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 255;
}

}  // namespace

CHBitmap::CHBitmap()
{
    DrawingLockGuard guard;
    ++s_liveCount;
}

CHBitmap::~CHBitmap()
{
    Free();
    DrawingLockGuard guard;
    if (--s_liveCount == 0)
        ShutDownGdiplus();
}

int CHBitmap::LiveCount()
{
    DrawingLockGuard guard;
    return s_liveCount;
}

void CHBitmap::Free()
{
    DetachDC();
    if (m_bitmap != nullptr)
        DeleteObject(m_bitmap);
    m_dc = nullptr;
    m_bitsPerPixel = 0;
    m_width = 0;
    m_height = 0;
    m_stride = 0;
    m_pixels = nullptr;
    m_imageSize = 0;
    m_info = {};
    m_bitmap = nullptr;
    m_previous = nullptr;
}

bool CHBitmap::SetGeometry(int width, int height, int bitsPerPixel)
{
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || width <= 0 || height <= 0)
        return false;
    // In 64 bits, so that a huge width cannot wrap the stride into a small buffer.
    const int64_t stride = (int64_t{width} * bitsPerPixel + 31) / 32 * 4;
    const int64_t imageSize = stride * height;
    if (imageSize > INT_MAX)
        return false;
    m_bitsPerPixel = bitsPerPixel;
    m_width = width;
    m_height = height;
    m_stride = static_cast<int>(stride);
    m_imageSize = static_cast<int>(imageSize);
    return true;
}

bool CHBitmap::Create(int width, int height, int bitsPerPixel)
{
    Free();
    if (!SetGeometry(width, height, bitsPerPixel))
        return false;
    BITMAPINFOHEADER& header = m_info.header;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(m_imageSize);
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&m_info), DIB_RGB_COLORS, &bits,
                                nullptr, 0);
    if (m_bitmap == nullptr || bits == nullptr) {
        Free();
        return false;
    }
    m_pixels = bits;
    return true;
}

bool CHBitmap::CreateFromPixels(const BITMAPINFO* info, const void* pixels, size_t size)
{
    Free();
    if (info == nullptr || pixels == nullptr || size == 0)
        return false;
    const BITMAPINFOHEADER& source = info->bmiHeader;
    if (source.biCompression != BI_RGB || !SetGeometry(source.biWidth, source.biHeight, source.biBitCount))
        return false;
    // Only the header and one colour slot are kept; 24- and 32-bit BI_RGB images use no palette.
    std::memcpy(&m_info.header, &source, sizeof(BITMAPINFOHEADER));
    m_info.header.biSize = sizeof(BITMAPINFOHEADER);
    m_info.header.biPlanes = 1;
    m_info.header.biSizeImage = static_cast<DWORD>(m_imageSize);
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&m_info), DIB_RGB_COLORS, &bits,
                                nullptr, 0);
    if (m_bitmap == nullptr || bits == nullptr || size != static_cast<size_t>(m_imageSize)) {
        Free();
        return false;
    }
    m_pixels = bits;
    std::memcpy(m_pixels, pixels, size);
    return true;
}

bool CHBitmap::LoadPng(const void* bytes, size_t size)
{
    Free();
    if (bytes == nullptr || size == 0)
        return false;
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED, size);
    if (memory == nullptr)
        return false;
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream)) || stream == nullptr) {
        GlobalFree(memory);
        return false;
    }
    // The block may be larger than asked for; the stream is cut to the image's own length and
    // rewound, so the decoder sees exactly the PNG from its first byte.
    ULONG written = 0;
    ULARGE_INTEGER length;
    length.QuadPart = size;
    LARGE_INTEGER start;
    start.QuadPart = 0;
    bool ok = SUCCEEDED(stream->Write(bytes, static_cast<ULONG>(size), &written)) && written == size &&
              SUCCEEDED(stream->SetSize(length)) && SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr));
    if (ok)
        ok = LoadFromStream(stream);
    stream->Release();
    return ok;
}

bool CHBitmap::LoadFromStream(IStream* stream)
{
    Free();
    if (stream == nullptr || !StartGdiplus())
        return false;
    Gdiplus::GpBitmap* image = nullptr;
    if (gp::GdipCreateBitmapFromStream(stream, &image) != Gdiplus::Ok || image == nullptr) {
        if (image != nullptr)
            gp::GdipDisposeImage(image);
        return false;
    }
    bool ok = CopyDecodedImage(image);
    gp::GdipDisposeImage(image);
    if (!ok)
        Free();
    return ok;
}

bool CHBitmap::CopyDecodedImage(void* decoded)
{
    Gdiplus::GpImage* image = static_cast<Gdiplus::GpImage*>(decoded);
    UINT width = 0, height = 0;
    Gdiplus::PixelFormat format = 0;
    if (gp::GdipGetImageWidth(image, &width) != Gdiplus::Ok || gp::GdipGetImageHeight(image, &height) != Gdiplus::Ok ||
        gp::GdipGetImagePixelFormat(image, &format) != Gdiplus::Ok)
        return false;
    if (width > INT_MAX || height > INT_MAX)
        return false;
    const int bits = (format & PixelFormatAlpha) != 0 ? 32 : 24;
    if (!Create(static_cast<int>(width), static_cast<int>(height), bits) || !AttachDC())
        return false;
    Gdiplus::GpGraphics* graphics = nullptr;
    bool ok = gp::GdipCreateFromHDC(m_dc, &graphics) == Gdiplus::Ok && graphics != nullptr &&
              gp::GdipDrawImageRectI(graphics, image, 0, 0, m_width, m_height) == Gdiplus::Ok;
    if (graphics != nullptr)
        gp::GdipDeleteGraphics(graphics);
    GdiFlush();
    DetachDC();
    return ok;
}

bool CHBitmap::AttachDC()
{
    if (m_dc != nullptr || m_bitmap == nullptr)
        return false;
    m_dc = CreateCompatibleDC(nullptr);
    if (m_dc == nullptr)
        return false;
    m_previous = SelectObject(m_dc, m_bitmap);
    return true;
}

HBITMAP CHBitmap::DetachDC()
{
    if (m_dc != nullptr) {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        m_dc = nullptr;
        m_previous = nullptr;
    }
    return m_bitmap;
}

HRGN CHBitmap::CreateKeyRegion()
{
    // Runs are gathered first and the RGNDATA buffer is sized once, in steps of 100 rectangles.
    std::vector<RECT> runs;
    RECT bounds = {INT_MAX, INT_MAX, 0, 0};
    if (m_pixels != nullptr) {
        GdiFlush();
        const int bytesPerPixel = m_bitsPerPixel / 8;
        for (int y = 0; y < m_height; ++y) {
            // Rows are stored bottom-up: image row y is memory row height - 1 - y.
            const unsigned char* row =
                static_cast<const unsigned char*>(m_pixels) + static_cast<size_t>(m_height - 1 - y) * m_stride;
            int x = 0;
            while (x < m_width) {
                if (!IsMagenta(row + x * bytesPerPixel)) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < m_width && IsMagenta(row + x * bytesPerPixel))
                    ++x;
                runs.push_back({start, y, x, y + 1});
                bounds.left = std::min<LONG>(bounds.left, start);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
        }
    }

    const size_t capacity = (runs.size() / 100 + 1) * 100;
    const size_t bufferSize = sizeof(RGNDATAHEADER) + capacity * sizeof(RECT);
    std::vector<char> buffer(bufferSize, 0);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(runs.size());
    data->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    data->rdh.rcBound = bounds;
    if (!runs.empty())
        std::memcpy(data->Buffer, runs.data(), runs.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(bufferSize), data);
}

void CHBitmap::AdjustColors(int hue, int saturation, int lightness)
{
    const ColorAdjuster adjuster(hue, saturation, lightness);
    if (m_pixels == nullptr || adjuster.IsIdentity())
        return;
    GdiFlush();
    const int bytesPerPixel = m_bitsPerPixel / 8;
    for (int y = 0; y < m_height; ++y) {
        unsigned char* row = static_cast<unsigned char*>(m_pixels) + static_cast<size_t>(y) * m_stride;
        for (int x = 0; x < m_width; ++x) {
            unsigned char* pixel = row + x * bytesPerPixel;
            if (bytesPerPixel == 4)
                adjuster.AdjustPremultiplied(pixel);
            else
                adjuster.AdjustRgb(pixel[2], pixel[1], pixel[0]);
        }
    }
}
