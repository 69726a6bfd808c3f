#include "installer/install_sequence.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fake_system.h"
#include "package/conversion_pool.h"
#include "package/install_manifest.h"
#include "package/json/json_writer.h"
#include "package/package_trailer.h"
#include "package_test_image.h"
#include "zip_maker.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using WStrings = std::vector<std::wstring>;

const std::wstring kName = L"Varnholt\u624B\u673A\u52A9\u624B\u82F9\u679C\u7248";
const std::string kNameUtf8 = "Varnholt\xE6\x89\x8B\xE6\x9C\xBA\xE5\x8A\xA9\xE6\x89\x8B\xE8\x8B\xB9\xE6\x9E\x9C\xE7\x89\x88";

JsonValue Config(bool withLastrun = true)
{
    JsonValue config;
    config.Member("mode") = JsonValue(1);
    if (withLastrun)
        config.Member("lastrun") = JsonValue("lumetra_ios.exe");
    JsonValue entry;
    entry.Member("file") = JsonValue("lumetra_ios.exe");
    entry.Member("name") = JsonValue(kNameUtf8);
    JsonValue second;
    second.Member("file") = JsonValue("data/settings.ini");
    second.Member("name") = JsonValue("Settings");
    JsonValue nameless;
    nameless.Member("file") = JsonValue("readme.txt");
    config.Member("shortcut").Member("desktop").Append(entry);
    config.Member("shortcut").Member("desktop").Append(nameless);
    config.Member("shortcut").Member("desktop").Append(second);
    config.Member("shortcut").Member("taskbar").Append(entry);
    return config;
}

const ZipEntries kPayload = {
    {"data/", ""},
    {"data/settings.ini", "[general]\r\n"},
    {"lumetra_ios.exe", std::string("MZ\x90\0\3", 5) + std::string(70000, 'x')},
    {"readme.txt", "read me"},
    {"\xE8\xB5\x84\xE6\xBA\x90/\xE8\xAF\xB4\xE6\x98\x8E.txt", "\xE8\xAF\xB4\xE6\x98\x8E"},
};

