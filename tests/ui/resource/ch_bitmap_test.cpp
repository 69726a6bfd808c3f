#include "ui/ch_bitmap.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ui/drawing_globals.h"
#include "win32_pixels.h"

namespace {

using testing_pixels::Argb;
using testing_pixels::MakePng;
using testing_pixels::PaintRect;
using testing_pixels::PixelOf;

// Top row: opaque red, green at alpha 128, fully transparent; bottom row: opaque blue, white, black.
const std::vector<uint32_t> kSixPixels = {Argb(255, 255, 0, 0), Argb(128, 0, 255, 0), Argb(0, 10, 20, 30),
                                          Argb(255, 0, 0, 255), Argb(255, 255, 255, 255), Argb(255, 0, 0, 0)};

TEST(CHBitmap, DecodesAnRgbaPngToPremultiplied32Bits)
{
    const std::string png = MakePng(3, 2, kSixPixels, true);
    ASSERT_FALSE(png.empty());
    CHBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadPng(png.data(), png.size()));
    EXPECT_EQ(bitmap.BitsPerPixel(), 32);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(bitmap.Height(), 2);
    EXPECT_EQ(bitmap.Stride(), 12);
    EXPECT_EQ(bitmap.ImageSize(), 24);
    EXPECT_EQ(bitmap.Info()->bmiHeader.biHeight, 2);  // bottom-up
    EXPECT_EQ(bitmap.MemoryDC(), nullptr);             // no DC while idle

    EXPECT_EQ(PixelOf(bitmap, 0, 0), Argb(255, 255, 0, 0));
    // AlphaBlend needs premultiplied colour: half-transparent green is stored at half strength.
    const uint32_t half = PixelOf(bitmap, 1, 0);
    EXPECT_EQ(half >> 24, 128u);
    EXPECT_NEAR(static_cast<int>((half >> 8) & 0xFF), 128, 1);
    EXPECT_EQ(half & 0xFF00FF, 0u);
    EXPECT_EQ(PixelOf(bitmap, 2, 0), 0u);
    EXPECT_EQ(PixelOf(bitmap, 0, 1), Argb(255, 0, 0, 255));
    EXPECT_EQ(PixelOf(bitmap, 1, 1), Argb(255, 255, 255, 255));
    EXPECT_EQ(PixelOf(bitmap, 2, 1), Argb(255, 0, 0, 0));
}

TEST(CHBitmap, DecodesAPngWithoutAlphaTo24Bits)
{
    const std::string png = MakePng(3, 2, kSixPixels, false);
    ASSERT_FALSE(png.empty());
    CHBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadPng(png.data(), png.size()));
    EXPECT_EQ(bitmap.BitsPerPixel(), 24);
    EXPECT_EQ(bitmap.Stride(), 12);  // 9 bytes rounded up to whole 32-bit words
    EXPECT_EQ(PixelOf(bitmap, 0, 0), Argb(0, 255, 0, 0));
    EXPECT_EQ(PixelOf(bitmap, 0, 1), Argb(0, 0, 0, 255));
    EXPECT_EQ(PixelOf(bitmap, 1, 1), Argb(0, 255, 255, 255));
}

TEST(CHBitmap, RefusesWhatIsNotAnImage)
{
    CHBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(4, 4, 32));
    const std::string png = MakePng(3, 2, kSixPixels, true);
    const std::string broken = png.substr(0, 8) + std::string(40, 'x');
    for (const std::string& bytes : {std::string("not a png"), broken}) {
        EXPECT_FALSE(bitmap.LoadPng(bytes.data(), bytes.size()));
        EXPECT_TRUE(bitmap.IsEmpty());
        EXPECT_EQ(bitmap.Width(), 0);
        EXPECT_EQ(bitmap.BitsPerPixel(), 0);
    }
    EXPECT_FALSE(bitmap.LoadPng(nullptr, 10));
    EXPECT_FALSE(bitmap.LoadPng(png.data(), 0));
    EXPECT_FALSE(bitmap.LoadFromStream(nullptr));
}

