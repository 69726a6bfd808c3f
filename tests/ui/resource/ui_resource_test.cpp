#include "ui/resource/ui_resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "package/file_io.h"
#include "package_builder.h"
#include "win32_pixels.h"

namespace {

using testing_pixels::Argb;
using testing_pixels::PixelOf;
using testing_uir::BuildPackage;

constexpr uint32_t kRed = Argb(255, 255, 0, 0);
constexpr uint32_t kGreen = Argb(255, 0, 255, 0);

// The test package: a sheet (100), an undecodable image (104), a second sheet (106) and the three
// stored font records, plus records with a long and an ordinary face name.
const char kDocument[] = R"({
  "cfg": {
    "Win": {
      "Button": {
        "id": 1001, "size": [1, -2, 30, 40], "of": [5, 6], "cr": [1, 2, 3],
        "normal": {"bi": 100, "bg": [1, 0, 2, 1], "bc": [255, 0, 255], "mg": [1, 2, 3, 4], "md": 7},
        "grayed": {"bi": 0, "bg": [1, 2, 3, 4], "mg": [1, 1, 1, 1], "bc": [1, 2, 3], "md": 2},
        "lighted": {"fg": [0, 0, 2, 2], "fc": [1, 2, 3], "al": 16, "of": [1, 1]},
        "pressed": {"fi": 100, "fg": [1, 0, 1, 1], "fc": [255, 0, 255], "of": [3, -4], "al": 16,
                    "bg": [9, 9, 9, 9], "mg": [2, 2, 2, 2]},
        "focused": {"bi": 100, "bg": [3, 1], "mg": [5]},
        "broken": {"bi": 104, "bg": [1, 1, 1, 1], "fi": 104, "fg": [1, 1, 1, 1]}
      },
      "Label": {"text": {"ft": 105, "cr": 16777215, "of": [2, 3], "al": 37, "tx": "安装程序 setup"}},
      "NoFont": {"text": {"ft": 102, "al": 36}}
    }
  },
  "res": {
    "images": [{"id": 100, "name": "Quorvil.png"}, {"id": 104}, {"id": "106"}],
    "fonts": [{"id": 101, "name": "Default"}, {"id": 103, "name": "Default"}, {"id": 105, "name": "Default"},
              {"id": 107}, {"id": 108}]
  }
}
)";

const char kFont101[] = R"({"ClipPrecision":2,"OutPrecision":3,"PitchAndFamily":34,"Quality":1,"Weight":700})";
const char kFont103[] = R"({"ClipPrecision":2,"OutPrecision":3,"PitchAndFamily":34,"Quality":1,"Underline":1})";
const char kFont105[] = R"({"Height":-16,"Weight":400,"CharSet":134})";
const char kFont107[] = R"({"FaceName":"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn"})";  // 40 characters
const char kFont108[] = R"({"FaceName":"Tahoma","Italic":1})";

// Top row red, green, blue, magenta; bottom row white, black, red at alpha 128, transparent.
std::string SheetPng()
{
    return testing_pixels::MakePng(4, 2,
                                   {kRed, kGreen, Argb(255, 0, 0, 255), Argb(255, 255, 0, 255),
                                    Argb(255, 255, 255, 255), Argb(255, 0, 0, 0), Argb(128, 255, 0, 0), 0},
                                   true);
}

std::string TestPackage()
{
    const std::string png = SheetPng();
    return BuildPackage(std::string(kDocument) + '\0', {{100, png},
                                                       {104, "\x89PNG but not really"},
                                                       {106, png},
                                                       {101, kFont101},
                                                       {103, kFont103},
                                                       {105, kFont105},
                                                       {107, kFont107},
                                                       {108, kFont108}});
}

bool IsZero(const ImageStyle& style)
{
    const ImageStyle zero;
    return std::memcmp(&style, &zero, sizeof style) == 0;
}

LOGFONTW LogFontOf(HFONT font)
{
    LOGFONTW logFont = {};
    GetObjectW(font, sizeof logFont, &logFont);
    return logFont;
}

LOGFONTW IconTitleFont()
{
    LOGFONTW logFont = {};
    SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof logFont, &logFont, 0);
    return logFont;
}

class UIResourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_resource.LoadFromMemory(TestPackage())); }

    UIResource m_resource;
};

