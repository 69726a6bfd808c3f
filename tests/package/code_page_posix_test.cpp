#include <gtest/gtest.h>

#include "package/code_page.h"
#include "package/conversion_pool.h"

// The native build's conversions: UTF-8 for code pages 0 and 65001, iconv for the others.

namespace {

TEST(NativeCodePages, Utf8RoundTripsAndReplacesMalformedSequences)
{
    EXPECT_EQ(Widen("\xE6\x89\x8B\xE6\x9C\xBA", kCodePageUtf8), L"\u624B\u673A");
    EXPECT_EQ(Widen("a\xF0\x9F\x98\x80", kCodePageAnsi), std::wstring(L"a") + wchar_t(0x1F600));
    EXPECT_EQ(Narrow(L"\u624B\u673A", kCodePageUtf8), "\xE6\x89\x8B\xE6\x9C\xBA");
    struct {
        const char* bytes;
        std::wstring text;
    } malformed[] = {
        {"a\x80z", L"a\uFFFDz"},
        {"\xC0\xAF", L"\uFFFD\uFFFD"},
        {"\xE6\x89", L"\uFFFD"},
        {"\xE6\x89z", L"\uFFFDz"},
        {"\xED\xA0\x80", L"\uFFFD"},
        {"\xF5\x80", L"\uFFFD\uFFFD"},
    };
    for (const auto& c : malformed)
        EXPECT_EQ(Widen(c.bytes, kCodePageUtf8), c.text) << c.bytes;
}

TEST(NativeCodePages, Gbk)
{
    EXPECT_EQ(Widen("\xCA\xD6\xBB\xFA", 936), L"\u624B\u673A");
    std::string gbk;
    ASSERT_TRUE(WideToCodePageExact(936, L"Varnholt\u624B\u673A\u52A9\u624B\u82F9\u679C\u7248", gbk));
    EXPECT_EQ(gbk, "Varnholt\xCA\xD6\xBB\xFA\xD6\xFA\xCA\xD6\xC6\xBB\xB9\xFB\xB0\xE6");
    // Hangul has no GBK form: the exact conversion refuses, the lenient one replaces.
    EXPECT_FALSE(WideToCodePageExact(936, L"\uD55C", gbk));
    EXPECT_EQ(Narrow(L"a\uD55Cb", 936), "a?b");
}

TEST(ConversionPool, EmptyResultsAreStaticAndOthersOwned)
{
    ConversionPool pool;
    const wchar_t* a = WidenText(pool, nullptr, kCodePageUtf8);
    const wchar_t* b = WidenText(pool, "", kCodePageUtf8);
    EXPECT_EQ(a, b);
    EXPECT_STREQ(NarrowText(nullptr, pool, kCodePageUtf8), "");
    const wchar_t* c = WidenText(pool, "x", kCodePageUtf8);
    const wchar_t* d = WidenText(pool, "x", kCodePageUtf8);
    EXPECT_NE(c, d);
    EXPECT_STREQ(c, L"x");
}

}  // namespace