// GDI+ lives exactly as long as some CHBitmap does, once a decode has started it.
TEST(CHBitmap, ShutsGdiplusDownWithTheLastBitmapAndStartsItAgain)
{
    const std::string png = MakePng(3, 2, kSixPixels, true);
    ASSERT_EQ(CHBitmap::LiveCount(), 0) << "another test left a bitmap alive";
    ShutDownGdiplus();
    ASSERT_FALSE(IsGdiplusStarted());

    auto first = std::make_unique<CHBitmap>();
    auto second = std::make_unique<CHBitmap>();
    EXPECT_EQ(CHBitmap::LiveCount(), 2);
    EXPECT_FALSE(IsGdiplusStarted());  // constructing does not start it
    ASSERT_TRUE(first->LoadPng(png.data(), png.size()));
    EXPECT_TRUE(IsGdiplusStarted());
    first.reset();
    EXPECT_TRUE(IsGdiplusStarted());  // one bitmap is still alive
    second.reset();
    EXPECT_EQ(CHBitmap::LiveCount(), 0);
    EXPECT_FALSE(IsGdiplusStarted());

    CHBitmap again;
    ASSERT_TRUE(again.LoadPng(png.data(), png.size()));
    EXPECT_TRUE(IsGdiplusStarted());
    EXPECT_EQ(PixelOf(again, 0, 0), Argb(255, 255, 0, 0));
}

TEST(CHBitmap, CreatesOnlyWhatItCanDescribe)
{
    CHBitmap bitmap;
    EXPECT_TRUE(bitmap.Create(5, 3, 24));
    EXPECT_EQ(bitmap.Stride(), 16);
    EXPECT_EQ(bitmap.ImageSize(), 48);
    EXPECT_EQ(PixelOf(bitmap, 4, 2), 0u);  // zero-filled
    struct Case {
        int width, height, bits;
    } refused[] = {{5, 3, 16}, {5, 3, 8}, {0, 3, 32}, {5, 0, 32}, {-5, 3, 24}, {5, -3, 24},
                   // 2^28 pixels of 32 bits would need 4 GiB: refused before any call.
                   {1 << 14, 1 << 14, 32}, {0x7FFFFFFF, 1, 32}};
    for (const Case& c : refused) {
        EXPECT_FALSE(bitmap.Create(c.width, c.height, c.bits)) << c.width << " x " << c.height << " x " << c.bits;
        EXPECT_TRUE(bitmap.IsEmpty());
        EXPECT_EQ(bitmap.Stride(), 0);
        EXPECT_EQ(bitmap.Pixels(), nullptr);
    }
}

TEST(CHBitmap, CopiesPixelsOnlyOfTheExactImageSize)
{
    CHBitmap source;
    ASSERT_TRUE(source.Create(3, 2, 24));
    PaintRect(source, 0, 0, 3, 1, Argb(0, 1, 2, 3));
    PaintRect(source, 2, 1, 1, 1, Argb(0, 200, 100, 50));

    CHBitmap copy;
    ASSERT_TRUE(copy.CreateFromPixels(source.Info(), source.Pixels(), source.ImageSize()));
    EXPECT_EQ(copy.BitsPerPixel(), 24);
    EXPECT_EQ(copy.ImageSize(), 24);
    EXPECT_EQ(PixelOf(copy, 1, 0), Argb(0, 1, 2, 3));
    EXPECT_EQ(PixelOf(copy, 2, 1), Argb(0, 200, 100, 50));
    EXPECT_NE(copy.Pixels(), source.Pixels());

    EXPECT_FALSE(copy.CreateFromPixels(source.Info(), source.Pixels(), source.ImageSize() - 1));
    EXPECT_TRUE(copy.IsEmpty());
    EXPECT_FALSE(copy.CreateFromPixels(source.Info(), source.Pixels(), source.ImageSize() + 4));
    EXPECT_FALSE(copy.CreateFromPixels(nullptr, source.Pixels(), source.ImageSize()));
    EXPECT_FALSE(copy.CreateFromPixels(source.Info(), nullptr, source.ImageSize()));

    BITMAPINFO info = *source.Info();
    info.bmiHeader.biCompression = BI_BITFIELDS;
    EXPECT_FALSE(copy.CreateFromPixels(&info, source.Pixels(), source.ImageSize()));
    info = *source.Info();
    info.bmiHeader.biBitCount = 16;
    EXPECT_FALSE(copy.CreateFromPixels(&info, source.Pixels(), source.ImageSize()));
    // A top-down description (negative height) has no stride × height the copy could trust.
    info = *source.Info();
    info.bmiHeader.biHeight = -2;
    EXPECT_FALSE(copy.CreateFromPixels(&info, source.Pixels(), source.ImageSize()));
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(CHBitmap, AttachesItsDcOnlyOnDemand)
{
    CHBitmap bitmap;
    EXPECT_FALSE(bitmap.AttachDC());  // nothing to select
    ASSERT_TRUE(bitmap.Create(2, 2, 32));
    EXPECT_TRUE(bitmap.AttachDC());
    HDC dc = bitmap.MemoryDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap.GetBitmap());
    EXPECT_FALSE(bitmap.AttachDC());  // already attached
    EXPECT_EQ(bitmap.MemoryDC(), dc);
    EXPECT_EQ(bitmap.DetachDC(), bitmap.GetBitmap());
    EXPECT_EQ(bitmap.MemoryDC(), nullptr);
    EXPECT_EQ(bitmap.DetachDC(), bitmap.GetBitmap());
    // The bitmap is free again, so another DC can select it.
    HDC other = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(other, bitmap.GetBitmap());
    EXPECT_NE(previous, nullptr);
    SelectObject(other, previous);
    DeleteDC(other);
}

