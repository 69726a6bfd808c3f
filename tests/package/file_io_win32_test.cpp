#include "package/file_io.h"

#include <gtest/gtest.h>

#include "win32_test_support.h"

namespace {

TEST(WholeFile, WritesAndReadsBackAcrossManyPieces)
{
    ScratchFolder scratch;
    std::string bytes;
    for (int i = 0; i < 100000; ++i)
        bytes += static_cast<char>(i * 7);
    const std::wstring path = scratch / L"\u6570\u636E.bin";
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    std::string back = "stale";
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, bytes);

    // Writing again truncates.
    ASSERT_TRUE(WriteWholeFile(path, "short"));
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "short");
}

TEST(WholeFile, EmptyFileAndFailures)
{
    ScratchFolder scratch;
    std::string bytes = "stale";
    ASSERT_TRUE(WriteWholeFile(scratch / L"empty", ""));
    EXPECT_TRUE(ReadWholeFile(scratch / L"empty", bytes));
    EXPECT_TRUE(bytes.empty());

    bytes = "stale";
    EXPECT_FALSE(ReadWholeFile(scratch / L"missing", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(ReadWholeFile(scratch.Path(), bytes));
    EXPECT_FALSE(WriteWholeFile(scratch / L"no\\such\\folder\\f", "x"));
    EXPECT_FALSE(WriteWholeFile(scratch.Path(), "x"));
}

}  // namespace
