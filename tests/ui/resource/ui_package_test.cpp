#include "ui/resource/ui_package.h"

#include <gtest/gtest.h>

#include "package_builder.h"

namespace {

using testing_uir::BuildPackage;
using testing_uir::PutLittleEndian32;

const std::string kDocument = R"({
  "cfg": {
    "MainWindow": {
      "Button": {"id": 1001, "size": [10, -20, 30, 40], "of": [3, 4]},
      "Numbers": {"real": 1005.0, "text": "1005", "flag": true, "wide": 4294967303, "negative": -3,
                  "rect3": [1, 2, 3], "rect5": [1, 2, 3, 4, 5], "mixed": [1, "2", 3.5, 4],
                  "point4": [1, 2, 3, 4], "point1": [7],
                  "white": [255, 255, 255], "cut": [257, -1, 2], "rgba": [1, 2, 3, 4], "rg": [1, 2]}
    }
  },
  "res": {
    "fonts": [{"id": 101, "name": "Default"}, {"id": "103", "name": "Default"}, {"id": 999}],
    "images": [{"id": 100.7, "name": "Quorvil.png"}, {"id": true}, {"id": -1}, {"name": "no id"}],
    "odd": {"id": 100}
  }
}
)";

std::string Sample()
{
    return BuildPackage(kDocument + std::string(1, '\0'), {{100, "png bytes"},
                                                          {101, "font 101"},
                                                          {103, "first 103"},
                                                          {103, "second 103"},
                                                          {1, "one"},
                                                          {4294967295u, "max"},
                                                          {555, "not named"}});
}

std::string Record(const UIPackage& package, const char* group, uint32_t id)
{
    const std::string* bytes = package.FindRecord(group, id);
    return bytes != nullptr ? *bytes : "<none>";
}

