#pragma once

// CHBitmap: a DIB section (24 or 32 bits per pixel, rows bottom-up) with a memory DC that exists
// only while attached, so that idle bitmaps hold no DC. Skin images are decoded into it from PNG
// through GDI+: an image with an alpha channel becomes a 32-bit bitmap, anything else 24-bit.
//
// Every live CHBitmap is counted under the drawing lock. GDI+ starts on the first decode and is
// shut down when the last bitmap dies; the next decode starts it again.

#include <windows.h>
#include <objidl.h>

#include <cstddef>

class CHBitmap {
public:
    CHBitmap();
    virtual ~CHBitmap();
    CHBitmap(const CHBitmap&) = delete;
    CHBitmap& operator=(const CHBitmap&) = delete;

    // Detaches the DC, deletes the DIB section and zeroes every field.
    void Free();

    // A new zero-filled DIB section; refuses anything but 24 or 32 bits, non-positive sizes and
    // sizes whose pixels would not fit in 2 GiB. True when the section exists.
    bool Create(int width, int height, int bitsPerPixel);

    // A DIB section described by info, holding a copy of pixels. Refuses a null info or pixels, a
    // size of 0, other than 24 or 32 bits, a compression other than BI_RGB, a non-positive width
    // or height; when size is not exactly the image size (stride × height) nothing is kept.
    bool CreateFromPixels(const BITMAPINFO* info, const void* pixels, size_t size);

    // Decodes a PNG (or any image GDI+ reads) from memory; false leaves the bitmap empty.
    bool LoadPng(const void* bytes, size_t size);
    // Decodes from a stream positioned at the image's start.
    bool LoadFromStream(IStream* stream);

    // Creates the memory DC and selects the bitmap into it, when there is a bitmap and no DC yet.
    // True when this call attached it.
    bool AttachDC();
    // Selects the previous object back and deletes the DC, when there is one. Returns the bitmap.
    HBITMAP DetachDC();

    // The magenta (RGB(255, 0, 255)) pixels as a region of one-pixel-high runs, in image
    // coordinates with the top row at y = 0. The caller owns the region; null when the region
    // cannot be made.
    HRGN CreateKeyRegion();

    // Recolours every pixel with ColorAdjuster's arithmetic. 32-bit pixels are taken as
    // premultiplied and keep their alpha.
    void AdjustColors(int hue, int saturation, int lightness);

    // The memory DC while attached, null otherwise.
    HDC MemoryDC() const { return m_dc; }
    HBITMAP GetBitmap() const { return m_bitmap; }
    int BitsPerPixel() const { return m_bitsPerPixel; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_stride; }
    void* Pixels() const { return m_pixels; }
    int ImageSize() const { return m_imageSize; }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&m_info); }
    bool IsEmpty() const { return m_bitmap == nullptr; }

    // The number of CHBitmap objects alive now.
    static int LiveCount();

private:
    // BITMAPINFOHEADER and one RGBQUAD, 44 bytes, as the pixels are described to GDI and DrawDib.
    struct Info44 {
        BITMAPINFOHEADER header;
        RGBQUAD colors[1];
    };

    bool SetGeometry(int width, int height, int bitsPerPixel);
    bool CopyDecodedImage(void* image);

    HDC m_dc = nullptr;
    int m_bitsPerPixel = 0;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    void* m_pixels = nullptr;
    int m_imageSize = 0;
    Info44 m_info = {};
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
};
