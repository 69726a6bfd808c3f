#include "package/system_util.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(LoadResourceBytes, CopiesACustomResource)
{
    std::string bytes = "stale";
    ASSERT_TRUE(LoadResourceBytes(GetModuleHandleW(nullptr), L"UIR", 129, bytes));
    EXPECT_EQ(bytes.substr(0, 4), ".uir");
    EXPECT_NE(bytes.find("resource bytes for the loader test\n"), std::string::npos);

    EXPECT_FALSE(LoadResourceBytes(GetModuleHandleW(nullptr), L"UIR", 130, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(LoadResourceBytes(GetModuleHandleW(nullptr), L"NOPE", 129, bytes));
}

TEST(IsVistaOrLater, TrueOnTheTestSystem)
{
    EXPECT_TRUE(IsVistaOrLater());
}

TEST(NewRandom64, GivesDistinctValuesWithBothHalvesInUse)
{
    std::set<uint64_t> seen;
    bool highUsed = false;
    for (int i = 0; i < 64; ++i) {
        uint64_t value = NewRandom64();
        seen.insert(value);
        highUsed |= (value >> 32) != 0;
    }
    EXPECT_EQ(seen.size(), 64u);
    EXPECT_TRUE(highUsed);
}

}  // namespace
