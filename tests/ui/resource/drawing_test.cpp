#include "ui/drawing.h"

#include <gtest/gtest.h>

#include <string>

#include "win32_pixels.h"

namespace {

using testing_pixels::Argb;
using testing_pixels::Canvas;
using testing_pixels::Describe;
using testing_pixels::PaintRect;
using testing_pixels::SameRect;

constexpr uint32_t kRgbOnly = 0xFFFFFF;
constexpr uint32_t kBackground = Argb(255, 20, 40, 60);
constexpr COLORREF kMagentaKey = RGB(255, 0, 255);

// Nine distinct colours for the nine pieces of a skin, row by row.
constexpr uint32_t kPieces[9] = {
    Argb(255, 255, 0, 0), Argb(255, 0, 255, 0),   Argb(255, 0, 0, 255),
    Argb(255, 255, 255, 0), Argb(255, 0, 255, 255), Argb(255, 255, 0, 255),
    Argb(255, 128, 0, 0), Argb(255, 0, 128, 0),   Argb(255, 0, 0, 128),
};

// A sprite sheet with a 102 x 35 skin at (5, 3) whose nine pieces (margins 8) have their own
// colours; everything else on the sheet is grey, so a piece read from the wrong place shows.
void PaintNinePieceSkin(CHBitmap& sheet)
{
    PaintRect(sheet, 0, 0, sheet.Width(), sheet.Height(), Argb(255, 90, 90, 90));
    const int xs[4] = {5, 13, 99, 107}, ys[4] = {3, 11, 30, 38};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            PaintRect(sheet, xs[column], ys[row], xs[column + 1] - xs[column], ys[row + 1] - ys[row],
                      kPieces[row * 3 + column]);
}

// Margins [8, 8, 8, 8] and a 102 x 35 source drawn 300 wide: the corners keep their 8 x 8, the top
// and bottom edges stretch to 284 x 8 and the centre to 284 x 19. The 32-bit skin goes through
// AlphaBlend, the 24-bit one through BitBlt for corners and DrawDib for stretched pieces.
TEST(DrawImageStyle, StretchesTheNineGridAroundFixedCorners)
{
    for (int bits : {32, 24}) {
        CHBitmap sheet;
        ASSERT_TRUE(sheet.Create(120, 40, bits));
        PaintNinePieceSkin(sheet);
        ImageStyle style;
        style.bgImage = &sheet;
        style.bgX = 5;
        style.bgY = 3;
        style.bgW = 102;
        style.bgH = 35;
        style.marginLeft = style.marginTop = style.marginRight = style.marginBottom = 8;

        Canvas canvas(330, 70, kBackground);
        DrawImageStyle(RECT{10, 20, 310, 55}, style, canvas.Dc());

        const int xs[4] = {10, 18, 302, 310}, ys[4] = {20, 28, 47, 55};
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) {
                const RECT piece = {xs[column], ys[row], xs[column + 1], ys[row + 1]};
                EXPECT_TRUE(canvas.AllAre(piece, kPieces[row * 3 + column], bits == 32 ? 0xFFFFFFFF : kRgbOnly))
                    << bits << " bits, piece " << row * 3 + column << " " << Describe(piece);
            }
        EXPECT_TRUE(SameRect(canvas.Changed(kBackground), RECT{10, 20, 310, 55}))
            << bits << " bits: " << Describe(canvas.Changed(kBackground));
        EXPECT_EQ(sheet.MemoryDC(), nullptr);
    }
}

// The check box skin: only a left column (28 wide, full height) and the centre, no rows.
TEST(DrawImageStyle, LeftMarginOnlyDrawsALeftColumnAndTheCentre)
{
    CHBitmap sheet;
    ASSERT_TRUE(sheet.Create(40, 20, 32));
    PaintRect(sheet, 0, 0, 28, 20, kPieces[0]);
    PaintRect(sheet, 28, 0, 12, 20, kPieces[1]);
    ImageStyle style;
    style.bgImage = &sheet;
    style.bgW = 40;
    style.bgH = 20;
    style.marginLeft = 28;

    Canvas canvas(120, 40, kBackground);
    DrawImageStyle(RECT{0, 0, 100, 30}, style, canvas.Dc());
    EXPECT_TRUE(canvas.AllAre(RECT{0, 0, 28, 30}, kPieces[0]));
    EXPECT_TRUE(canvas.AllAre(RECT{28, 0, 100, 30}, kPieces[1]));
    EXPECT_TRUE(SameRect(canvas.Changed(kBackground), RECT{0, 0, 100, 30}))
        << Describe(canvas.Changed(kBackground));
}

