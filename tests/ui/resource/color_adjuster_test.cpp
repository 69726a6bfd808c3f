#include "ui/resource/color_adjuster.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

uint32_t Rgb(int r, int g, int b)
{
    return static_cast<uint32_t>(r | (g << 8) | (b << 16));
}

// Channels may differ by one from the exact value: saturation and lightness pass through 8-bit
// tables.
::testing::AssertionResult Near(uint32_t actual, uint32_t expected)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > 1)
            return ::testing::AssertionFailure() << std::hex << "got 0x" << actual << ", expected 0x" << expected;
    }
    return ::testing::AssertionSuccess();
}

TEST(ColorAdjuster, MovesHueSaturationAndLightness)
{
    struct Case {
        int hue, saturation, lightness;
        uint32_t in, out;
    } cases[] = {
        {120, 0, 0, Rgb(255, 0, 0), Rgb(0, 255, 0)},
        {-120, 0, 0, Rgb(255, 0, 0), Rgb(0, 0, 255)},
        {180, 0, 0, Rgb(255, 0, 0), Rgb(0, 255, 255)},
        {500, 0, 0, Rgb(255, 0, 0), Rgb(0, 255, 255)},      // clamped to 180
        {-500, 0, 0, Rgb(255, 0, 0), Rgb(0, 255, 255)},     // clamped to -180
        {60, 0, 0, Rgb(128, 128, 128), Rgb(128, 128, 128)}, // greys have no hue to turn
        {0, -100, 0, Rgb(200, 100, 50), Rgb(125, 125, 125)},
        {0, -250, 0, Rgb(200, 100, 50), Rgb(125, 125, 125)}, // clamped to -100
        {0, 100, 0, Rgb(128, 128, 128), Rgb(128, 128, 128)},  // greys never take on a tint
        {0, 100, 0, Rgb(150, 100, 100), Rgb(175, 75, 75)},    // saturation doubled
        {0, 0, 100, Rgb(30, 60, 90), Rgb(255, 255, 255)},
        {0, 0, -100, Rgb(30, 60, 90), Rgb(0, 0, 0)},
        {0, 0, 50, Rgb(0, 0, 0), Rgb(128, 128, 128)},
        {0, 0, -50, Rgb(255, 255, 255), Rgb(128, 128, 128)},
    };
    for (const Case& c : cases) {
        const ColorAdjuster adjuster(c.hue, c.saturation, c.lightness);
        EXPECT_FALSE(adjuster.IsIdentity());
        EXPECT_TRUE(Near(adjuster.AdjustColorRef(c.in), c.out))
            << "hue " << c.hue << ", saturation " << c.saturation << ", lightness " << c.lightness;
    }
}

TEST(ColorAdjuster, ZeroValuesTouchNothing)
{
    const ColorAdjuster adjuster(0, 0, 0);
    EXPECT_TRUE(adjuster.IsIdentity());
    EXPECT_EQ(adjuster.AdjustColorRef(0xAB123456u), 0xAB123456u);
    uint8_t pixel[4] = {10, 20, 30, 40};
    adjuster.AdjustPremultiplied(pixel);
    EXPECT_EQ(pixel[0], 10);
    EXPECT_EQ(pixel[2], 30);
}

// A 32-bit pixel is adjusted as its straight colour and premultiplied again; its alpha stays, and
// no channel can exceed it.
TEST(ColorAdjuster, KeepsPremultipliedPixelsValid)
{
    const ColorAdjuster toWhite(0, 0, 100);
    uint8_t half[4] = {0, 0, 64, 128};  // straight red at alpha 128
    toWhite.AdjustPremultiplied(half);
    EXPECT_EQ(half[3], 128);
    EXPECT_EQ(half[0], 128);
    EXPECT_EQ(half[1], 128);
    EXPECT_EQ(half[2], 128);

    const ColorAdjuster toGreen(120, 0, 0);
    uint8_t red[4] = {0, 0, 100, 100};
    toGreen.AdjustPremultiplied(red);
    EXPECT_EQ(red[0], 0);
    EXPECT_EQ(red[1], 100);
    EXPECT_EQ(red[2], 0);
    EXPECT_EQ(red[3], 100);

    uint8_t clear[4] = {0, 0, 0, 0};
    toWhite.AdjustPremultiplied(clear);
    EXPECT_EQ(clear[0] | clear[1] | clear[2] | clear[3], 0);
}

}  // namespace
