// The skin the program carries, read back from the package the build made, the way the windows
// read it: every element they create is there with its command id, placement and text style, the
// font records are the three the windows name, every picture lies on the sheet, every state a
// control can show has a picture of its own, and the windows' transparent margins (their rounded
// corners and shadows) never fall under an element.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "package/json/json_reader.h"
#include "tools/mkuir/rgba_image.h"
#include "ui/resource/ui_package.h"

namespace {

constexpr uint32_t kSheetId = 100;

struct WindowSize {
    const char* node;
    int width;
    int height;
    bool framed;  // drawn by the frame window (strips and client) rather than as one picture
};

const WindowSize kWindows[] = {
    {"MainWindow", 670, 680, true},      {"MainWindow2", 670, 330, true},   {"ProcessWindow", 670, 300, true},
    {"SuccessWindow", 670, 320, false},  {"SuccessWindow2", 670, 400, true},
};

class SkinPackage : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::ifstream in(QV_SKIN_PACKAGE, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        loaded = package.Load(bytes) == PackageStatus::kOk;
        const std::string* png = package.FindRecord("images", kSheetId);
        std::string error;
        decoded = png != nullptr && DecodePng(*png, sheet, error);
    }

    static const JsonValue* Node(const std::string& path) { return package.FindNode(path.c_str(), nullptr); }

    // The part of the sheet an image style names.
    static RgbaImage Picture(const JsonValue* style)
    {
        const PackageRect bg = UIPackage::RectOf(&style->Find("bg"));
        return Crop(sheet, bg.left, bg.top, bg.right, bg.bottom);
    }

    static UIPackage package;
    static RgbaImage sheet;
    static bool loaded;
    static bool decoded;
};

UIPackage SkinPackage::package;
RgbaImage SkinPackage::sheet;
bool SkinPackage::loaded = false;
bool SkinPackage::decoded = false;

TEST_F(SkinPackage, HoldsTheSheetAndTheThreeFontRecords)
{
    ASSERT_TRUE(loaded) << QV_SKIN_PACKAGE;
    ASSERT_TRUE(decoded);
    ASSERT_EQ(package.Groups().count("images"), 1u);
    ASSERT_EQ(package.Groups().count("fonts"), 1u);
    std::vector<uint32_t> images, fonts;
    for (const auto& entry : package.Groups().at("images"))
        images.push_back(entry.first);
    for (const auto& entry : package.Groups().at("fonts"))
        fonts.push_back(entry.first);
    EXPECT_EQ(images, std::vector<uint32_t>({kSheetId}));
    EXPECT_EQ(fonts, std::vector<uint32_t>({101, 103, 105}));
}

struct FontCase {
    uint32_t id;
    const char* fields;  // the record's members, as JSON
    size_t storedSize;   // compact JSON with its line feed
};

TEST_F(SkinPackage, FontRecordsAreExactlyTheOnesTheWindowsName)
{
    const FontCase cases[] = {
        {101, R"({"ClipPrecision":2,"OutPrecision":3,"PitchAndFamily":34,"Quality":1,"Weight":700})", 82},
        {103, R"({"ClipPrecision":2,"OutPrecision":3,"PitchAndFamily":34,"Quality":1,"Underline":1})", 83},
        {105, R"({"Height":-16,"Weight":400,"CharSet":134})", 42},
    };
    for (const FontCase& font : cases) {
        SCOPED_TRACE(font.id);
        const std::string* bytes = package.FindRecord("fonts", font.id);
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(bytes->size(), font.storedSize);
        EXPECT_EQ(bytes->back(), '\n');
        JsonValue stored, expected;
        ASSERT_TRUE(JsonReader().Parse(bytes->c_str(), stored));
        ASSERT_TRUE(JsonReader().Parse(font.fields, expected));
        EXPECT_EQ(stored, expected);
    }
}

// What a window relies on for one element; kAny leaves a text style field unchecked.
constexpr int kAny = -1;

struct ElementCase {
    const char* path;
    int id;
    int size[4];
    int font = kAny;
    int colour = kAny;
    int alignment = kAny;
};

