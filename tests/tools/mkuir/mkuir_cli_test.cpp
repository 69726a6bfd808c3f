// mkuir run as the build runs it, on small skin folders the tests write: a good skin becomes a
// package whose rectangles point at the right pixels, and every kind of mistake in a skin is
// refused with one line that names it, leaving no package behind.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "package/json/json_reader.h"
#include "package/package_trailer.h"
#include "tools/mkuir/rgba_image.h"
#include "ui/resource/ui_package.h"

namespace fs = std::filesystem;

namespace {

// A filled rectangle of any size and colour.
const char kBoxSvg[] =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="{{w}}" height="{{h}}">)"
    R"(<rect width="100%" height="100%" fill="{{fill}}"/></svg>)";

// A skin with a family of button states (two of them drawn alike), a cropped piece, a
// foreground piece and a "#RRGGBB" colour.
const char kGoodSkin[] = R"({
  "sheet": {"id": 100, "name": "s.png", "width": 64, "gutter": 2},
  "fonts": [{"id": 101, "name": "Default", "record": {"Weight": 700}}],
  "pieces": {
    "box.normal": {"svg": "box.svg", "vars": {"w": 5, "h": 3, "fill": "#FF0000"}, "mg": [1, 1, 1, 1]},
    "box.lighted": {"like": "box.normal", "vars": {"fill": "#00FF00"}},
    "box.pressed": {"like": "box.normal"},
    "dot": {"svg": "box.svg", "vars": {"w": 2, "h": 2, "fill": "#0000FF"}, "crop": [0, 0, 1, 2]}
  },
  "cfg": {
    "W": {
      "B": {"id": 7, "skin": "box", "Text": {"normal": {"cr": "#102030", "al": 37}}},
      "P": {"bkgnd": {"piece": "dot"}, "frgnd": {"fgPiece": "box.lighted", "al": 16}}
    }
  }
})";

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class SkinFolder {
public:
    SkinFolder()
    {
        char pattern[] = "/tmp/mkuir-test-XXXXXX";
        m_path = mkdtemp(pattern);
        Write("box.svg", kBoxSvg);
    }
    ~SkinFolder() { fs::remove_all(m_path); }

    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(m_path / name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return fs::exists(m_path / name); }
    std::string Path(const std::string& name) const { return (m_path / name).string(); }

    // Runs mkuir with the arguments (paths in them are this folder's; none has spaces).
    RunResult Run(const std::string& args) const
    {
        const std::string command = std::string(QV_MKUIR) + " " + args + " >" + Path("out.txt") + " 2>" +
                                    Path("err.txt");
        const int status = std::system(command.c_str());
        RunResult result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = Read("out.txt");
        result.err = Read("err.txt");
        return result;
    }
    RunResult Build(const std::string& extra = "") const
    {
        return Run(Path("skin.json") + " -o " + Path("skin.uir") + " --rsvg-convert " + QV_RSVG_CONVERT + " " +
                   extra);
    }

private:
    fs::path m_path;
};

const uint8_t kRed[] = {255, 0, 0, 255};
const uint8_t kGreen[] = {0, 255, 0, 255};
const uint8_t kBlue[] = {0, 0, 255, 255};

// True when every pixel of the sheet's rectangle has the colour.
bool Filled(const RgbaImage& sheet, const PackageRect& r, const uint8_t colour[4])
{
    for (int y = r.top; y < r.top + r.bottom; ++y) {
        for (int x = r.left; x < r.left + r.right; ++x) {
            if (!std::equal(colour, colour + 4, sheet.At(x, y)))
                return false;
        }
    }
    return r.right > 0 && r.bottom > 0;
}