TEST(DrawImageStyle, DrawsNothingForAnEmptyDestinationOrAZeroedStyle)
{
    CHBitmap sheet;
    ASSERT_TRUE(sheet.Create(10, 10, 32));
    PaintRect(sheet, 0, 0, 10, 10, kPieces[0]);
    ImageStyle style;
    style.bgImage = &sheet;
    style.bgW = style.bgH = 10;
    style.fgImage = &sheet;
    style.fgW = style.fgH = 4;

    Canvas canvas(60, 60, kBackground);
    for (const RECT& empty : {RECT{10, 10, 10, 40}, RECT{10, 10, 40, 10}, RECT{40, 10, 10, 40}, RECT{10, 40, 40, 10}}) {
        DrawImageStyle(empty, style, canvas.Dc());
        EXPECT_TRUE(SameRect(canvas.Changed(kBackground), RECT{0, 0, 0, 0})) << Describe(empty);
    }
    DrawImageStyle(RECT{0, 0, 50, 50}, ImageStyle(), canvas.Dc());
    EXPECT_TRUE(SameRect(canvas.Changed(kBackground), RECT{0, 0, 0, 0}));

    // An image with a non-positive source size draws nothing either.
    style.bgW = 0;
    style.fgH = -4;
    DrawImageStyle(RECT{0, 0, 50, 50}, style, canvas.Dc());
    EXPECT_TRUE(SameRect(canvas.Changed(kBackground), RECT{0, 0, 0, 0}));
}

// The foreground is placed by "al" inside (100, 50, 200, 90), moved by "of", and drawn unscaled
// from its own source rectangle.
TEST(DrawImageStyle, PlacesTheForegroundByItsAlignment)
{
    CHBitmap sheet;
    ASSERT_TRUE(sheet.Create(20, 10, 32));
    PaintRect(sheet, 0, 0, 20, 10, Argb(255, 90, 90, 90));
    PaintRect(sheet, 3, 2, 10, 6, kPieces[4]);
    struct Case {
        int align, offsetX, offsetY;
        POINT expected;
    } cases[] = {
        {16, 0, 0, {190, 67}}, {1, 0, 0, {100, 50}}, {2, 0, 0, {145, 50}},  {4, 0, 0, {190, 50}},
        {8, 0, 0, {100, 67}},  {32, 0, 0, {100, 84}}, {64, 0, 0, {145, 84}}, {128, 0, 0, {190, 84}},
        {0, 0, 0, {145, 67}},  {3, 0, 0, {145, 67}}, {17, 0, 0, {145, 67}}, {1, 2, -3, {102, 47}},
    };
    for (const Case& c : cases) {
        ImageStyle style;
        style.fgImage = &sheet;
        style.fgX = 3;
        style.fgY = 2;
        style.fgW = 10;
        style.fgH = 6;
        style.fgKey = kMagentaKey;
        style.fgAlign = c.align;
        style.fgOffsetX = c.offsetX;
        style.fgOffsetY = c.offsetY;
        Canvas canvas(260, 120, kBackground);
        DrawImageStyle(RECT{100, 50, 200, 90}, style, canvas.Dc());
        const RECT expected = {c.expected.x, c.expected.y, c.expected.x + 10, c.expected.y + 6};
        EXPECT_TRUE(SameRect(canvas.Changed(kBackground), expected))
            << "al " << c.align << ": " << Describe(canvas.Changed(kBackground)) << ", expected " << Describe(expected);
        EXPECT_TRUE(canvas.AllAre(expected, kPieces[4])) << "al " << c.align;
    }
    // The centre divides truncating towards zero, also left of the origin.
    const POINT centre = AlignForeground(RECT{-7, -7, 0, 0}, 0, 10, 10);
    EXPECT_EQ(centre.x, -8);
    EXPECT_EQ(centre.y, -8);
}

