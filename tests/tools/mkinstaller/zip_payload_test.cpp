#include "tools/mkinstaller/zip_payload.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

TEST(EntryNames, RefusesWhatCouldEscapeOrNotExistOnWindows)
{
    for (const char* good : {"a.txt", "dir/", "dir/sub/file.bin", "\xE8\xB5\x84\xE6\xBA\x90/x.txt", "a b/c d.txt",
                             "..hidden", "x..y/z", "console.txt", "com10", "lpt"})
        EXPECT_EQ(CheckEntryName(good), "") << good;
    for (const char* bad : {"", "/etc/passwd", "\\win.ini", "C:/x", "c:x", "../x", "a/../../x", "a\\..\\x",
                            "./a", "a//b", "a/b//", "con:x", "CON", "nul.txt", "dir/Com3.log", "lpt1/", "a?.txt", "a|b", "tab\tname", "trail. ", "dot.",
                            "bad\xFFutf8"})
        EXPECT_NE(CheckEntryName(bad), "") << bad;
}

class ZipFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::temp_directory_path() / ("zip-folder-test-" + std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "b" / "inner");
        fs::create_directories(m_root / "\xE8\xB5\x84\xE6\xBA\x90");
        fs::create_directories(m_root / "empty");
        Write("z.txt", std::string(100000, 'z'));
        Write("a.exe", "MZ");
        Write("b/inner/deep.txt", "deep");
        Write("\xE8\xB5\x84\xE6\xBA\x90/\xE8\xAF\xB4\xE6\x98\x8E.txt", "\xE8\xAF\xB4\xE6\x98\x8E");
    }
    void TearDown() override { fs::remove_all(m_root); }
    void Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream(m_root / name, std::ios::binary) << bytes;
    }
    fs::path m_root;
};

TEST_F(ZipFolderTest, PacksSortedUtf8EntriesWithFolders)
{
    std::string zip, error;
    ASSERT_TRUE(ZipFolder(m_root.string(), zip, error)) << error;
    std::vector<ZipEntry> entries;
    ASSERT_TRUE(ListZipEntries(zip, entries, error)) << error;
    std::vector<std::string> names;
    for (const ZipEntry& entry : entries) {
        names.push_back(entry.name);
        EXPECT_TRUE(entry.utf8Flag) << entry.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.exe", "b/", "b/inner/", "b/inner/deep.txt", "empty/", "z.txt",
                                               "\xE8\xB5\x84\xE6\xBA\x90/",
                                               "\xE8\xB5\x84\xE6\xBA\x90/\xE8\xAF\xB4\xE6\x98\x8E.txt"}));
    EXPECT_EQ(entries[5].size, 100000u);
    EXPECT_LT(zip.size(), 5000u) << "entries are deflated";

    // The same folder packs to the same entry order again.
    std::string again;
    ASSERT_TRUE(ZipFolder(m_root.string(), again, error));
    std::vector<ZipEntry> againEntries;
    ASSERT_TRUE(ListZipEntries(again, againEntries, error));
    ASSERT_EQ(againEntries.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(againEntries[i].name, entries[i].name);

    EXPECT_TRUE(HasFileEntry(entries, "A.EXE"));
    EXPECT_TRUE(HasFileEntry(entries, "b\\inner\\deep.txt"));
    EXPECT_FALSE(HasFileEntry(entries, "b/inner"));
    EXPECT_FALSE(HasFileEntry(entries, "missing.exe"));
}

TEST_F(ZipFolderTest, RefusesNamesWindowsCannotCreate)
{
    Write("what?.txt", "x");
    std::string zip, error;
    EXPECT_FALSE(ZipFolder(m_root.string(), zip, error));
    EXPECT_NE(error.find("what?.txt"), std::string::npos) << error;
}

TEST(ListZipEntries, RefusesWhatIsNotAnArchive)
{
    std::vector<ZipEntry> entries;
    std::string error;
    EXPECT_FALSE(ListZipEntries("not a zip at all", entries, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
