#include "package/install_manifest.h"

#include <gtest/gtest.h>

#include "package/json/json_reader.h"
#include "package/json/json_writer.h"
#include "package/package_config.h"

namespace {

using Paths = std::vector<std::wstring>;

// Each step is a folder entry ("D") or a file entry ("F") of the archive, in archive order.
struct Step {
    char kind;
    const wchar_t* path;
    const wchar_t* folder;
};

Paths FoldersAfter(std::initializer_list<Step> steps)
{
    InstallManifest manifest;
    for (const Step& step : steps) {
        if (step.kind == 'D')
            manifest.AddFolderEntry(step.path);
        else
            manifest.AddFileEntry(step.path, step.folder);
    }
    return manifest.Folders();
}

TEST(InstallManifest, FoldersFollowTheArchiveOrder)
{
    const wchar_t* root = L"C:\\r";
    EXPECT_EQ(FoldersAfter({}), Paths{});
    // Files only: one slot, holding the folder of the last file.
    EXPECT_EQ(FoldersAfter({{'F', L"C:\\r\\a", root}, {'F', L"C:\\r\\s\\b", L"C:\\r\\s"}}), Paths{L"C:\\r\\s"});
    // A folder entry takes the pending slot of the file before it.
    EXPECT_EQ(FoldersAfter({{'F', L"C:\\r\\a", root}, {'D', L"C:\\r\\s", nullptr}, {'D', L"C:\\r\\t", nullptr}}),
              (Paths{L"C:\\r\\s", L"C:\\r\\t"}));
    // A file after the last folder entry adds its folder at the end.
    EXPECT_EQ(FoldersAfter({{'D', L"C:\\r\\s", nullptr}, {'F', L"C:\\r\\s\\a", L"C:\\r\\s"}, {'F', L"C:\\r\\b", root}}),
              (Paths{L"C:\\r\\s", root}));
}

TEST(InstallManifest, DocumentHasItsKeysInOrderAndRoundTrips)
{
    JsonValue shortcut;
    shortcut.Member("desktop").Element(0).Member("name") = JsonValue("\xCA\xD6\xBB\xFA");
    shortcut.Member("desktop").Element(0).Member("file") = JsonValue("lumetra_ios.exe");

    InstallManifest manifest;
    manifest.SetRoot(L"C:\\Program Files (x86)\\lumetra(ios)");
    manifest.SetShortcuts(shortcut);
    manifest.AddFileEntry(L"C:\\Program Files (x86)\\lumetra(ios)\\lumetra_ios.exe", L"C:\\Program Files (x86)\\lumetra(ios)");
    manifest.AddFolderEntry(L"C:\\Program Files (x86)\\lumetra(ios)\\\u8D44\u6E90");
    manifest.AddFileEntry(L"C:\\Program Files (x86)\\lumetra(ios)\\\u8D44\u6E90\\\u8BF4\u660E.txt",
                          L"C:\\Program Files (x86)\\lumetra(ios)\\\u8D44\u6E90");

    JsonValue document = manifest.ToDocument();
    std::string text = JsonWriter().Write(document);
    EXPECT_EQ(text.rfind("{\"files\":[", 0), 0u) << text;
    size_t folders = text.find("\"folders\":"), mode = text.find("\"mode\":0,"), setup = text.find("\"setup\":{\"root\":");
    EXPECT_LT(folders, mode);
    EXPECT_LT(mode, setup);
    EXPECT_NE(text.find("\"shortcut\":{\"desktop\":[{\"file\":\"lumetra_ios.exe\",\"name\":\"\xCA\xD6\xBB\xFA\"}]}}}\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("protocol"), std::string::npos);
    EXPECT_EQ(DecideRole(document), PackageRole::kUninstaller);

    JsonValue back;
    ASSERT_TRUE(JsonReader().Parse(text, back));
    ManifestContents contents = ReadManifest(back);
    EXPECT_EQ(contents.root, L"C:\\Program Files (x86)\\lumetra(ios)");
    EXPECT_EQ(contents.files, manifest.Files());
    EXPECT_EQ(contents.folders, manifest.Folders());
    EXPECT_EQ(contents.shortcut, shortcut);
}

TEST(InstallManifest, MissingValuesReadAsEmpty)
{
    JsonValue document;
    ASSERT_TRUE(JsonReader().Parse("{\"files\":[\"YQ==\",7],\"mode\":0,\"setup\":{}}", document));
    ManifestContents contents = ReadManifest(document);
    EXPECT_EQ(contents.root, L"");
    EXPECT_EQ(contents.files, (Paths{L"a", L""}));
    EXPECT_TRUE(contents.folders.empty());
}

}  // namespace