// A 24-bit sheet: magenta on the left half, red on the right.
void PaintKeyedSheet(CHBitmap& sheet)
{
    PaintRect(sheet, 0, 0, 2, 2, Argb(0, 255, 0, 255));
    PaintRect(sheet, 2, 0, 2, 2, Argb(0, 255, 0, 0));
}

TEST(DrawImageStyle, ColourKeysMakeTwentyFourBitPixelsTransparent)
{
    CHBitmap sheet;
    ASSERT_TRUE(sheet.Create(4, 2, 24));
    PaintKeyedSheet(sheet);
    const uint32_t red = Argb(0, 255, 0, 0), magenta = Argb(0, 255, 0, 255);
    struct Case {
        const char* what;
        COLORREF key;
        RECT destination;
        RECT keyed, opaque;  // where the magenta half and the red half land (inner pixels)
        bool magentaShows;
    } cases[] = {
        {"same size with bc", kMagentaKey, {0, 0, 4, 2}, {0, 0, 2, 2}, {2, 0, 4, 2}, false},
        {"stretched with bc", kMagentaKey, {0, 0, 8, 4}, {0, 0, 3, 4}, {5, 0, 8, 4}, false},
        {"same size without bc", 0, {0, 0, 4, 2}, {0, 0, 2, 2}, {2, 0, 4, 2}, true},
        {"stretched without bc", 0, {0, 0, 8, 4}, {0, 0, 3, 4}, {5, 0, 8, 4}, true},
    };
    for (const Case& c : cases) {
        ImageStyle style;
        style.bgImage = &sheet;
        style.bgW = 4;
        style.bgH = 2;
        style.bgKey = c.key;
        Canvas canvas(10, 6, kBackground);
        DrawImageStyle(c.destination, style, canvas.Dc());
        EXPECT_TRUE(canvas.AllAre(c.opaque, red, kRgbOnly)) << c.what;
        EXPECT_TRUE(canvas.AllAre(c.keyed, c.magentaShows ? magenta : kBackground, kRgbOnly)) << c.what;
    }
}

TEST(DrawImageStyle, TwentyFourBitForegroundWithoutKeyTreatsBlackAsTransparent)
{
    CHBitmap sheet;
    ASSERT_TRUE(sheet.Create(4, 2, 24));
    PaintRect(sheet, 0, 0, 2, 2, Argb(0, 0, 0, 0));
    PaintRect(sheet, 2, 0, 2, 1, Argb(0, 0, 200, 0));
    PaintRect(sheet, 2, 1, 2, 1, Argb(0, 255, 0, 255));
    ImageStyle style;
    style.fgImage = &sheet;
    style.fgW = 4;
    style.fgH = 2;
    style.fgAlign = 1;

    Canvas canvas(10, 6, kBackground);
    DrawImageStyle(RECT{0, 0, 10, 6}, style, canvas.Dc());
    // Colour only: TransparentBlt under Wine rewrites the alpha byte even of the pixels it keys out.
    EXPECT_TRUE(canvas.AllAre(RECT{0, 0, 2, 2}, kBackground, kRgbOnly)) << "black is the default key";
    EXPECT_TRUE(canvas.AllAre(RECT{2, 0, 4, 1}, Argb(0, 0, 200, 0), kRgbOnly));
    EXPECT_TRUE(canvas.AllAre(RECT{2, 1, 4, 2}, Argb(0, 255, 0, 255), kRgbOnly));

    style.fgKey = kMagentaKey;
    canvas.Fill(kBackground);
    DrawImageStyle(RECT{0, 0, 10, 6}, style, canvas.Dc());
    EXPECT_TRUE(canvas.AllAre(RECT{0, 0, 2, 2}, Argb(0, 0, 0, 0), kRgbOnly)) << "with fc, black is drawn";
    EXPECT_TRUE(canvas.AllAre(RECT{2, 1, 4, 2}, kBackground, kRgbOnly));
}