TEST_F(UIResourceTest, AnswersTypedQueriesByPath)
{
    EXPECT_EQ(m_resource.GetInt("Win/Button/id", nullptr), 1001);
    const RECT size = m_resource.GetRect("/Win//Button/size/", nullptr);
    EXPECT_TRUE(testing_pixels::SameRect(size, RECT{1, -2, 30, 40})) << testing_pixels::Describe(size);
    const JsonValue* button = m_resource.FindNode("Win/Button", nullptr);
    ASSERT_NE(button, nullptr);
    const POINT of = m_resource.GetPoint("of", button);
    EXPECT_EQ(of.x, 5);
    EXPECT_EQ(of.y, 6);
    EXPECT_EQ(m_resource.GetColor("cr", button), RGB(1, 2, 3));
    EXPECT_EQ(m_resource.GetInt("Win/Nothing/id", nullptr), 0);

    std::string bytes;
    EXPECT_TRUE(m_resource.GetResourceBytes("fonts", 105, bytes));
    EXPECT_EQ(bytes, kFont105);
    EXPECT_FALSE(m_resource.GetResourceBytes("fonts", -1, bytes));
    EXPECT_FALSE(m_resource.GetResourceBytes("images", 105, bytes));
    EXPECT_EQ(bytes, "");
}

TEST_F(UIResourceTest, FillsImageStylesOnlyFromImagesThatLoad)
{
    const ImageStyle normal = m_resource.GetImageStyle("Win/Button/normal", nullptr);
    ASSERT_NE(normal.bgImage, nullptr);
    EXPECT_EQ(normal.bgImage, m_resource.GetImage(100, ImageTint::kAdjustable));
    EXPECT_EQ(normal.bgX, 1);
    EXPECT_EQ(normal.bgY, 0);
    EXPECT_EQ(normal.bgW, 2);
    EXPECT_EQ(normal.bgH, 1);
    EXPECT_EQ(normal.bgKey, RGB(255, 0, 255));
    EXPECT_EQ(normal.marginLeft, 1);
    EXPECT_EQ(normal.marginTop, 2);
    EXPECT_EQ(normal.marginRight, 3);
    EXPECT_EQ(normal.marginBottom, 4);
    EXPECT_EQ(normal.mode, 7);
    EXPECT_EQ(normal.fgImage, nullptr);

    // "bi" naming no image: every background field stays 0, whatever "bg", "mg" and "bc" say.
    EXPECT_TRUE(IsZero(m_resource.GetImageStyle("Win/Button/grayed", nullptr)));
    // "fg" without "fi": no foreground, no alignment, no offset.
    EXPECT_TRUE(IsZero(m_resource.GetImageStyle("Win/Button/lighted", nullptr)));
    // An image that does not decode counts as none.
    EXPECT_TRUE(IsZero(m_resource.GetImageStyle("Win/Button/broken", nullptr)));
    EXPECT_TRUE(IsZero(m_resource.GetImageStyle("Win/Button/missing", nullptr)));

    const ImageStyle pressed = m_resource.GetImageStyle("Win/Button/pressed", nullptr);
    EXPECT_EQ(pressed.bgImage, nullptr);
    EXPECT_EQ(pressed.bgW, 0);
    EXPECT_EQ(pressed.marginLeft, 0);
    EXPECT_EQ(pressed.fgImage, normal.bgImage);
    EXPECT_EQ(pressed.fgX, 1);
    EXPECT_EQ(pressed.fgY, 0);
    EXPECT_EQ(pressed.fgW, 1);
    EXPECT_EQ(pressed.fgH, 1);
    EXPECT_EQ(pressed.fgKey, RGB(255, 0, 255));
    EXPECT_EQ(pressed.fgAlign, 16);
    EXPECT_EQ(pressed.fgOffsetX, 3);
    EXPECT_EQ(pressed.fgOffsetY, -4);

    // "bg" and "mg" are read element by element; missing elements are 0.
    const ImageStyle focused = m_resource.GetImageStyle("Win/Button/focused", nullptr);
    EXPECT_EQ(focused.bgX, 3);
    EXPECT_EQ(focused.bgY, 1);
    EXPECT_EQ(focused.bgW, 0);
    EXPECT_EQ(focused.marginLeft, 5);
    EXPECT_EQ(focused.marginTop, 0);

    // Records are values: a copy shares the image and outlives the original.
    ImageStyle copy;
    {
        const ImageStyle original = normal;
        copy = original;
    }
    EXPECT_EQ(copy.bgImage, normal.bgImage);
    EXPECT_EQ(copy.bgImage->Width(), 4);
}