TEST(MkuirBuild, FillsEveryRectangleFromWhereItsPieceLanded)
{
    SkinFolder skin;
    skin.Write("skin.json", kGoodSkin);
    const RunResult run = skin.Build("--sheet " + skin.Path("sheet.png"));
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const std::string bytes = skin.Read("skin.uir");
    UIPackage package;
    ASSERT_EQ(package.Load(bytes), PackageStatus::kOk);
    // The JSON text ends with a line feed and a NUL, both counted in its length.
    const uint32_t jsonLength = ReadLittleEndian32(bytes.data() + 4);
    EXPECT_EQ(bytes.substr(8 + jsonLength - 2, 2), std::string("\n\0", 2));

    const std::string* png = package.FindRecord("images", 100);
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(*png, skin.Read("sheet.png"));
    RgbaImage sheet;
    std::string error;
    ASSERT_TRUE(DecodePng(*png, sheet, error)) << error;
    EXPECT_EQ(sheet.width, 64);

    const PackageRect normal = package.GetRect("W/B/normal/bg", nullptr);
    const PackageRect lighted = package.GetRect("W/B/lighted/bg", nullptr);
    const PackageRect pressed = package.GetRect("W/B/pressed/bg", nullptr);
    EXPECT_EQ(package.GetInt("W/B/normal/bi", nullptr), 100);
    EXPECT_TRUE(Filled(sheet, normal, kRed));
    EXPECT_TRUE(Filled(sheet, lighted, kGreen));
    EXPECT_EQ(normal.right, 5);
    EXPECT_EQ(normal.bottom, 3);
    // Drawn alike, stored once.
    EXPECT_EQ(pressed.left, normal.left);
    EXPECT_EQ(pressed.top, normal.top);
    // Pieces keep the gutter between them.
    EXPECT_TRUE(normal.left + normal.right + 2 <= lighted.left || lighted.left + lighted.right + 2 <= normal.left ||
                normal.top + normal.bottom + 2 <= lighted.top || lighted.top + lighted.bottom + 2 <= normal.top);
    // The family gives margins to every state it fills and nothing for states it has no piece for.
    EXPECT_EQ(package.GetRect("W/B/lighted/mg", nullptr).left, 1);
    EXPECT_EQ(package.FindNode("W/B/grayed", nullptr), nullptr);
    EXPECT_EQ(package.FindNode("W/B/skin", nullptr), nullptr);

    const PackageRect dot = package.GetRect("W/P/bkgnd/bg", nullptr);
    EXPECT_EQ(dot.right, 1);
    EXPECT_EQ(dot.bottom, 2);
    EXPECT_TRUE(Filled(sheet, dot, kBlue));
    EXPECT_EQ(package.FindNode("W/P/bkgnd/piece", nullptr), nullptr);
    const PackageRect foreground = package.GetRect("W/P/frgnd/fg", nullptr);
    EXPECT_EQ(package.GetInt("W/P/frgnd/fi", nullptr), 100);
    EXPECT_EQ(foreground.left, lighted.left);
    EXPECT_EQ(foreground.top, lighted.top);
    EXPECT_EQ(package.GetInt("W/P/frgnd/al", nullptr), 16);

    EXPECT_EQ(package.GetInt("W/B/Text/normal/cr", nullptr), 0x302010);
    EXPECT_EQ(package.GetInt("W/B/Text/normal/al", nullptr), 37);
    EXPECT_EQ(package.GetInt("W/B/id", nullptr), 7);
    const std::string* font = package.FindRecord("fonts", 101);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(*font, "{\"Weight\":700}\n");
}