std::ostream& operator<<(std::ostream& out, const ElementCase& element) { return out << element.path; }

class SkinElement : public SkinPackage, public testing::WithParamInterface<ElementCase> {};

TEST_P(SkinElement, IsPlacedAsTheWindowExpects)
{
    const ElementCase& element = GetParam();
    const JsonValue* node = Node(element.path);
    ASSERT_NE(node, nullptr) << element.path;
    EXPECT_EQ(UIPackage::IntegerOf(&node->Find("id")), element.id);
    const PackageRect size = UIPackage::RectOf(&node->Find("size"));
    EXPECT_EQ(size.left, element.size[0]);
    EXPECT_EQ(size.top, element.size[1]);
    EXPECT_EQ(size.right, element.size[2]);
    EXPECT_EQ(size.bottom, element.size[3]);

    // Labels keep one style under "text"; buttons one per state under "Text".
    std::vector<const JsonValue*> styles;
    if (node->IsMember("text")) {
        styles.push_back(&node->Find("text"));
    } else if (node->IsMember("Text")) {
        for (const char* state : {"normal", "grayed", "lighted", "pressed", "focused"})
            styles.push_back(&node->Find("Text").Find(state));
    }
    if (element.font == kAny && element.colour == kAny && element.alignment == kAny)
        return;
    ASSERT_FALSE(styles.empty()) << element.path << " has no text style";
    for (const JsonValue* style : styles) {
        if (element.font != kAny) {
            EXPECT_EQ(UIPackage::IntegerOf(&style->Find("ft")), element.font);
        }
        if (element.colour != kAny) {
            EXPECT_EQ(UIPackage::IntegerOf(&style->Find("cr")), element.colour);
        }
        if (element.alignment != kAny) {
            EXPECT_EQ(UIPackage::IntegerOf(&style->Find("al")), element.alignment);
        }
    }
}

constexpr int kWhite = 16777215;

INSTANTIATE_TEST_SUITE_P(
    Windows, SkinElement,
    testing::Values(
        ElementCase{"MainWindow/SysBtns/Close", 1000, {-60, 45, 15, 15}},
        ElementCase{"MainWindow/SysBtns/Restore", 0, {0, 0, 0, 0}},
        ElementCase{"MainWindow/SysBtns/Maximize", 0, {0, 0, 0, 0}},
        ElementCase{"MainWindow/SysBtns/Minimize", 0, {0, 0, 0, 0}},
        ElementCase{"MainWindow/InstallButton2", 1001, {-195, -96, 140, 37}},
        ElementCase{"MainWindow/InstallButton", 1001, {-250, 135, 196, 61}},
        ElementCase{"MainWindow/CheckBoxDesktop", 1003, {48, -90, 200, 27}},
        ElementCase{"MainWindow/CheckBoxTaskbar", 1004, {180, -90, 147, 27}},
        ElementCase{"MainWindow/CheckBoxStartMenu", 1006, {320, -90, 156, 27}},
        ElementCase{"MainWindow/CheckBoxAgree", 1002, {48, -200, 220, 27}},
        ElementCase{"MainWindow/EditBoxPath", 0, {55, -160, 560, 35}},
        ElementCase{"MainWindow/ButtonBrowser", 1005, {515, -160, 100, 35}},
        ElementCase{"MainWindow/EditBoxReadMe", 0, {55, 305, 560, 170}},
        ElementCase{"MainWindow2/SysBtns/Close", 1000, {0, 0, 0, 0}},
        ElementCase{"MainWindow2/Label1", 0, {75, 190, 558, 28}},
        ElementCase{"MainWindow2/ButtonOK", 1001, {-307, -92, 116, 37}},
        ElementCase{"MainWindow2/ButtonCancel", 1002, {-170, -92, 116, 37}},
        ElementCase{"ProcessWindow/SysBtns/Close", 1000, {0, 0, 0, 0}},
        ElementCase{"ProcessWindow/SysBtns/Restore", 0, {0, 0, 0, 0}},
        ElementCase{"ProcessWindow/SysBtns/Maximize", 0, {0, 0, 0, 0}},
        ElementCase{"ProcessWindow/SysBtns/Minimize", 0, {0, 0, 0, 0}},
        ElementCase{"ProcessWindow/Label1", 0, {56, 220, 558, 28}, 101},
        ElementCase{"ProcessWindow/Progress1", 0, {56, 200, 558, 6}},
        ElementCase{"ProcessWindow/ButtonCancel", 2002, {-130, -85, 72, 25}, 0, kWhite, 37},
        ElementCase{"SuccessWindow/Button1", 2001, {-300, 185, 196, 61}},
        ElementCase{"SuccessWindow/SysBtns/Close", 1000, {-60, 45, 15, 15}},
        ElementCase{"SuccessWindow2/SysBtns/Close", 1000, {0, 0, 0, 0}},
        ElementCase{"SuccessWindow2/Label1", 0, {85, 195, 558, 28}, 101},
        ElementCase{"SuccessWindow2/Label2", 0, {85, 235, 558, 28}, 0},
        ElementCase{"SuccessWindow2/ButtonOK", 1002, {-170, -92, 116, 37}, 102, kWhite, 37},
        ElementCase{"SuccessWindow2/ButtonContact", 3001, {107, 275, 120, 28}, 103},
        ElementCase{"SuccessWindow2/Icon", 0, {85, 273, 18, 18}}));