TEST(UIPackage, BuildsRecordGroupsFromTheCatalogue)
{
    UIPackage package;
    ASSERT_EQ(package.Load(Sample()), PackageStatus::kOk);
    EXPECT_TRUE(package.HasDocument());

    EXPECT_EQ(Record(package, "fonts", 101), "font 101");
    // The string "103" binds record 103, and of two records 103 the later one wins.
    EXPECT_EQ(Record(package, "fonts", 103), "second 103");
    // Reals are truncated and booleans read as 0 or 1; a missing or negative id names nothing.
    EXPECT_EQ(Record(package, "images", 100), "png bytes");
    EXPECT_EQ(Record(package, "images", 1), "one");
    EXPECT_EQ(Record(package, "images", 0), "<none>");
    EXPECT_EQ(Record(package, "images", 4294967295u), "<none>");
    // Named but absent records, records nobody names, and groups that are not arrays stay empty.
    EXPECT_EQ(Record(package, "fonts", 999), "<none>");
    EXPECT_EQ(Record(package, "fonts", 555), "<none>");
    EXPECT_EQ(Record(package, "images", 555), "<none>");
    EXPECT_EQ(package.Groups().at("odd").size(), 0u);
    EXPECT_EQ(package.Groups().size(), 3u);

    std::string out = "stale";
    EXPECT_TRUE(package.GetResourceBytes("fonts", 101, out));
    EXPECT_EQ(out, "font 101");
    EXPECT_FALSE(package.GetResourceBytes("fonts", 555, out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(package.GetResourceBytes("nothing", 101, out));
    EXPECT_FALSE(package.GetResourceBytes(nullptr, 101, out));
}

// A record named by several groups is held once, so a catalogue repeating one large record cannot
// multiply the memory it takes.
TEST(UIPackage, GroupsShareTheBytesOfOneRecord)
{
    const std::string json = R"({"res":{"a":[{"id":7},{"id":7}],"b":[{"id":7}],"c":[{"id":"7"}]}})";
    UIPackage package;
    ASSERT_EQ(package.Load(BuildPackage(json, {{7, std::string(1 << 20, 'x')}})), PackageStatus::kOk);
    const std::string* a = package.FindRecord("a", 7);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(package.FindRecord("b", 7), a);
    EXPECT_EQ(package.FindRecord("c", 7), a);
}

TEST(UIPackage, RejectsAWrongMagicInAnyByteAndKeepsTheDocument)
{
    UIPackage package;
    ASSERT_EQ(package.Load(Sample()), PackageStatus::kOk);
    for (size_t i = 0; i < 4; ++i) {
        std::string bytes = BuildPackage(R"({"cfg":{"Other":{"id":1}}})", {});
        bytes[i] = static_cast<char>(bytes[i] ^ 0x20);
        EXPECT_EQ(package.Load(bytes), PackageStatus::kBadMagic) << "byte " << i;
    }
    for (const std::string& shortBytes : {std::string(), std::string(".ui"), std::string(".UIR")})
        EXPECT_EQ(package.Load(shortBytes), PackageStatus::kBadMagic);
    EXPECT_EQ(package.GetInt("MainWindow/Button/id", nullptr), 1001);
    EXPECT_EQ(package.FindNode("Other", nullptr), nullptr);
    EXPECT_EQ(Record(package, "fonts", 101), "font 101");
}

// Every length the package states is checked against the bytes it has, in 64 bits; a package that
// runs past its end is refused as a whole and the earlier document and groups stay.
TEST(UIPackage, RefusesLengthsRunningPastTheEnd)
{
    const std::string json = R"({"cfg":{"New":{"id":2}},"res":{"images":[{"id":5}]}})";
    const std::string good = BuildPackage(json, {{5, "abcd"}, {6, "ef"}});
    const size_t jAt = 4, nAt = 8 + json.size();
    const size_t firstSizeAt = nAt + 8, secondSizeAt = firstSizeAt + 4 + 4 + 4;
    const uint32_t size = static_cast<uint32_t>(good.size());
    struct Case {
        const char* what;
        size_t cut;  // bytes removed from the end
        size_t at;   // where value goes; 0 for none
        uint32_t value;
        PackageStatus status;
    } cases[] = {
        {"nothing after the magic", good.size() - 4, 0, 0, PackageStatus::kJsonOutOfBounds},
        {"J cut short", good.size() - 6, 0, 0, PackageStatus::kJsonOutOfBounds},
        {"J = size", 0, jAt, size, PackageStatus::kJsonOutOfBounds},
        {"J leaves no room for N", 0, jAt, size - 10, PackageStatus::kJsonOutOfBounds},
        {"J near 4 GiB", 0, jAt, 0xFFFFFFF8u, PackageStatus::kJsonOutOfBounds},
        {"N one too many", 0, nAt, 3, PackageStatus::kRecordOutOfBounds},
        {"N near 4 GiB", 0, nAt, 0xFFFFFFFFu, PackageStatus::kRecordOutOfBounds},
        {"first record one byte too long", 0, firstSizeAt, 4 + 8 + 2 + 1, PackageStatus::kRecordOutOfBounds},
        {"last record one byte too long", 0, secondSizeAt, 3, PackageStatus::kRecordOutOfBounds},
        {"record size near 4 GiB", 0, firstSizeAt, 0xFFFFFFFFu, PackageStatus::kRecordOutOfBounds},
        {"last record cut short", 1, 0, 0, PackageStatus::kRecordOutOfBounds},
        {"last record head cut short", 3 + 2, 0, 0, PackageStatus::kRecordOutOfBounds},
    };
    for (const Case& c : cases) {
        UIPackage package;
        ASSERT_EQ(package.Load(Sample()), PackageStatus::kOk);
        std::string bytes = good.substr(0, good.size() - c.cut);
        if (c.at != 0)
            PutLittleEndian32(bytes, c.at, c.value);
        EXPECT_EQ(package.Load(bytes), c.status) << c.what;
        EXPECT_EQ(package.GetInt("MainWindow/Button/id", nullptr), 1001) << c.what;
        EXPECT_EQ(package.FindNode("New", nullptr), nullptr) << c.what;
        EXPECT_EQ(Record(package, "fonts", 101), "font 101") << c.what;
    }

    // Exactly at the end is fine: the first record may take every byte up to the next one, and
    // bytes after the last record are ignored.
    std::string exact = good;
    PutLittleEndian32(exact, firstSizeAt, 4 + 8 + 2);
    PutLittleEndian32(exact, nAt, 1);
    UIPackage package;
    EXPECT_EQ(package.Load(exact), PackageStatus::kOk);
    EXPECT_EQ(Record(package, "images", 5), std::string("abcd") + exact.substr(exact.size() - 10));
    EXPECT_EQ(package.Load(good + "trailing"), PackageStatus::kOk);
    EXPECT_EQ(package.GetInt("New/id", nullptr), 2);
}

// A JSON text the reader gives up on still replaces the document with what it had read.
TEST(UIPackage, KeepsWhatTheReaderBuiltFromBrokenJson)
{
    UIPackage package;
    ASSERT_EQ(package.Load(Sample()), PackageStatus::kOk);
    ASSERT_EQ(package.Load(BuildPackage("not json", {})), PackageStatus::kOk);
    EXPECT_EQ(package.FindNode("MainWindow", nullptr), nullptr);
    EXPECT_EQ(package.FindNode("", nullptr), nullptr);
    EXPECT_EQ(package.Groups().size(), 0u);
}

TEST(UIPackage, FindNodeSkipsEmptyPathPieces)
{
    UIPackage package;
    EXPECT_EQ(package.FindNode("", nullptr), nullptr);
    EXPECT_EQ(package.FindNode("MainWindow", nullptr), nullptr);
    ASSERT_EQ(package.Load(Sample()), PackageStatus::kOk);

    const JsonValue* button = package.FindNode("MainWindow/Button", nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->Find("id").AsInt64(), 1001);
    for (const char* path : {"/MainWindow/Button", "MainWindow/Button/", "MainWindow//Button", "//MainWindow///Button//"})
        EXPECT_EQ(package.FindNode(path, nullptr), button) << path;

    const JsonValue* cfg = &package.Document().Find("cfg");
    EXPECT_EQ(package.FindNode("", nullptr), cfg);
    EXPECT_EQ(package.FindNode("///", nullptr), cfg);
    const JsonValue* window = package.FindNode("MainWindow", nullptr);
    EXPECT_EQ(package.FindNode("Button", window), button);
    EXPECT_EQ(package.FindNode("", button), button);
    EXPECT_EQ(package.GetInt("/id/", button), 1001);

    for (const char* missing : {"Nothing", "MainWindow/Nothing", "MainWindow/Button/id/deeper", "mainwindow/Button"})
        EXPECT_EQ(package.FindNode(missing, nullptr), nullptr) << missing;
    // Paths start below "cfg", never at the document's root.
    EXPECT_EQ(package.FindNode("res", nullptr), nullptr);
}

TEST(UIPackage, TypedGettersReadOnlyTheirOwnShapes)
{
    UIPackage package;
    ASSERT_EQ(package.Load(Sample()), PackageStatus::kOk);
    const JsonValue* n = package.FindNode("MainWindow/Numbers", nullptr);
    ASSERT_NE(n, nullptr);

    struct IntCase {
        const char* path;
        int32_t expected;
    } ints[] = {
        {"/MainWindow/Button/id", 1001},
        {"real", 0},      // 1005.0
        {"text", 0},      // "1005"
        {"flag", 0},
        {"wide", 7},      // 4294967303: the low 32 bits
        {"negative", -3},
        {"rect3", 0},
        {"missing", 0},
    };
    for (const IntCase& c : ints)
        EXPECT_EQ(package.GetInt(c.path, c.path[0] == '/' ? nullptr : n), c.expected) << c.path;

    auto rect = [&](const char* path) {
        const PackageRect r = package.GetRect(path, n);
        return std::vector<int32_t>{r.left, r.top, r.right, r.bottom};
    };
    const PackageRect size = package.GetRect("MainWindow/Button/size", nullptr);
    EXPECT_EQ(std::vector<int32_t>({size.left, size.top, size.right, size.bottom}),
              std::vector<int32_t>({10, -20, 30, 40}));
    EXPECT_EQ(rect("rect3"), std::vector<int32_t>({0, 0, 0, 0}));
    EXPECT_EQ(rect("rect5"), std::vector<int32_t>({0, 0, 0, 0}));
    EXPECT_EQ(rect("real"), std::vector<int32_t>({0, 0, 0, 0}));
    EXPECT_EQ(rect("missing"), std::vector<int32_t>({0, 0, 0, 0}));
    // Elements are read like GetInt reads a node: a string or real element gives 0.
    EXPECT_EQ(rect("mixed"), std::vector<int32_t>({1, 0, 0, 4}));

    const PackagePoint of = package.GetPoint("MainWindow/Button/of", nullptr);
    EXPECT_EQ(of.x, 3);
    EXPECT_EQ(of.y, 4);
    for (const char* path : {"point4", "point1", "rect3", "missing"}) {
        const PackagePoint p = package.GetPoint(path, n);
        EXPECT_EQ(p.x, 0) << path;
        EXPECT_EQ(p.y, 0) << path;
    }

    EXPECT_EQ(package.GetColor("white", n), 0xFFFFFFu);
    EXPECT_EQ(package.GetColor("cut", n), 0x02FF01u);  // each element's low 8 bits
    EXPECT_EQ(package.GetColor("rgba", n), 0u);
    EXPECT_EQ(package.GetColor("rg", n), 0u);
    EXPECT_EQ(package.GetColor("missing", n), 0u);
}

}  // namespace