// 32-bit images blend by their premultiplied alpha, whatever "bc" says.
TEST(DrawImageStyle, BlendsThirtyTwoBitImagesByTheirAlpha)
{
    CHBitmap sheet;
    ASSERT_TRUE(sheet.Create(3, 1, 32));
    PaintRect(sheet, 0, 0, 1, 1, Argb(128, 128, 0, 0));  // red at alpha 128, premultiplied
    PaintRect(sheet, 1, 0, 1, 1, Argb(0, 0, 0, 0));      // fully transparent
    PaintRect(sheet, 2, 0, 1, 1, Argb(255, 255, 0, 255)); // opaque magenta, not a key here
    ImageStyle style;
    style.bgImage = &sheet;
    style.bgW = 3;
    style.bgH = 1;
    style.bgKey = kMagentaKey;

    const uint32_t white = Argb(255, 255, 255, 255);
    Canvas canvas(3, 1, white);
    DrawImageStyle(RECT{0, 0, 3, 1}, style, canvas.Dc());
    const uint32_t blended = canvas.At(0, 0);
    EXPECT_EQ(blended >> 24, 255u);
    EXPECT_EQ((blended >> 16) & 0xFF, 255u);
    EXPECT_NEAR(static_cast<int>((blended >> 8) & 0xFF), 127, 1);
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 127, 1);
    EXPECT_EQ(canvas.At(1, 0), white);
    EXPECT_EQ(canvas.At(2, 0), Argb(255, 255, 0, 255));

    // Over a fully transparent target the alpha channel carries through for a layered window.
    Canvas clear(3, 1, 0);
    DrawImageStyle(RECT{0, 0, 3, 1}, style, clear.Dc());
    EXPECT_EQ(clear.At(0, 0), Argb(128, 128, 0, 0));
    EXPECT_EQ(clear.At(1, 0), 0u);
}

TEST(DrawBitmap, BlitsOnePieceAndLeavesTheBitmapDetached)
{
    Canvas canvas(16, 8, kBackground);
    EXPECT_FALSE(DrawBitmap(nullptr, canvas.Dc(), 0, 0, 2, 2, 0, 0, 2, 2));
    CHBitmap empty;
    EXPECT_FALSE(DrawBitmap(&empty, canvas.Dc(), 0, 0, 2, 2, 0, 0, 2, 2));

    CHBitmap rgb;
    ASSERT_TRUE(rgb.Create(2, 1, 24));
    PaintRect(rgb, 0, 0, 1, 1, Argb(0, 255, 0, 0));
    PaintRect(rgb, 1, 0, 1, 1, Argb(0, 0, 0, 255));
    ASSERT_TRUE(rgb.AttachDC());
    EXPECT_TRUE(DrawBitmap(&rgb, canvas.Dc(), 3, 1, 2, 1, 0, 0, 2, 1));
    EXPECT_EQ(rgb.MemoryDC(), nullptr) << "detached even though the caller had attached it";
    EXPECT_EQ(canvas.At(3, 1) & kRgbOnly, Argb(0, 255, 0, 0));
    EXPECT_EQ(canvas.At(4, 1) & kRgbOnly, Argb(0, 0, 0, 255));

    // Stretched through DrawDib: four red columns, then four blue ones.
    canvas.Fill(kBackground);
    EXPECT_TRUE(DrawBitmap(&rgb, canvas.Dc(), 0, 2, 8, 2, 0, 0, 2, 1));
    EXPECT_TRUE(canvas.AllAre(RECT{0, 2, 3, 4}, Argb(0, 255, 0, 0), kRgbOnly));
    EXPECT_TRUE(canvas.AllAre(RECT{5, 2, 8, 4}, Argb(0, 0, 0, 255), kRgbOnly));

    // Non-positive sizes draw nothing and report failure.
    canvas.Fill(kBackground);
    EXPECT_FALSE(DrawBitmap(&rgb, canvas.Dc(), 8, 0, -4, 2, 0, 0, 2, 1));
    EXPECT_FALSE(DrawBitmap(&rgb, canvas.Dc(), 0, 0, 4, 0, 0, 0, 2, 1));
    EXPECT_FALSE(DrawBitmap(&rgb, canvas.Dc(), 0, 0, 4, 2, 0, 0, 0, 1));
    EXPECT_TRUE(SameRect(canvas.Changed(kBackground), RECT{0, 0, 0, 0}));

    CHBitmap alpha;
    ASSERT_TRUE(alpha.Create(1, 1, 32));
    PaintRect(alpha, 0, 0, 1, 1, Argb(0, 0, 0, 0));
    EXPECT_TRUE(DrawBitmap(&alpha, canvas.Dc(), 0, 0, 4, 4, 0, 0, 1, 1));
    EXPECT_TRUE(SameRect(canvas.Changed(kBackground), RECT{0, 0, 0, 0})) << "transparent stays transparent";
}