TEST_F(SkinPackage, TheFeedbackLinkIsTextInItsColourWithoutPictures)
{
    const JsonValue* link = Node("SuccessWindow2/ButtonContact");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(UIPackage::IntegerOf(&link->Find("Text").Find("normal").Find("cr")), 14853431);
    for (const char* state : {"normal", "grayed", "lighted", "pressed", "focused"})
        EXPECT_FALSE(link->IsMember(state)) << state;
}

TEST_F(SkinPackage, TheStartButtonCarriesItsCaptionAsArt)
{
    const JsonValue* button = Node("SuccessWindow/Button1");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->IsMember("Text"));
    const JsonValue* picture = Node("SuccessWindow/bkgnd");
    ASSERT_NE(picture, nullptr);
    const PackageRect bg = UIPackage::RectOf(&picture->Find("bg"));
    EXPECT_EQ(bg.right, 670);
    EXPECT_EQ(bg.bottom, 320);
}

TEST_F(SkinPackage, TheFolderBoxLeavesRoomForTheBrowseButton)
{
    const PackageRect margin = package.GetRect("MainWindow/EditBoxPath/Text/margin", nullptr);
    EXPECT_EQ(margin.left, 8);
    EXPECT_EQ(margin.top, 5);
    EXPECT_EQ(margin.right, 105);
    EXPECT_EQ(margin.bottom, 5);
}

// Calls visit(path, style) for every image style object below node.
template <typename Visit>
void ForEachImageStyle(const JsonValue& node, const std::string& path, Visit visit)
{
    if (node.GetType() != JsonValue::kObject)
        return;
    if (node.IsMember("bi") || node.IsMember("bg") || node.IsMember("fi") || node.IsMember("fg"))
        visit(path, node);
    std::vector<std::string> names;
    node.GetMemberNames(names);
    for (const std::string& name : names)
        ForEachImageStyle(node.Find(name.c_str()), path + "/" + name, visit);
}

bool InsideSheet(const PackageRect& r, const RgbaImage& sheet)
{
    return r.left >= 0 && r.top >= 0 && r.right > 0 && r.bottom > 0 && r.left + r.right <= sheet.width &&
           r.top + r.bottom <= sheet.height;
}