TEST_F(UIResourceTest, DecodesEachImageOnceAndRetriesFailures)
{
    const int before = CHBitmap::LiveCount();
    CHBitmap* sheet = m_resource.GetImage(100, ImageTint::kAdjustable);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->BitsPerPixel(), 32);
    EXPECT_EQ(PixelOf(*sheet, 0, 0), kRed);
    EXPECT_EQ(m_resource.GetImage(100, ImageTint::kFixed), sheet);
    EXPECT_EQ(CHBitmap::LiveCount(), before + 1);
    EXPECT_NE(m_resource.GetImage(106, ImageTint::kFixed), nullptr);  // named by the string "106"

    EXPECT_EQ(m_resource.GetImage(104, ImageTint::kAdjustable), nullptr);
    EXPECT_EQ(m_resource.GetImage(105, ImageTint::kAdjustable), nullptr);  // a font, not an image
    EXPECT_EQ(m_resource.GetImage(-100, ImageTint::kAdjustable), nullptr);
    EXPECT_EQ(CHBitmap::LiveCount(), before + 2) << "failed decodes keep nothing";

    // The failure was not cached: once the package has a good image 104, it loads. The image
    // handed out before stays valid across the reload.
    ASSERT_TRUE(m_resource.LoadFromMemory(
        BuildPackage(R"({"res":{"images":[{"id":104}]}})", {{104, SheetPng()}})));
    EXPECT_NE(m_resource.GetImage(104, ImageTint::kAdjustable), nullptr);
    EXPECT_EQ(m_resource.GetImage(100, ImageTint::kAdjustable), sheet);
    EXPECT_EQ(PixelOf(*sheet, 1, 0), kGreen);
}

TEST_F(UIResourceTest, FillsTextStyles)
{
    const TextStyle label = m_resource.GetTextStyle("Win/Label/text", nullptr);
    EXPECT_EQ(label.font, m_resource.GetFont(105));
    EXPECT_NE(label.font, nullptr);
    EXPECT_EQ(label.color, 16777215u);
    EXPECT_EQ(label.offsetX, 2);
    EXPECT_EQ(label.offsetY, 3);
    EXPECT_EQ(label.format, 37u);
    EXPECT_EQ(label.text, L"\x5B89\x88C5\x7A0B\x5E8F setup");

    const TextStyle noFont = m_resource.GetTextStyle("Win/NoFont/text", nullptr);
    EXPECT_EQ(noFont.font, nullptr);
    EXPECT_EQ(noFont.format, 36u);
    EXPECT_EQ(noFont.text, L"");

    const TextStyle missing = m_resource.GetTextStyle("Win/Missing/text", nullptr);
    EXPECT_EQ(missing.font, nullptr);
    EXPECT_EQ(missing.format, 0u);
    EXPECT_EQ(missing.color, 0u);
    EXPECT_EQ(missing.text, L"");

    // A copy shares the text and the font and stays usable when the original is gone.
    TextStyle copy;
    {
        TextStyle original = label;
        copy = original;
    }
    EXPECT_EQ(copy.text, label.text);
    EXPECT_EQ(copy.font, label.font);
}