TEST(MkuirBuild, RendersTheIconAtEverySize)
{
    SkinFolder skin;
    std::string text = kGoodSkin;
    text.replace(text.find("\"pieces\""), 0,
                 R"("icon": {"svg": "box.svg", "vars": {"w": 8, "h": 8, "fill": "#FF0000"}, "sizes": [16, 256]},)");
    skin.Write("skin.json", text);
    const RunResult run = skin.Build("--icon " + skin.Path("setup.ico"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string icon = skin.Read("setup.ico");
    ASSERT_GE(icon.size(), 6u + 2 * 16);
    EXPECT_EQ(icon.substr(0, 6), std::string("\0\0\1\0\2\0", 6));
    EXPECT_EQ(static_cast<uint8_t>(icon[6]), 16);   // first entry: 16 x 16
    EXPECT_EQ(static_cast<uint8_t>(icon[22]), 0);   // second entry: 0 stands for 256
    const uint32_t pngAt = ReadLittleEndian32(icon.data() + 22 + 12);
    EXPECT_EQ(icon.substr(pngAt, 4), "\x89PNG");
}

TEST(MkuirCommandLine, HelpDescribesTheCall)
{
    SkinFolder skin;
    const RunResult run = skin.Run("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("mkuir SKIN.json -o PACKAGE.uir"), std::string::npos);
}

struct Refusal {
    const char* name;
    const char* find;     // text of the good skin to replace, or "" to keep it
    const char* replace;  // what it becomes
    const char* args;     // extra arguments
    const char* message;  // part of the one-line error
};

std::ostream& operator<<(std::ostream& out, const Refusal& refusal) { return out << refusal.name; }

class MkuirRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(MkuirRefuses, WithOneLineAndNoPackage)
{
    const Refusal& refusal = GetParam();
    SkinFolder skin;
    std::string text = kGoodSkin;
    if (*refusal.find != '\0') {
        const size_t at = text.find(refusal.find);
        ASSERT_NE(at, std::string::npos) << refusal.find;
        text.replace(at, std::string(refusal.find).size(), refusal.replace);
    }
    skin.Write("skin.json", text);
    skin.Write("broken.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"{{w}}\" height=\"{{h}}\">"
                             "<rect fill=\"{{fill}}\"");

    std::string args = refusal.args;
    for (size_t at; (at = args.find("DIR/")) != std::string::npos;)
        args.replace(at, 4, skin.Path(""));
    const RunResult run = args.rfind("--raw ", 0) == 0 ? skin.Run(args.substr(6)) : skin.Build(args);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("mkuir: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(refusal.message), std::string::npos) << run.err;
    EXPECT_FALSE(skin.Exists("skin.uir"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MkuirRefuses,
    testing::Values(
        Refusal{"SyntaxErrorWithItsPosition", "\"width\": 64,", "\"width\": 64,,", "", "skin.json:2:"},
        Refusal{"NoCfg", "\"cfg\"", "\"config\"", "", "unknown member \"config\""},
        Refusal{"HandTypedRectangle", "{\"piece\": \"dot\"}", "{\"piece\": \"dot\", \"bg\": [0, 0, 1, 1]}", "",
                "cfg/W/P/bkgnd: \"bg\" is filled from a piece"},
        Refusal{"UnknownPiece", "{\"piece\": \"dot\"}", "{\"piece\": \"dots\"}", "", "names no piece (\"dots\")"},
        Refusal{"UnusedPiece", "\"dot\": {", "\"spare\": {\"like\": \"dot\", \"crop\": [1, 0, 1, 2]}, \"dot\": {", "",
                "piece \"spare\" is not used by any style"},
        Refusal{"LikeCycle", "\"box.pressed\": {\"like\": \"box.normal\"}",
                "\"box.pressed\": {\"like\": \"box.pressed\"}", "", "\"like\" goes round in a circle"},
        Refusal{"MissingArt", "\"svg\": \"box.svg\", \"vars\": {\"w\": 2", "\"svg\": \"gone.svg\", \"vars\": {\"w\": 2",
                "", "cannot read art file gone.svg"},
        Refusal{"MissingValue", "\"fill\": \"#0000FF\"", "\"fil\": \"#0000FF\"", "", "no value for {{fill}}"},
        Refusal{"UnusedValue", "\"fill\": \"#0000FF\"", "\"fill\": \"#0000FF\", \"colour\": 1", "",
                "variable \"colour\" is not used by box.svg"},
        Refusal{"CropOutsideTheDrawing", "\"crop\": [0, 0, 1, 2]", "\"crop\": [0, 0, 3, 2]", "",
                "\"crop\" reaches outside the 2 x 2 drawing"},
        Refusal{"MarginsWiderThanThePiece", "\"mg\": [1, 1, 1, 1]", "\"mg\": [3, 0, 3, 0]", "",
                "cfg/W/B/lighted: margins [3, 0, 3, 0] do not fit piece \"box.lighted\" (5 x 3)"},
        Refusal{"UnknownFontField", "{\"Weight\": 700}", "{\"Wieght\": 700}", "", "\"Wieght\" is not a font field"},
        Refusal{"FontFieldNotAnInteger", "{\"Weight\": 700}", "{\"Weight\": \"bold\"}", "",
                "\"Weight\" must be a 32-bit integer"},
        Refusal{"FontIdOfTheSheet", "{\"id\": 101,", "{\"id\": 100,", "", "font 100: the id is used by another record"},
        Refusal{"BrokenSvg", "\"dot\": {\"svg\": \"box.svg\"", "\"dot\": {\"svg\": \"broken.svg\"", "",
                "rsvg-convert failed:"},
        Refusal{"NoRenderer", "", "", "--rsvg-convert DIR/no-such-renderer", "rsvg-convert failed: cannot run"},
        Refusal{"BadColour", "\"#102030\"", "\"#10203\"", "", "a colour is an integer or \"#RRGGBB\""},
        Refusal{"FamilyWithoutPieces", "\"skin\": \"box\"", "\"skin\": \"ghost\"", "",
                "no pieces named \"ghost.normal\""},
        Refusal{"PieceWiderThanTheSheet", "\"w\": 5", "\"w\": 70", "", "is wider than the sheet"},
        Refusal{"IconAskedForButNotDrawn", "", "", "--icon DIR/setup.ico", "has no \"icon\""},
        Refusal{"NoPackageToWrite", "", "", "--raw DIR/skin.json", "no package to write"},
        Refusal{"UnknownOption", "", "", "--bogus", "unknown option --bogus"}));

}  // namespace
