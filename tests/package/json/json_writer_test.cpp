#include "package/json/json_writer.h"

#include <gtest/gtest.h>

#include "package/json/json_reader.h"

namespace {

TEST(JsonWriter, WritesCompactlyInKeyOrderWithOneLineFeed)
{
    JsonValue value;
    value.Member("b") = JsonValue(1);
    JsonValue& a = value.Member("a");
    a.Element(0) = JsonValue::MakeBool(true);
    a.Element(2) = JsonValue("x");
    EXPECT_EQ(JsonWriter().Write(value), "{\"a\":[true,null,\"x\"],\"b\":1}\n");
}

TEST(JsonWriter, OrdersKeysByUnsignedBytesWithPrefixesFirst)
{
    JsonValue value;
    for (const char* key : {"\xE6\x89\x8B", "ab", "a", "B", ""})
        value.Member(key) = JsonValue(0);
    EXPECT_EQ(JsonWriter().Write(value), "{\"\":0,\"B\":0,\"a\":0,\"ab\":0,\"\xE6\x89\x8B\":0}\n");
}

TEST(JsonWriter, WritesScalars)
{
    struct {
        JsonValue value;
        const char* text;
    } cases[] = {
        {JsonValue(), "null"},
        {JsonValue(int64_t{-42}), "-42"},
        {JsonValue(INT64_MIN), "-9223372036854775808"},
        {JsonValue::MakeBool(false), "false"},
        {JsonValue::MakeReal(0.1), "0.1"},
        {JsonValue::MakeReal(2.5), "2.5"},
        {JsonValue::MakeReal(3.0), "3"},
        {JsonValue::MakeReal(1e20), "1e+20"},
        {JsonValue(static_cast<const char*>(nullptr)), "\"\""},
        {JsonValue::MakeArray(), "[]"},
        {JsonValue::MakeObject(), "{}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonWriter().Write(c.value), std::string(c.text) + "\n");
}

TEST(JsonWriter, QuotesOnlyWhatTheReaderUnquotes)
{
    struct {
        const char* text;
        const char* quoted;
    } cases[] = {
        {"plain / text", "\"plain / text\""},
        {"line\nfeed", "\"line\\nfeed\""},
        {"\b\t\f\r\"", "\"\\b\\t\\f\\r\\\"\""},
        {"byte \x01 raw", "\"byte \x01 raw\""},
        {"C:\\Program Files\\a", "\"C:\\\\Program Files\\\\a\""},
        {"\\u00e9", "\"\\u00e9\""},
        {"C:\\users\\x", "\"C:\\users\\\\x\""},
        {"trailing\\", "\"trailing\\\\\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonWriter::QuoteString(c.text), c.quoted) << c.text;
}

TEST(JsonWriter, ReadingTheOutputGivesAnEqualDocument)
{
    JsonValue value;
    value.Member("path") = JsonValue("D:\\Program Files (x86)\\lumetra(ios)\\new\\tab");
    value.Member("gbk") = JsonValue("\xCA\xD6\xBB\xFA");
    value.Member("control") = JsonValue("a\x01\x1f\x7f" "b\"\\/");
    value.Member("list").Element(3) = JsonValue(int64_t{1} << 40);
    value.Member("nested").Member("deeper").Element(0).Member("x") = JsonValue::MakeBool(true);
    value.Member("real") = JsonValue::MakeReal(-1.5e-7);

    std::string text = JsonWriter().Write(value);
    JsonValue back;
    ASSERT_TRUE(JsonReader().Parse(text, back)) << text;
    EXPECT_EQ(back, value);
    EXPECT_EQ(JsonWriter().Write(back), text);
}

TEST(JsonWriter, RealsComeBackRoundedToSixDigits)
{
    JsonValue value = JsonValue::MakeReal(3.14159265);
    JsonValue back;
    ASSERT_TRUE(JsonReader().Parse(JsonWriter().Write(value), back));
    EXPECT_EQ(back.GetType(), JsonValue::kReal);
    EXPECT_DOUBLE_EQ(back.AsDouble(), 3.14159);

    ASSERT_TRUE(JsonReader().Parse(JsonWriter().Write(JsonValue::MakeReal(1.0)), back));
    EXPECT_EQ(back.GetType(), JsonValue::kInteger);
}

}  // namespace