std::string ReadHost(const std::wstring& path)
{
    std::ifstream in(FakeSystem::Host(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class InstallSequence : public ::testing::Test {
protected:
    void Package(const ZipEntries& entries, const JsonValue& config = Config())
    {
        system.image = testing_image::MakeInstaller(JsonWriter().Write(config), MakeZip(entries));
    }
    bool Run()
    {
        options.installDir = system.Root() + L"\\lumetra(ios)";
        return RunInstall(options, surface, system, programPath);
    }
    std::wstring Dir(const std::wstring& tail = L"") const
    {
        return system.Root() + L"\\lumetra(ios)" + (tail.empty() ? L"" : L"\\" + tail);
    }
    JsonValue WrittenManifest()
    {
        std::string copy = ReadHost(Dir(L"unins001.exe"));
        MemoryByteSource source(copy);
        JsonValue manifest;
        EXPECT_EQ(ReadPackageConfigFrom(source, manifest), TrailerStatus::kOk);
        return manifest;
    }

    FakeSystem system;
    RecordingSurface surface;
    InstallOptions options;
    std::wstring programPath;
};

TEST_F(InstallSequence, InstallsEveryFileShortcutAndTheUninstaller)
{
    Package(kPayload);
    ASSERT_TRUE(Run());

    for (const auto& entry : kPayload) {
        if (entry.first.back() == '/')
            continue;
        std::wstring name = Widen(entry.first, kCodePageUtf8);
        for (wchar_t& c : name)
            if (c == L'/')
                c = L'\\';
        EXPECT_EQ(ReadHost(Dir(name)), entry.second) << entry.first;
    }
    EXPECT_EQ(programPath, Dir(L"lumetra_ios.exe"));

    EXPECT_EQ(surface.progress, (std::vector<int>{10, 80, 80, 90}));
    EXPECT_EQ(surface.statuses, (WStrings{L"正在复制文件: 10%", L"正在创建桌面快捷方式: 80%",
                                          L"正在创建任务栏快捷方式: 90%", L"正在创建开始菜单快捷方式: 90%"}));
    EXPECT_EQ(system.calls, (WStrings{
                                L"unpin QL\\" + kName + L".lnk",
                                L"delete quicklaunch " + kName,
                                L"remove startmenu",
                                L"desktop " + kName + L" -> " + Dir(L"lumetra_ios.exe"),
                                L"desktop Settings -> " + Dir(L"data\\settings.ini"),
                                L"quicklaunch " + kName + L" -> " + Dir(L"lumetra_ios.exe"),
                                L"pin QL\\" + kName + L".lnk",
                                L"startmenu " + Dir(L"data\\settings.ini"),
                                L"registry " + Dir(L"unins001.exe"),
                            }));
    EXPECT_EQ(surface.completed, 1);
    EXPECT_EQ(surface.downloads, 0);

    // The uninstaller copy: the image up to T, then the manifest of what was made.
    ManifestContents manifest = ReadManifest(WrittenManifest());
    EXPECT_EQ(manifest.root, Dir());
    // Slashes inside entry names are kept as the archive has them.
    EXPECT_EQ(manifest.files, (WStrings{Dir(L"data/settings.ini"), Dir(L"lumetra_ios.exe"), Dir(L"readme.txt"),
                                        Dir(L"\u8D44\u6E90/\u8BF4\u660E.txt")}));
    // The folder entry, then the folder of the last file after it.
    EXPECT_EQ(manifest.folders, (WStrings{Dir(L"data"), Dir(L"\u8D44\u6E90")}));
    EXPECT_EQ(manifest.shortcut, Config().Find("shortcut"));
    EXPECT_EQ(ReadHost(Dir(L"unins001.exe")).compare(0, 0x400, system.image, 0, 0x400), 0);

    EXPECT_FALSE(system.PathExists(system.TempFolder() + L"\\0123456789ABCDEF.zip")) << "temporary archive left";
}

TEST_F(InstallSequence, MissingComponentStartsTheDownloadInsteadOfCompleting)
{
    Package(kPayload);
    system.componentInstalled = false;
    ASSERT_TRUE(Run());
    EXPECT_EQ(surface.completed, 0);
    EXPECT_EQ(surface.downloads, 1);
}

TEST_F(InstallSequence, AnEmptyArchiveStillWritesTheUninstallerAndEntry)
{
    Package({});
    ASSERT_TRUE(Run());
    EXPECT_TRUE(system.PathExists(Dir(L"unins001.exe")));
    EXPECT_TRUE(system.HasCall(L"registry " + Dir(L"unins001.exe")));
    EXPECT_EQ(WrittenManifest().Find("files").Size(), 0u);
}

TEST_F(InstallSequence, OptionsOffSkipTheirLabelsButNotTheProgress)
{
    Package(kPayload, Config(false));
    options.desktopShortcut = false;
    options.taskbarShortcut = false;
    ASSERT_TRUE(Run());
    EXPECT_EQ(surface.progress, (std::vector<int>{10, 80, 90}));
    EXPECT_EQ(surface.statuses, (WStrings{L"正在复制文件: 10%", L"正在创建开始菜单快捷方式: 90%"}));
    // The Start-menu shortcut follows the last desktop entry even with the desktop option off.
    EXPECT_TRUE(system.HasCall(L"startmenu " + Dir(L"data\\settings.ini")));
    EXPECT_EQ(programPath, Dir() + L"\\") << "no lastrun leaves the folder and a backslash";
}

// Each of these fails the install, rolls back what was written before it, and leaves the old
// shortcuts removed.
TEST_F(InstallSequence, BadEntriesFailAndRollBack)
{
    struct {
        const char* what;
        ZipEntries entries;
    } cases[] = {
        {"white-space name", {{"a.txt", "a"}, {"sub/b.txt", "b"}, {"   ", "x"}}},
        {"parent part", {{"a.txt", "a"}, {"sub/b.txt", "b"}, {"../escaped.txt", "x"}}},
        {"nested parent part", {{"a.txt", "a"}, {"sub/b.txt", "b"}, {"sub/../../escaped.txt", "x"}}},
        {"absolute name", {{"a.txt", "a"}, {"sub/b.txt", "b"}, {"/escaped.txt", "x"}}},
        {"drive letter", {{"a.txt", "a"}, {"sub/b.txt", "b"}, {"C:/escaped.txt", "x"}}},
        {"after nested folders", {{"a/", ""}, {"a/b/", ""}, {"a/b/c/", ""}, {"a/b/c/d.txt", "d"}, {"../x", "x"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSystem fresh;
        RecordingSurface freshSurface;
        fresh.image = testing_image::MakeInstaller(JsonWriter().Write(Config()), MakeZip(c.entries));
        InstallOptions freshOptions;
        freshOptions.installDir = fresh.Root() + L"\\app";
        std::wstring path;
        EXPECT_FALSE(RunInstall(freshOptions, freshSurface, fresh, path));
        // Only the emptied install folder and the temporary folder remain; nothing escaped.
        EXPECT_EQ(fresh.Tree(), (Strings{"app/", "temp/"}));
        EXPECT_TRUE(fresh.HasCall(L"remove startmenu"));
        EXPECT_FALSE(fresh.HasCall(L"registry " + freshOptions.installDir + L"\\unins001.exe"));
    }
}

TEST_F(InstallSequence, ADamagedEntryIsNotInstalledAsIfWhole)
{
    std::string zip = MakeZip({{"a.txt", "first file"}, {"b.txt", "DAMAGED-CONTENT"}});
    size_t at = zip.find("DAMAGED-CONTENT");
    ASSERT_NE(at, std::string::npos);
    zip[at] = 'd';  // the stored check sum no longer matches
    system.image = testing_image::MakeInstaller(JsonWriter().Write(Config()), zip);
    EXPECT_FALSE(Run());
    EXPECT_FALSE(system.PathExists(Dir(L"a.txt")));
    EXPECT_FALSE(system.PathExists(Dir(L"b.txt")));
}

TEST_F(InstallSequence, ALockedTargetIsFreedWhenTheUserAgrees)
{
    Package(kPayload);
    system.lockedOpens.insert(Dir(L"readme.txt"));
    system.runningPrograms.insert(L"readme.txt");
    ASSERT_TRUE(Run());
    ASSERT_EQ(surface.questions.size(), 1u);
    EXPECT_EQ(surface.questions[0], L"关闭占用|检测到程序”readme.txt“正在运行, 您必须结束该程序才能继续安装, 是否继续?");
    EXPECT_TRUE(system.HasCall(L"terminate readme.txt"));
    EXPECT_EQ(system.sleeps, (std::vector<unsigned>{1000}));
    EXPECT_EQ(ReadHost(Dir(L"readme.txt")), "read me");
}

TEST_F(InstallSequence, ALockedTargetFailsWhenTheUserRefusesOrNothingHoldsIt)
{
    for (bool running : {true, false}) {
        FakeSystem fresh;
        RecordingSurface freshSurface;
        freshSurface.answer = false;
        fresh.image = testing_image::MakeInstaller(JsonWriter().Write(Config()), MakeZip(kPayload));
        fresh.lockedOpens.insert(fresh.Root() + L"\\app\\readme.txt");
        if (running)
            fresh.runningPrograms.insert(L"readme.txt");
        InstallOptions freshOptions;
        freshOptions.installDir = fresh.Root() + L"\\app";
        std::wstring path;
        EXPECT_FALSE(RunInstall(freshOptions, freshSurface, fresh, path));
        EXPECT_EQ(freshSurface.questions.size(), running ? 1u : 0u);
        // The install folder itself was noted as the folder of the locked file and goes too.
        EXPECT_EQ(fresh.Tree(), (Strings{"temp/"})) << "rolled back";
    }
}

TEST_F(InstallSequence, ARunningOldProgramIsOfferedToClose)
{
    Package(kPayload);
    system.runningPrograms.insert(L"lumetra.exe");
    surface.answer = false;
    ASSERT_TRUE(Run()) << "the answer never fails the install";
    ASSERT_EQ(surface.questions.size(), 1u);
    EXPECT_NE(surface.questions[0].find(L"lumetra.exe"), std::wstring::npos);
    EXPECT_FALSE(system.HasCall(L"terminate lumetra.exe"));
}

TEST_F(InstallSequence, AnUnreadablePackageWritesNothing)
{
    Package(kPayload);
    system.packageReadable = false;
    EXPECT_FALSE(Run());
    EXPECT_EQ(system.Tree(), (Strings{"temp/"}));
    EXPECT_TRUE(surface.statuses.empty());
}

// The package is read in pieces: a stub and a payload each larger than the copy buffer come
// through whole, in the installed file and in the uninstaller copy.
TEST_F(InstallSequence, ALargePackageIsCopiedInPiecesByteForByte)
{
    std::string noise(1300007, '\0');
    uint32_t state = 12345;
    for (char& c : noise) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    const uint32_t t = 0x180123;
    system.image = testing_image::MakeInstaller(JsonWriter().Write(Config()),
                                                MakeZip({{"lumetra_ios.exe", noise}, {"readme.txt", "r"}}), t);
    ASSERT_TRUE(Run());
    EXPECT_TRUE(ReadHost(Dir(L"lumetra_ios.exe")) == noise);

    const std::string copy = ReadHost(Dir(L"unins001.exe"));
    const std::string tail = UninstallerCopyTail(WrittenManifest());
    ASSERT_EQ(copy.size(), t + tail.size());
    EXPECT_EQ(copy.compare(0, t, system.image, 0, t), 0);
    EXPECT_EQ(copy.compare(t, std::string::npos, tail), 0);
    EXPECT_FALSE(system.PathExists(system.TempFolder() + L"\\0123456789ABCDEF.zip"));
}

// A read that fails part way through the payload leaves neither a partial archive nor files.
TEST_F(InstallSequence, AnImageThatCannotBeReadToTheEndInstallsNothing)
{
    for (uint64_t readable : {uint64_t{0x400 + 2}, uint64_t{0x400 + 600}, uint64_t{0x400 + 2000}}) {
        FakeSystem fresh;
        fresh.image = testing_image::MakeInstaller(JsonWriter().Write(Config()), MakeZip(kPayload));
        fresh.readableBytes = readable;
        RecordingSurface quiet;
        options.installDir = fresh.Root() + L"\\lumetra(ios)";
        EXPECT_FALSE(RunInstall(options, quiet, fresh, programPath)) << readable;
        EXPECT_EQ(fresh.Tree(), (Strings{"temp/"})) << readable;
        EXPECT_EQ(quiet.completed + quiet.downloads, 0) << readable;
    }
}

// Copies that cannot be written whole are not left behind: the temporary archive fails the
// install; a broken uninstaller copy is removed and the install still completes.
TEST_F(InstallSequence, ShortWritesLeaveNoPartialCopies)
{
    Package(kPayload);
    system.fullDiskAfter[system.TempFolder() + L"\\0123456789ABCDEF.zip"] = 100;
    EXPECT_FALSE(Run());
    EXPECT_EQ(system.Tree(), (Strings{"temp/"}));

    FakeSystem fresh;
    fresh.image = system.image;
    options.installDir = fresh.Root() + L"\\lumetra(ios)";
    fresh.fullDiskAfter[options.installDir + L"\\unins001.exe"] = 0x200;
    RecordingSurface quiet;
    EXPECT_TRUE(RunInstall(options, quiet, fresh, programPath));
    EXPECT_FALSE(fresh.PathExists(options.installDir + L"\\unins001.exe"));
    EXPECT_TRUE(fresh.PathExists(options.installDir + L"\\lumetra_ios.exe"));
    EXPECT_EQ(quiet.completed, 1);
}

TEST(EntryNames, ContainedOnlyWhenRelativeWithoutParentParts)
{
    for (const wchar_t* good : {L"a.txt", L"dir/sub/file", L"..hidden", L"a..b/c", L"\u8D44\u6E90/x"})
        EXPECT_TRUE(IsContainedEntryName(good)) << good;
    for (const wchar_t* bad : {L"", L"/a", L"\\a", L"C:a", L"c:/a", L"..", L"a/../b", L"a\\..\\b", L"./a", L"a/ .. /b"})
        EXPECT_FALSE(IsContainedEntryName(bad)) << bad;
}

}  // namespace