TEST_F(SkinPackage, EveryImageStyleLiesInsideTheSheet)
{
    ASSERT_TRUE(decoded);
    for (const WindowSize& window : kWindows) {
        bool any = false;
        ForEachImageStyle(*Node(window.node), window.node, [&](const std::string& path, const JsonValue& style) {
            any = true;
            SCOPED_TRACE(path);
            EXPECT_EQ(UIPackage::IntegerOf(&style.Find("bi")), static_cast<int32_t>(kSheetId));
            const PackageRect bg = UIPackage::RectOf(&style.Find("bg"));
            EXPECT_TRUE(InsideSheet(bg, sheet)) << bg.left << "," << bg.top << " " << bg.right << "x" << bg.bottom;
            const PackageRect mg = UIPackage::RectOf(&style.Find("mg"));
            EXPECT_LE(mg.left + mg.right, bg.right);
            EXPECT_LE(mg.top + mg.bottom, bg.bottom);
            if (style.IsMember("fg")) {
                EXPECT_EQ(UIPackage::IntegerOf(&style.Find("fi")), static_cast<int32_t>(kSheetId));
                EXPECT_TRUE(InsideSheet(UIPackage::RectOf(&style.Find("fg")), sheet));
            }
        });
        EXPECT_TRUE(any) << window.node << " has no pictures";
    }
}

// Controls whose four drawn states must look different: normal, disabled, hovered, pressed.
const char* const kStatefulControls[] = {
    "MainWindow/SysBtns/Close",  "MainWindow/InstallButton2",   "MainWindow/InstallButton",
    "MainWindow/CheckBoxAgree",  "MainWindow/ButtonBrowser",    "MainWindow2/ButtonOK",
    "MainWindow2/ButtonCancel",  "ProcessWindow/ButtonCancel",  "SuccessWindow/Button1",
    "SuccessWindow/SysBtns/Close", "SuccessWindow2/ButtonOK",
};

TEST_F(SkinPackage, EveryStateAControlShowsHasItsOwnPicture)
{
    ASSERT_TRUE(decoded);
    const char* const states[] = {"normal", "grayed", "lighted", "pressed"};
    for (const char* path : kStatefulControls) {
        const JsonValue* control = Node(path);
        ASSERT_NE(control, nullptr) << path;
        std::vector<RgbaImage> pictures;
        for (const char* state : states) {
            ASSERT_TRUE(control->Find(state).IsMember("bg")) << path << "/" << state;
            pictures.push_back(Picture(&control->Find(state)));
        }
        for (size_t a = 0; a < pictures.size(); ++a) {
            for (size_t b = a + 1; b < pictures.size(); ++b)
                EXPECT_FALSE(pictures[a] == pictures[b]) << path << ": " << states[a] << " looks like " << states[b];
        }
    }
}

// Mean colourfulness (largest minus smallest channel) of the opaque pixels.
double Colourfulness(const RgbaImage& picture)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.At(x, y);
            if (p[3] < 255)
                continue;
            sum += std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]});
            ++count;
        }
    }
    return count == 0 ? 0 : sum / count;
}

TEST_F(SkinPackage, DisabledButtonsAreGreyWhereEnabledOnesCarryTheBrandColour)
{
    ASSERT_TRUE(decoded);
    for (const char* path : {"MainWindow/InstallButton2", "MainWindow2/ButtonOK", "SuccessWindow/Button1"}) {
        SCOPED_TRACE(path);
        const JsonValue* button = Node(path);
        ASSERT_NE(button, nullptr);
        EXPECT_GT(Colourfulness(Picture(&button->Find("normal"))), 120);
        EXPECT_LT(Colourfulness(Picture(&button->Find("grayed"))), 25);
    }
}

