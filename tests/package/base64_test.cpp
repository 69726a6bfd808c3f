#include "package/base64.h"

#include <gtest/gtest.h>

namespace {

TEST(Base64, EncodesGroupsWithPadding)
{
    struct {
        const char* bytes;
        const char* text;
    } cases[] = {
        {"abc", "YWJj"},
        {"ab", "YWI="},
        {"a", "YQ=="},
        {"foobar", "Zm9vYmFy"},
        {"\xff\xfe\xfd", "//79"},
        {"\xe6\x89\x8b\xe6\x9c\xba", "5omL5py6"},
    };
    for (const auto& c : cases) {
        ConversionPool pool;
        const char* encoded = Base64Encode(c.bytes, pool);
        EXPECT_STREQ(encoded, c.text);
        EXPECT_STREQ(Base64Decode(encoded, pool), c.bytes);
    }
}

TEST(Base64, EmptyInputGivesTheStaticEmptyText)
{
    ConversionPool pool;
    EXPECT_STREQ(Base64Encode("", pool), "");
    EXPECT_STREQ(Base64Decode("", pool), "");
    EXPECT_STREQ(Base64Encode(nullptr, pool), "");
    EXPECT_EQ(Base64DecodeBytes(""), "");
}

TEST(Base64, DecodesLenientlyWithoutRejectingAnything)
{
    struct {
        const char* text;
        std::string bytes;
    } cases[] = {
        // A character outside the alphabet counts as all bits set.
        {"Y*Jj", std::string("\x63\xf2\x63", 3)},
        {"YW\nj", std::string("\x61\x6f\xe3", 3)},
        // "=" in an inner group is just another character outside the alphabet.
        {"YQ==YWJj", std::string("\x61\x0f\xff" "abc", 6)},
        // A short last group: missing characters count as zero bits and give their bytes.
        {"YWJjYQ", std::string("abca\0\0", 6)},
        {"Y", std::string("\x60\0\0", 3)},
        {"YWI", std::string("ab\0", 3)},
        {"YQ=", std::string("a", 1)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Base64DecodeBytes(c.text), c.bytes) << c.text;
}

TEST(Base64, RoundTripsEveryByteValue)
{
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    for (size_t cut = 0; cut < 4; ++cut) {
        std::string bytes = all.substr(cut);
        EXPECT_EQ(Base64DecodeBytes(Base64EncodeBytes(bytes)), bytes);
    }
}

}  // namespace
