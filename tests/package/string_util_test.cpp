#include "package/string_util.h"

#include <gtest/gtest.h>

namespace {

using Pieces = std::vector<std::string>;

TEST(SplitString, KeepsInnerEmptyPiecesButNoTrailingOne)
{
    struct {
        const char* text;
        const char* separator;
        Pieces pieces;
    } cases[] = {
        {"a/b", "/", {"a", "b"}},
        {"/a", "/", {"", "a"}},
        {"a//b/", "/", {"a", "", "b"}},
        {"", "/", {}},
        {"/", "/", {""}},
        {"MainWindow/InstallButton2", "/", {"MainWindow", "InstallButton2"}},
        {"a::b::", "::", {"a", "b"}},
        {"abc", "", {"abc"}},
    };
    for (const auto& c : cases) {
        Pieces pieces{"kept"};
        SplitString(c.text, c.separator, pieces);
        Pieces expected{"kept"};
        expected.insert(expected.end(), c.pieces.begin(), c.pieces.end());
        EXPECT_EQ(pieces, expected) << c.text;
    }
}

TEST(ShellDeleteFolderGuard, RefusesRootsAndShortPaths)
{
    EXPECT_FALSE(IsDeletableFolderPath(L"C:\\"));
    EXPECT_FALSE(IsDeletableFolderPath(L"  D:  "));
    EXPECT_FALSE(IsDeletableFolderPath(L"\t\r\nC:\\ \n"));
    EXPECT_FALSE(IsDeletableFolderPath(L""));
    EXPECT_FALSE(IsDeletableFolderPath(L"      "));
    EXPECT_TRUE(IsDeletableFolderPath(L"C:\\a"));
    EXPECT_TRUE(IsDeletableFolderPath(L" C:\\ab "));
}

}  // namespace