// The same stretch into a second DC lands in that DC, not in the one drawn to before.
TEST(DrawBitmap, StretchesIntoTheDcItIsGiven)
{
    CHBitmap rgb;
    ASSERT_TRUE(rgb.Create(2, 1, 24));
    PaintRect(rgb, 0, 0, 2, 1, Argb(0, 0, 200, 0));
    Canvas first(8, 4, kBackground);
    Canvas second(8, 4, kBackground);
    EXPECT_TRUE(DrawBitmap(&rgb, first.Dc(), 0, 0, 8, 4, 0, 0, 2, 1));
    first.Fill(kBackground);
    EXPECT_TRUE(DrawBitmap(&rgb, second.Dc(), 0, 0, 8, 4, 0, 0, 2, 1));
    EXPECT_TRUE(second.AllAre(RECT{0, 0, 8, 4}, Argb(0, 0, 200, 0), kRgbOnly));
    EXPECT_TRUE(SameRect(first.Changed(kBackground), RECT{0, 0, 0, 0}));
}

HFONT MakeFont(int height, int weight)
{
    return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
}

class StyledText : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_big = MakeFont(40, FW_BOLD);
        m_small = MakeFont(12, FW_NORMAL);
        ASSERT_NE(m_big, nullptr);
        ASSERT_NE(m_small, nullptr);
    }
    void TearDown() override
    {
        DeleteObject(m_big);
        DeleteObject(m_small);
    }

    HFONT m_big = nullptr;
    HFONT m_small = nullptr;
};

constexpr uint32_t kBlack = Argb(255, 0, 0, 0);

TEST_F(StyledText, DrawsWithABrushOfAlpha254)
{
    EXPECT_EQ(TextBrushColor(RGB(255, 255, 255)), 0xFEFFFFFFu);
    EXPECT_EQ(TextBrushColor(RGB(1, 2, 3)), 0xFE010203u);

    // White text on black: where the glyphs cover whole pixels the colour is 254, never 255.
    TextStyle style;
    style.font = m_big;
    style.color = 16777215;
    Canvas canvas(200, 60, kBlack);
    DrawStyledText(RECT{0, 0, 200, 60}, L"IIII", nullptr, canvas.Dc(), style);
    EXPECT_EQ(canvas.MaxChannel(RECT{0, 0, 200, 60}), 254);
}

TEST_F(StyledText, UsesTheStyleTextAndTheDcFontWhenNoneIsGiven)
{
    TextStyle own;
    own.font = m_big;
    own.color = RGB(255, 255, 255);
    own.text = L"Wg";
    Canvas withNull(200, 60, kBlack);
    DrawStyledText(RECT{0, 0, 200, 60}, nullptr, nullptr, withNull.Dc(), own);
    EXPECT_FALSE(SameRect(withNull.Changed(kBlack), RECT{0, 0, 0, 0}));

    TextStyle other = own;
    other.text = L"something else";
    Canvas explicitText(200, 60, kBlack);
    DrawStyledText(RECT{0, 0, 200, 60}, L"Wg", nullptr, explicitText.Dc(), other);
    EXPECT_TRUE(withNull.SamePixels(explicitText));

    // A style without a font draws with the font selected in the DC.
    TextStyle noFont = own;
    noFont.font = nullptr;
    Canvas dcFont(200, 60, kBlack);
    HGDIOBJ previous = SelectObject(dcFont.Dc(), m_big);
    DrawStyledText(RECT{0, 0, 200, 60}, nullptr, nullptr, dcFont.Dc(), noFont);
    SelectObject(dcFont.Dc(), previous);
    EXPECT_TRUE(dcFont.SamePixels(withNull));

    Canvas smallDcFont(200, 60, kBlack);
    previous = SelectObject(smallDcFont.Dc(), m_small);
    DrawStyledText(RECT{0, 0, 200, 60}, nullptr, nullptr, smallDcFont.Dc(), noFont);
    SelectObject(smallDcFont.Dc(), previous);
    EXPECT_FALSE(smallDcFont.SamePixels(withNull));
    EXPECT_LT(smallDcFont.Changed(kBlack).bottom, withNull.Changed(kBlack).bottom);
}