// Record 105 changes height, weight and character set; everything else is the icon-title font.
TEST_F(UIResourceTest, LaysFontRecordsOverTheIconTitleFont)
{
    const LOGFONTW base = IconTitleFont();
    HFONT chinese = m_resource.GetFont(105);
    ASSERT_NE(chinese, nullptr);
    EXPECT_EQ(m_resource.GetFont(105), chinese);
    const LOGFONTW f = LogFontOf(chinese);
    EXPECT_EQ(f.lfHeight, -16);
    EXPECT_EQ(f.lfWeight, 400);
    EXPECT_EQ(f.lfCharSet, 134);
    EXPECT_EQ(f.lfWidth, base.lfWidth);
    EXPECT_EQ(f.lfEscapement, base.lfEscapement);
    EXPECT_EQ(f.lfOrientation, base.lfOrientation);
    EXPECT_EQ(f.lfItalic, base.lfItalic);
    EXPECT_EQ(f.lfUnderline, base.lfUnderline);
    EXPECT_EQ(f.lfStrikeOut, base.lfStrikeOut);
    EXPECT_EQ(f.lfOutPrecision, base.lfOutPrecision);
    EXPECT_EQ(f.lfClipPrecision, base.lfClipPrecision);
    EXPECT_EQ(f.lfQuality, base.lfQuality);
    EXPECT_EQ(f.lfPitchAndFamily, base.lfPitchAndFamily);
    EXPECT_EQ(std::wstring(f.lfFaceName), std::wstring(base.lfFaceName));

    const LOGFONTW bold = LogFontOf(m_resource.GetFont(101));
    EXPECT_EQ(bold.lfWeight, 700);
    EXPECT_EQ(bold.lfClipPrecision, 2);
    EXPECT_EQ(bold.lfOutPrecision, 3);
    EXPECT_EQ(bold.lfPitchAndFamily, 34);
    EXPECT_EQ(bold.lfQuality, 1);
    EXPECT_EQ(bold.lfHeight, base.lfHeight);
    const LOGFONTW underlined = LogFontOf(m_resource.GetFont(103));
    EXPECT_EQ(underlined.lfUnderline, 1);
    EXPECT_EQ(underlined.lfWeight, base.lfWeight);

    const LOGFONTW tahoma = LogFontOf(m_resource.GetFont(108));
    EXPECT_EQ(std::wstring(tahoma.lfFaceName), L"Tahoma");
    EXPECT_EQ(tahoma.lfItalic, 1);
    // A face name longer than LOGFONTW holds is cut to its first 31 characters.
    const LOGFONTW longName = LogFontOf(m_resource.GetFont(107));
    EXPECT_EQ(std::wstring(longName.lfFaceName), L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde");
}

TEST_F(UIResourceTest, CutsLongFaceNamesBetweenCharacters)
{
    LOGFONTW font = IconTitleFont();
    // 30 letters and then U+1F600, a surrogate pair that would straddle the 31-unit limit.
    UIResource::ApplyFontRecord(R"({"FaceName":"abcdefghijklmnopqrstuvwxyzABCD😀"})", font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"abcdefghijklmnopqrstuvwxyzABCD");
    UIResource::ApplyFontRecord(R"({"FaceName":""})", font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"abcdefghijklmnopqrstuvwxyzABCD");
    UIResource::ApplyFontRecord("not json", font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"abcdefghijklmnopqrstuvwxyzABCD");
}

// A font id without a record gives null, and the null is cached: a later package that has the
// record does not change the answer.
TEST_F(UIResourceTest, CachesAMissingFontAsNull)
{
    EXPECT_EQ(m_resource.GetFont(102), nullptr);
    EXPECT_EQ(m_resource.GetFont(102), nullptr);
    ASSERT_TRUE(m_resource.LoadFromMemory(
        BuildPackage(R"({"res":{"fonts":[{"id":102},{"id":109}]}})", {{102, kFont101}, {109, kFont105}})));
    EXPECT_EQ(m_resource.GetFont(102), nullptr);
    // Fonts not asked for before come from the new package.
    ASSERT_NE(m_resource.GetFont(109), nullptr);
    EXPECT_EQ(LogFontOf(m_resource.GetFont(109)).lfHeight, -16);
}

TEST_F(UIResourceTest, LoadsFromMemoryFilesAndItsModule)
{
    std::string bytes = TestPackage();
    bytes[3] = 'R';
    EXPECT_FALSE(m_resource.LoadFromMemory(bytes));
    EXPECT_FALSE(m_resource.LoadFromMemory(std::string()));
    std::string cut = TestPackage();
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(m_resource.LoadFromMemory(cut));
    EXPECT_EQ(m_resource.GetInt("Win/Button/id", nullptr), 1001) << "the loaded document stays";

    EXPECT_FALSE(m_resource.LoadFromFile(L"C:\\no such folder\\skin.uir"));
    EXPECT_FALSE(m_resource.LoadFromFile(nullptr));
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"uir", 0, path);
    ASSERT_TRUE(WriteWholeFile(path, BuildPackage(R"({"cfg":{"FromFile":{"id":7}}})", {})));
    EXPECT_TRUE(m_resource.LoadFromFile(path));
    EXPECT_EQ(m_resource.GetInt("FromFile/id", nullptr), 7);
    DeleteFileW(path);

    // This test program carries a small package as its "UIR" 129 resource.
    UIResource fromModule;
    EXPECT_FALSE(fromModule.LoadFromModule(GetModuleHandleW(nullptr), L"UIR", 130));
    ASSERT_TRUE(fromModule.LoadFromModule(GetModuleHandleW(nullptr), L"UIR", 129));
    EXPECT_EQ(fromModule.GetInt("Probe/id", nullptr), 129);
    const TextStyle probe = fromModule.GetTextStyle("Probe/text", nullptr);
    EXPECT_EQ(probe.text, L"\x5B89\x88C5");
    EXPECT_EQ(LogFontOf(probe.font).lfWeight, 700);
}