std::vector<RECT> RegionRects(HRGN region)
{
    std::vector<RECT> rects;
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size == 0)
        return rects;
    std::vector<char> buffer(size);
    RGNDATA* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (GetRegionData(region, size, data) == 0)
        return rects;
    const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
    rects.assign(r, r + data->rdh.nCount);
    return rects;
}

TEST(CHBitmap, BuildsTheKeyRegionFromMagentaRuns)
{
    const uint32_t magenta = Argb(0, 255, 0, 255);
    CHBitmap bitmap;
    ASSERT_TRUE(bitmap.Create(2, 2, 24));
    PaintRect(bitmap, 0, 0, 2, 1, magenta);
    PaintRect(bitmap, 0, 1, 2, 1, Argb(0, 255, 0, 254));  // nearly magenta is not magenta
    HRGN region = bitmap.CreateKeyRegion();
    ASSERT_NE(region, nullptr);
    std::vector<RECT> rects = RegionRects(region);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_TRUE(testing_pixels::SameRect(rects[0], RECT{0, 0, 2, 1})) << testing_pixels::Describe(rects[0]);
    DeleteObject(region);

    // Two runs on one row, one on the next, and a bitmap of more than 100 runs (the buffer grows).
    CHBitmap wide;
    ASSERT_TRUE(wide.Create(401, 3, 24));
    for (int x = 0; x < 401; x += 2)
        PaintRect(wide, x, 0, 1, 1, magenta);  // 201 one-pixel runs on the top row
    PaintRect(wide, 5, 2, 10, 1, magenta);
    region = wide.CreateKeyRegion();
    ASSERT_NE(region, nullptr);
    rects = RegionRects(region);
    EXPECT_EQ(rects.size(), 202u);
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), COMPLEXREGION);
    EXPECT_TRUE(testing_pixels::SameRect(box, RECT{0, 0, 401, 3})) << testing_pixels::Describe(box);
    EXPECT_TRUE(PtInRegion(region, 400, 0));
    EXPECT_FALSE(PtInRegion(region, 399, 0));
    EXPECT_TRUE(PtInRegion(region, 14, 2));
    EXPECT_FALSE(PtInRegion(region, 15, 2));
    EXPECT_FALSE(PtInRegion(region, 5, 1));
    DeleteObject(region);

    CHBitmap none;
    ASSERT_TRUE(none.Create(3, 3, 24));
    region = none.CreateKeyRegion();
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(GetRgnBox(region, &box), NULLREGION);
    DeleteObject(region);
}

TEST(CHBitmap, AdjustsColoursInPlace)
{
    CHBitmap rgb;
    ASSERT_TRUE(rgb.Create(1, 1, 24));
    PaintRect(rgb, 0, 0, 1, 1, Argb(0, 255, 0, 0));
    rgb.AdjustColors(120, 0, 0);
    EXPECT_EQ(PixelOf(rgb, 0, 0), Argb(0, 0, 255, 0));

    CHBitmap premultiplied;
    ASSERT_TRUE(premultiplied.Create(2, 1, 32));
    PaintRect(premultiplied, 0, 0, 1, 1, Argb(128, 128, 0, 0));
    PaintRect(premultiplied, 1, 0, 1, 1, Argb(0, 0, 0, 0));
    premultiplied.AdjustColors(-120, 0, 0);
    EXPECT_EQ(PixelOf(premultiplied, 0, 0), Argb(128, 0, 0, 128));
    EXPECT_EQ(PixelOf(premultiplied, 1, 0), 0u);
}

}  // namespace