TEST_F(SkinPackage, ControlPicturesHaveTheShapesTheControlsDrawThemIn)
{
    ASSERT_TRUE(decoded);
    // The check box's glyph lives in the 28 columns its left margin keeps unstretched; everything
    // right of them is stretched under the caption and must stay empty.
    for (const char* state : {"normal", "grayed", "lighted", "pressed"}) {
        const JsonValue* style = Node(std::string("MainWindow/CheckBoxAgree/") + state);
        ASSERT_NE(style, nullptr);
        const PackageRect mg = UIPackage::RectOf(&style->Find("mg"));
        EXPECT_EQ(mg.left, 28);
        EXPECT_EQ(mg.top + mg.right + mg.bottom, 0);
        const RgbaImage picture = Picture(style);
        int glyph = 0;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                if (x >= 28) {
                    EXPECT_EQ(picture.At(x, y)[3], 0) << state << " at " << x << "," << y;
                } else {
                    glyph += picture.At(x, y)[3] != 0;
                }
            }
        }
        EXPECT_GT(glyph, 100) << state;
    }

    // Progress tiles, close button, chat icon: fixed sizes.
    const struct {
        const char* path;
        int width, height;
    } sizes[] = {{"ProcessWindow/Progress1/bkgnd", 3, 6},    {"ProcessWindow/Progress1/frgnd", 3, 6},
                 {"MainWindow/SysBtns/Close/normal", 15, 15}, {"SuccessWindow/SysBtns/Close/pressed", 15, 15},
                 {"SuccessWindow2/Icon/bkgnd", 18, 18}};
    for (const auto& expected : sizes) {
        const PackageRect bg = package.GetRect((std::string(expected.path) + "/bg").c_str(), nullptr);
        EXPECT_EQ(bg.right, expected.width) << expected.path;
        EXPECT_EQ(bg.bottom, expected.height) << expected.path;
    }

    // Edit boxes and buttons stretch by nine-grid margins.
    for (const char* path : {"MainWindow/EditBoxPath/bkgnd", "MainWindow/EditBoxReadMe/bkgnd",
                             "MainWindow/InstallButton2/normal", "MainWindow/ButtonBrowser/normal",
                             "MainWindow2/ButtonCancel/lighted", "ProcessWindow/ButtonCancel/grayed"}) {
        const PackageRect mg = package.GetRect((std::string(path) + "/mg").c_str(), nullptr);
        EXPECT_TRUE(mg.left > 0 && mg.top > 0 && mg.right > 0 && mg.bottom > 0) << path;
    }

    // The licence box's scroll bar: a track as wide as the bar and a thumb on it.
    const PackageRect track = package.GetRect("MainWindow/EditBoxReadMe/ScrollBar/trackbar/bg", nullptr);
    const PackageRect thumb = package.GetRect("MainWindow/EditBoxReadMe/ScrollBar/thumb/bg", nullptr);
    EXPECT_GT(track.right, 0);
    EXPECT_EQ(thumb.right, track.right);
    EXPECT_FALSE(Picture(Node("MainWindow/EditBoxReadMe/ScrollBar/trackbar")) ==
                 Picture(Node("MainWindow/EditBoxReadMe/ScrollBar/thumb")));
}

// The alpha the window's own drawing leaves at a point: the client skin, then the top, left, right
// and bottom strips, each drawn over the last with nine-grid stretching, as the frame window draws
// them (or the one picture of a window that has no frame).
class WindowAlpha {
public:
    WindowAlpha(const UIPackage& package, const RgbaImage& sheet, const WindowSize& window) : m_sheet(sheet)
    {
        const JsonValue* node = package.FindNode(window.node, nullptr);
        const int w = window.width, h = window.height;
        if (!window.framed) {
            m_layers.push_back({{0, 0, w, h}, &node->Find("bkgnd")});
            return;
        }
        const JsonValue* top = package.FindNode("Frames/Top/normal", node);
        const JsonValue* left = package.FindNode("Frames/Left/normal", node);
        const JsonValue* right = package.FindNode("Frames/Right/normal", node);
        const JsonValue* bottom = package.FindNode("Frames/Bottom/normal", node);
        const int tH = UIPackage::RectOf(&top->Find("bg")).bottom;
        const int lW = UIPackage::RectOf(&left->Find("bg")).right;
        const int rW = UIPackage::RectOf(&right->Find("bg")).right;
        const int bH = UIPackage::RectOf(&bottom->Find("bg")).bottom;
        m_layers.push_back({{lW, tH, w - rW, h - bH}, package.FindNode("Client/bkgnd", node)});
        m_layers.push_back({{0, 0, w, tH}, top});
        m_layers.push_back({{0, tH, lW, h - bH}, left});
        m_layers.push_back({{w - rW, tH, w, h - bH}, right});
        m_layers.push_back({{0, h - bH, w, h}, bottom});
    }