TEST_F(StyledText, AlignsByTheFormatFlagsAndClips)
{
    auto bounds = [&](UINT format, const RECT* clip) {
        TextStyle style;
        style.font = m_small;
        style.color = RGB(255, 255, 255);
        style.format = format;
        Canvas canvas(300, 100, kBlack);
        DrawStyledText(RECT{0, 0, 300, 100}, L"Text", clip, canvas.Dc(), style);
        return canvas.Changed(kBlack);
    };
    const RECT left = bounds(0, nullptr);
    const RECT centre = bounds(1, nullptr);
    const RECT right = bounds(2, nullptr);
    const RECT singleCentred = bounds(0x24, nullptr);
    ASSERT_GT(left.right, left.left);
    const LONG width = left.right - left.left;
    EXPECT_LT(left.left, 10);
    EXPECT_NEAR((centre.left + centre.right) / 2, 150, 3);
    EXPECT_GT(right.right, 290);
    EXPECT_EQ(right.right - right.left, width);
    EXPECT_NEAR((singleCentred.top + singleCentred.bottom) / 2, 50, 4);
    // Vertical centring needs the single-line flag; there is no bottom alignment.
    EXPECT_TRUE(SameRect(bounds(0x4, nullptr), left)) << Describe(bounds(0x4, nullptr));
    EXPECT_TRUE(SameRect(bounds(0x8, nullptr), left));

    const RECT clip = {0, 0, left.left + width / 2, 100};
    const RECT clipped = bounds(0, &clip);
    EXPECT_LE(clipped.right, clip.right);
    EXPECT_GT(clipped.right, clipped.left);
}

TEST_F(StyledText, MeasuresTheNaturalExtent)
{
    TextStyle style;
    style.font = m_small;
    style.text = L"WWWW";
    Canvas canvas(10, 10, kBlack);
    const SIZE four = MeasureStyledText(canvas.Dc(), style, RECT{0, 0, 1000, 10}, nullptr);
    const SIZE one = MeasureStyledText(canvas.Dc(), style, RECT{0, 0, 1000, 10}, L"W");
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(four.cx, 3 * one.cx);
    EXPECT_EQ(four.cy, one.cy);
    EXPECT_GT(one.cy, 10) << "the layout height does not limit the measure";

    // Without a line limit the text wraps at the layout width, here a word per line.
    const SIZE wrapped = MeasureStyledText(canvas.Dc(), style, RECT{0, 0, one.cx + 2, 10}, L"W W W");
    EXPECT_GE(wrapped.cy, 3 * one.cy - 2);
    style.format = 0x20;
    const SIZE single = MeasureStyledText(canvas.Dc(), style, RECT{0, 0, one.cx + 2, 10}, L"W W W");
    EXPECT_GE(single.cy, 3 * one.cy - 2) << "the single-line flag sets no line limit when measuring";

    // The DC comes back as it was.
    HGDIOBJ font = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    MeasureStyledText(canvas.Dc(), style, RECT{0, 0, 100, 10}, nullptr);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), font);
}

TEST_F(StyledText, GetTextWidthUsesTheDcFontOrTheScreen)
{
    Canvas canvas(10, 10, kBlack);
    HGDIOBJ previous = SelectObject(canvas.Dc(), m_big);
    const int big = GetTextWidth(canvas.Dc(), L"width");
    SelectObject(canvas.Dc(), m_small);
    const int small = GetTextWidth(canvas.Dc(), L"width");
    SelectObject(canvas.Dc(), previous);
    EXPECT_GT(small, 0);
    EXPECT_GT(big, small);

    HDC screen = GetDC(nullptr);
    SIZE expected = {0, 0};
    GetTextExtentPoint32W(screen, L"width", 5, &expected);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(GetTextWidth(nullptr, L"width"), expected.cx);
    EXPECT_EQ(GetTextWidth(nullptr, nullptr), 0);
    EXPECT_EQ(GetTextWidth(canvas.Dc(), L""), 0);
}

}  // namespace
