#include "package/own_package.h"

#include <minizip/ioapi.h>
#include <minizip/iowin32.h>
#include <minizip/unzip.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "package/file_io.h"
#include "package/install_manifest.h"
#include "package/json/json_writer.h"
#include "package/package_config.h"
#include "win32_test_support.h"

// These tests read packages that the packing tool made from the real stub and the sample payload
// (the make_test_packages step puts them in the working folder).

namespace {

const wchar_t kProductName[] = L"Varnholt\u624B\u673A\u52A9\u624B\u82F9\u679C\u7248";

std::vector<std::string> ZipEntryNames(const std::wstring& zipPath)
{
    std::vector<std::string> names;
    zlib_filefunc64_def functions;
    fill_win32_filefunc64W(&functions);
    unzFile zip = unzOpen2_64(zipPath.c_str(), &functions);
    if (zip == nullptr)
        return names;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        unz_file_info64 info;
        char name[1024];
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        EXPECT_NE(info.flag & (1u << 11), 0u) << "entry name not marked UTF-8: " << name;
        names.push_back(name);
    }
    unzClose(zip);
    return names;
}

TEST(OwnPackage, ReadsAPackedInstallerAndItsPayload)
{
    JsonValue config;
    std::string bytes;
    uint32_t t = 0;
    std::string_view payload;
    ASSERT_EQ(ReadPackageTrailerFile(L"packed_setup.exe", config, bytes, t, payload), TrailerStatus::kOk)
        << "run the make_test_packages step first";
    EXPECT_EQ(t % 512, 0u) << "the trailer starts where the last section ends";
    EXPECT_EQ(DecideRole(config), PackageRole::kInstaller);
    EXPECT_EQ(DecodeAnsi(config.Find("lastrun")), L"lumetra_ios.exe");
    const JsonValue& desktop = config.Find("shortcut").Find("desktop").Element(0);
    EXPECT_EQ(DecodeAnsi(desktop.Find("name")), kProductName);
    EXPECT_EQ(DecodeAnsi(desktop.Find("file")), L"lumetra_ios.exe");
    EXPECT_EQ(DecodeAnsi(config.Find("shortcut").Find("taskbar").Element(0).Find("name")), kProductName);
    std::wstring licence = DecodeProtocol(config);
    EXPECT_EQ(licence.find(kProductName), 0u);
    EXPECT_NE(licence.find(L"\r\n"), std::wstring::npos);

    JsonValue startup;
    EXPECT_EQ(ReadPackageConfigFile(L"packed_setup.exe", startup), TrailerStatus::kOk);
    EXPECT_EQ(startup, config);

    // The payload opens with minizip, as the install will open it.
    ScratchFolder scratch;
    const std::wstring zipPath = scratch / L"payload.zip";
    ASSERT_TRUE(WriteWholeFile(zipPath, std::string(payload)));
    std::vector<std::string> names = ZipEntryNames(zipPath);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (const char* expected : {"lumetra_ios.exe", "readme.txt", "data/", "data/settings.ini",
                                 "\xE8\xB5\x84\xE6\xBA\x90/", "\xE8\xB5\x84\xE6\xBA\x90/\xE8\xBF\x9E\xE6\x8E\xA5\xE8\xAF\xB4\xE6\x98\x8E.txt"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
}

TEST(OwnPackage, SignedPackageStillReads)
{
    JsonValue signedConfig, plainConfig;
    std::string bytes;
    uint32_t t = 0;
    std::string_view payload;
    ASSERT_EQ(ReadPackageTrailerFile(L"signed_setup.exe", signedConfig, bytes, t, payload), TrailerStatus::kOk);
    std::string_view signedPayload = payload;
    std::string plainBytes;
    ASSERT_EQ(ReadPackageTrailerFile(L"packed_setup.exe", plainConfig, plainBytes, t, payload), TrailerStatus::kOk);
    EXPECT_EQ(signedConfig, plainConfig);
    EXPECT_EQ(signedPayload, payload);
    EXPECT_GT(bytes.size(), plainBytes.size()) << "the signature adds a certificate table";
}

TEST(OwnPackage, UninstallerCopyReadsBackTheManifestAndIsReplaced)
{
    JsonValue config;
    std::string bytes;
    uint32_t t = 0;
    std::string_view payload;
    ASSERT_EQ(ReadPackageTrailerFile(L"packed_setup.exe", config, bytes, t, payload), TrailerStatus::kOk);

    ScratchFolder scratch;
    InstallManifest manifest;
    manifest.SetRoot(scratch.Path());
    manifest.SetShortcuts(config.Find("shortcut"));
    manifest.AddFileEntry(scratch / L"lumetra_ios.exe", scratch.Path());
    manifest.AddFolderEntry(scratch / L"\u8D44\u6E90");

    ASSERT_TRUE(WriteUninstallerCopy(bytes, t, manifest.ToDocument(), scratch.Path()));
    manifest.AddFileEntry(scratch / L"\u8D44\u6E90\\x.txt", scratch / L"\u8D44\u6E90");
    JsonValue second = manifest.ToDocument();
    ASSERT_TRUE(WriteUninstallerCopy(bytes, t, second, scratch.Path()));

    const std::wstring copyPath = scratch / L"unins001.exe";
    JsonValue back;
    ASSERT_EQ(ReadPackageConfigFile(copyPath, back), TrailerStatus::kOk);
    EXPECT_EQ(back, second);
    EXPECT_EQ(DecideRole(back), PackageRole::kUninstaller);
    ManifestContents contents = ReadManifest(back);
    EXPECT_EQ(contents.root, scratch.Path());
    EXPECT_EQ(contents.files.size(), 2u);

    std::string copy;
    ASSERT_TRUE(ReadWholeFile(copyPath, copy));
    EXPECT_EQ(copy.size(), t + 4 + JsonWriter().Write(second).size());
    EXPECT_EQ(copy.compare(0, t, bytes, 0, t), 0);
}

TEST(OwnPackage, TheTestProgramItselfHasNoPackage)
{
    JsonValue config;
    EXPECT_FALSE(ReadPackageConfig(config));
    EXPECT_EQ(ReadPackageConfigFile(L"no-such-file.exe", config), TrailerStatus::kUnreadable);
}

}  // namespace