    int At(int x, int y) const
    {
        double alpha = 0;
        for (const Layer& layer : m_layers) {
            int source = SourceAlpha(layer, x, y);
            if (source >= 0)
                alpha = source / 255.0 + alpha * (1 - source / 255.0);
        }
        return static_cast<int>(alpha * 255 + 0.5);
    }

private:
    struct Rect {
        int left, top, right, bottom;
    };
    struct Layer {
        Rect rect;
        const JsonValue* style;
    };

    // Maps one coordinate through the nine-grid: -1 when the point falls in a piece that is not
    // drawn. Edges keep their size; the centre stretches.
    static int Map(int offset, int size, int near, int far, int sourceSize)
    {
        if (near > 0 && offset < near)
            return offset;
        if (far > 0 && offset >= size - far)
            return sourceSize - (size - offset);
        if (near + far >= sourceSize)
            return -1;
        const int centre = size - near - far;
        return near + static_cast<int>(static_cast<long long>(offset - near) * (sourceSize - near - far) / centre);
    }

    int SourceAlpha(const Layer& layer, int x, int y) const
    {
        const Rect& r = layer.rect;
        if (layer.style == nullptr || x < r.left || x >= r.right || y < r.top || y >= r.bottom)
            return -1;
        const PackageRect bg = UIPackage::RectOf(&layer.style->Find("bg"));
        const PackageRect mg = UIPackage::RectOf(&layer.style->Find("mg"));
        const int sx = Map(x - r.left, r.right - r.left, mg.left, mg.right, bg.right);
        const int sy = Map(y - r.top, r.bottom - r.top, mg.top, mg.bottom, bg.bottom);
        if (sx < 0 || sy < 0)
            return -1;
        return m_sheet.At(bg.left + sx, bg.top + sy)[3];
    }

    const RgbaImage& m_sheet;
    std::vector<Layer> m_layers;
};

TEST_F(SkinPackage, WindowsAreTransparentAtTheirCornersAndOpaqueUnderEveryElement)
{
    ASSERT_TRUE(decoded);
    for (const WindowSize& window : kWindows) {
        SCOPED_TRACE(window.node);
        const WindowAlpha alpha(package, sheet, window);
        const int w = window.width, h = window.height;
        // Rounded corners and a soft shadow need per-pixel alpha: the outermost corners are clear.
        EXPECT_EQ(alpha.At(0, 0), 0);
        EXPECT_EQ(alpha.At(w - 1, h - 1), 0);
        EXPECT_EQ(alpha.At(w / 2, h / 2), 255);

        // Every element the window places, at all four corners of its rectangle.
        std::vector<std::string> elements;
        std::vector<std::string> names;
        const JsonValue* node = Node(window.node);
        node->GetMemberNames(names);
        for (const std::string& name : names)
            elements.push_back(std::string(window.node) + "/" + name);
        for (const char* button : {"Close", "Restore", "Maximize", "Minimize"})
            elements.push_back(std::string(window.node) + "/SysBtns/" + button);
        for (const std::string& path : elements) {
            const JsonValue* element = Node(path);
            if (element == nullptr || !element->IsMember("size"))
                continue;
            const PackageRect size = UIPackage::RectOf(&element->Find("size"));
            if (size.right <= 0 || size.bottom <= 0)
                continue;
            const int left = size.left < 0 ? w + size.left : size.left;
            const int top = size.top < 0 ? h + size.top : size.top;
            const int corners[4][2] = {{left, top},
                                       {left + size.right - 1, top},
                                       {left, top + size.bottom - 1},
                                       {left + size.right - 1, top + size.bottom - 1}};
            for (const auto& corner : corners)
                EXPECT_EQ(alpha.At(corner[0], corner[1]), 255) << path << " at " << corner[0] << "," << corner[1];
        }
    }
}

}  // namespace
