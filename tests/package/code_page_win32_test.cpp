#include <windows.h>

#include <gtest/gtest.h>

#include "package/code_page.h"
#include "package/conversion_pool.h"

// The tests run with the Chinese locale, so the ANSI code page is 936 as on the target systems.

namespace {

TEST(Win32CodePages, AnsiIsGbkUnderTheChineseLocale)
{
    ASSERT_EQ(GetACP(), 936u);
    ConversionPool pool;
    EXPECT_STREQ(WidenText(pool, "Varnholt\xCA\xD6\xBB\xFA", kCodePageAnsi), L"Varnholt\u624B\u673A");
    EXPECT_STREQ(NarrowText(L"\u624B\u673A.exe", pool, kCodePageAnsi), "\xCA\xD6\xBB\xFA.exe");
}

TEST(Win32CodePages, Utf8BothWays)
{
    ConversionPool pool;
    const wchar_t* wide = WidenText(pool, "\xE8\xB5\x84\xE6\xBA\x90", kCodePageUtf8);
    EXPECT_STREQ(wide, L"\u8D44\u6E90");
    EXPECT_STREQ(NarrowText(wide, pool, kCodePageUtf8), "\xE8\xB5\x84\xE6\xBA\x90");
    // Malformed UTF-8 gives replacement characters, never an error.
    EXPECT_STREQ(WidenText(pool, "a\x80z", kCodePageUtf8), L"a\uFFFDz");
}

TEST(Win32CodePages, EmptyResultsAreStatic)
{
    ConversionPool pool;
    EXPECT_EQ(WidenText(pool, nullptr, kCodePageAnsi), WidenText(pool, "", kCodePageUtf8));
    EXPECT_STREQ(NarrowText(L"", pool, kCodePageUtf8), "");
    std::string exact;
    EXPECT_FALSE(WideToCodePageExact(936, L"\uD55C", exact));
    EXPECT_TRUE(WideToCodePageExact(936, L"\u624B", exact));
    EXPECT_EQ(exact, "\xCA\xD6");
}

}  // namespace
