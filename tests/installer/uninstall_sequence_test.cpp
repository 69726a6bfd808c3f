#include "installer/uninstall_sequence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fake_system.h"
#include "installer/install_sequence.h"
#include "package/json/json_reader.h"
#include "package/json/json_writer.h"
#include "package/package_config.h"
#include "package/package_trailer.h"
#include "package_test_image.h"
#include "zip_maker.h"

namespace {

using Strings = std::vector<std::string>;

// Folders nest, parents listed first as archives list them.
const ZipEntries kPayload = {
    {"data/", ""},
    {"data/skins/", ""},
    {"data/skins/dark/", ""},
    {"data/skins/dark/colours.ini", "dark"},
    {"data/settings.ini", "ini"},
    {"lumetra_ios.exe", "MZ"},
    {"\xE8\xB5\x84\xE6\xBA\x90/\xE8\xAF\xB4\xE6\x98\x8E.txt", "x"},
};

JsonValue Config()
{
    JsonValue config;
    config.Member("mode") = JsonValue(1);
    config.Member("lastrun") = JsonValue("lumetra_ios.exe");
    JsonValue entry;
    entry.Member("file") = JsonValue("lumetra_ios.exe");
    entry.Member("name") = JsonValue("App");
    JsonValue nameless;
    nameless.Member("file") = JsonValue("lumetra_ios.exe");
    config.Member("shortcut").Member("desktop").Append(entry);
    config.Member("shortcut").Member("desktop").Append(nameless);
    config.Member("shortcut").Member("taskbar").Append(entry);
    config.Member("shortcut").Member("taskbar").Append(nameless);
    return config;
}

// Installs the payload for real, then gives the system the manifest the uninstaller would carry.
class UninstallSequence : public ::testing::Test {
protected:
    void SetUp() override
    {
        system.image = testing_image::MakeInstaller(JsonWriter().Write(Config()), MakeZip(kPayload));
        InstallOptions options;
        options.installDir = system.Root() + L"\\app";
        std::wstring programPath;
        ASSERT_TRUE(RunInstall(options, surface, system, programPath));
        std::ifstream in(FakeSystem::Host(options.installDir + L"\\unins001.exe"), std::ios::binary);
        std::string copy((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        MemoryByteSource source(copy);
        ASSERT_EQ(ReadPackageConfigFrom(source, system.ownConfig), TrailerStatus::kOk);
        system.calls.clear();
    }

    FakeSystem system;
    RecordingSurface surface;
};

TEST_F(UninstallSequence, RemovesEverythingTheInstallMade)
{
    ASSERT_TRUE(RunUninstall(surface, system));
    EXPECT_EQ(system.Tree(), (Strings{"temp/"}));
    EXPECT_EQ(system.calls, (std::vector<std::wstring>{L"delete desktop App", L"unpin QL\\App.lnk",
                                                       L"delete quicklaunch App", L"remove startmenu",
                                                       L"registry delete"}));
    EXPECT_EQ(surface.statuses.back(), L"正在删除快捷方式: 90%");
    EXPECT_EQ(surface.handovers, 1);
}

TEST_F(UninstallSequence, ForeignFilesKeepTheInstallFolder)
{
    system.WriteWholeFile(system.Root() + L"\\app\\user-notes.txt", "mine");
    ASSERT_TRUE(RunUninstall(surface, system));
    EXPECT_EQ(system.Tree(), (Strings{"app/", "app/user-notes.txt", "temp/"}));
}

TEST_F(UninstallSequence, AHeldFileIsFreedAndDeletedOnTheSecondAttempt)
{
    system.lockedDeletes.insert(system.Root() + L"\\app\\lumetra_ios.exe");
    system.vista = false;
    ASSERT_TRUE(RunUninstall(surface, system));
    EXPECT_TRUE(system.HasCall(L"terminate lumetra_ios.exe"));
    EXPECT_EQ(system.sleeps, (std::vector<unsigned>{1000}));
    EXPECT_FALSE(system.HasCall(L"unpin QL\\App.lnk")) << "nothing is unpinned before Vista";
    EXPECT_EQ(system.Tree(), (Strings{"temp/"}));
}

TEST_F(UninstallSequence, AnEmptyRootFailsBeforeDeletingAnything)
{
    system.ownConfig.Member("setup").Member("root") = JsonValue("");
    EXPECT_FALSE(RunUninstall(surface, system));
    EXPECT_TRUE(system.calls.empty());
    EXPECT_EQ(surface.handovers, 0);
    EXPECT_NE(system.Tree().size(), 1u);
    system.packageReadable = false;
    EXPECT_FALSE(RunUninstall(surface, system));
}

TEST_F(UninstallSequence, NeverDeletesOutsideTheInstallFolder)
{
    const std::wstring outside = system.Root() + L"\\precious.txt";
    system.WriteWholeFile(outside, "keep");
    JsonValue& files = system.ownConfig.Member("files");
    files.Append(JsonValue(EncodeBase64Utf8(outside)));
    files.Append(JsonValue(EncodeBase64Utf8(system.Root() + L"\\app\\..\\precious.txt")));
    ASSERT_TRUE(RunUninstall(surface, system));
    EXPECT_EQ(system.Tree(), (Strings{"precious.txt", "temp/"}));
}

}  // namespace