TEST(UIResource, DefaultFontsAreProcessWide)
{
    UIResource first, second;
    HFONT normal = first.GetDefaultFont();
    HFONT bold = first.GetDefaultBoldFont();
    ASSERT_NE(normal, nullptr);
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(second.GetDefaultFont(), normal);
    EXPECT_EQ(second.GetDefaultBoldFont(), bold);
    const LOGFONTW base = IconTitleFont();
    EXPECT_EQ(LogFontOf(normal).lfHeight, base.lfHeight);
    EXPECT_EQ(LogFontOf(normal).lfWeight, base.lfWeight);
    EXPECT_EQ(LogFontOf(bold).lfWeight, 700);
    EXPECT_EQ(std::wstring(LogFontOf(bold).lfFaceName), std::wstring(base.lfFaceName));
}

int s_colourMessages = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SKIN_COLORS_CHANGED)
        ++s_colourMessages;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(UIResourceTest, RetintsAdjustableImagesAndTellsEveryWindow)
{
    CHBitmap* adjustable = m_resource.GetImage(100, ImageTint::kAdjustable);
    CHBitmap* fixed = m_resource.GetImage(106, ImageTint::kFixed);
    ASSERT_NE(adjustable, nullptr);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(m_resource.AdjustColor(RGB(255, 0, 0)), RGB(255, 0, 0));

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"QvColourProbe";
    RegisterClassW(&windowClass);
    HWND top = CreateWindowExW(0, L"QvColourProbe", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    HWND child = CreateWindowExW(0, L"QvColourProbe", L"", WS_CHILD, 0, 0, 5, 5, top, nullptr,
                                 windowClass.hInstance, nullptr);
    ASSERT_NE(child, nullptr);
    s_colourMessages = 0;

    EXPECT_TRUE(m_resource.SetColorAdjust(120, 0, 0));
    EXPECT_EQ(s_colourMessages, 2);
    EXPECT_EQ(m_resource.GetHue(), 120);
    EXPECT_EQ(m_resource.GetSaturation(), 0);
    EXPECT_EQ(m_resource.GetLightness(), 0);
    EXPECT_EQ(PixelOf(*adjustable, 0, 0), kGreen);
    EXPECT_EQ(PixelOf(*adjustable, 1, 0), Argb(255, 0, 0, 255));
    EXPECT_EQ(PixelOf(*fixed, 0, 0), kRed);
    EXPECT_EQ(m_resource.AdjustColor(RGB(255, 0, 0)), RGB(0, 255, 0));

    // A new adjustment starts again from the stored colours, not from the adjusted ones.
    m_resource.SetColorAdjust(-120, 0, 0);
    EXPECT_EQ(PixelOf(*adjustable, 0, 0), Argb(255, 0, 0, 255));
    EXPECT_EQ(m_resource.AdjustColor(RGB(255, 0, 0)), RGB(0, 0, 255));

    // Images decoded while an adjustment is set come out adjusted when they are adjustable.
    ASSERT_TRUE(m_resource.LoadFromMemory(
        BuildPackage(R"({"res":{"images":[{"id":200},{"id":201}]}})", {{200, SheetPng()}, {201, SheetPng()}})));
    EXPECT_EQ(PixelOf(*m_resource.GetImage(200, ImageTint::kAdjustable), 0, 0), Argb(255, 0, 0, 255));
    EXPECT_EQ(PixelOf(*m_resource.GetImage(201, ImageTint::kFixed), 0, 0), kRed);

    m_resource.SetColorAdjust(0, 0, 0);
    EXPECT_EQ(s_colourMessages, 6);
    EXPECT_EQ(PixelOf(*adjustable, 0, 0), kRed);
    EXPECT_EQ(PixelOf(*adjustable, 2, 1), Argb(128, 128, 0, 0));
    EXPECT_EQ(PixelOf(*m_resource.GetImage(200, ImageTint::kAdjustable), 0, 0), kRed);
    EXPECT_EQ(m_resource.AdjustColor(RGB(12, 34, 56)), RGB(12, 34, 56));

    DestroyWindow(top);
    UnregisterClassW(L"QvColourProbe", windowClass.hInstance);
}

}  // namespace
