#include "package/json/json_reader.h"

#include <gtest/gtest.h>

#include "package/json/json_writer.h"

namespace {

// Parses text and returns the writer form of the document (without the final line feed), or
// "error: <message> @<offset>".
std::string ReadBack(const std::string& text)
{
    JsonReader reader;
    JsonValue document;
    if (!reader.Parse(text, document))
        return "error: " + reader.GetErrorMessage() + " @" + std::to_string(reader.GetErrorOffset());
    std::string written = JsonWriter().Write(document);
    return written.substr(0, written.size() - 1);
}

struct Case {
    const char* text;
    const char* expected;
};

class JsonReaderCases : public ::testing::TestWithParam<Case> {};

TEST_P(JsonReaderCases, ReadsAsExpected)
{
    EXPECT_EQ(ReadBack(GetParam().text), GetParam().expected) << "input: " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, JsonReaderCases,
    ::testing::Values(
        Case{"", "error: Syntax error: value, object or array expected. @0"},
        Case{"   ", "error: Syntax error: value, object or array expected. @3"},
        Case{"{}", "{}"},
        Case{"[]", "[]"},
        Case{"[ ]", "[]"},
        Case{" [\r\n\t] ", "[]"},
        // No comment is skipped before the "]" of an empty array.
        Case{"[/*c*/]", "error: Syntax error: value, object or array expected. @6"},
        Case{"[/*c*/1]", "[1]"},
        Case{"[1,]", "error: Syntax error: value, object or array expected. @3"},
        Case{"[1 2]", "error: Missing ',' or ']' in array declaration @3"},
        Case{"[1", "error: Missing ',' or ']' in array declaration @2"},
        Case{"{\"a\":1,}", "{\"a\":1}"},
        Case{"{\"a\":1,\"a\":2}", "{\"a\":2}"},
        Case{"{\"a\" 1}", "error: Missing ':' after object member name @5"},
        Case{"{\"a\":1 \"b\":2}", "error: Missing ',' or '}' in object declaration @7"},
        Case{"{1:2}", "error: Missing '}' or object member name @1"},
        Case{"{\"a\":}", "error: Syntax error: value, object or array expected. @5"},
        Case{"{\"a", "error: Missing '}' or object member name @1"},
        Case{"]", "error: Syntax error: value, object or array expected. @0"},
        Case{",", "error: Syntax error: value, object or array expected. @0"},
        Case{"\xE4\xB8\xAD", "error: Syntax error: value, object or array expected. @0"}));

INSTANTIATE_TEST_SUITE_P(
    CommentsAndLiterals, JsonReaderCases,
    ::testing::Values(Case{"/*x*/1", "1"},
                      Case{"// x\n2", "2"},
                      Case{"#/ x\r2", "2"},
                      Case{"# x\r2", "error: Syntax error: value, object or array expected. @2"},
                      Case{"#*x*/4", "4"},
                      Case{";/ x\n5", "5"},
                      // A '/' followed by anything else skips just those two bytes.
                      Case{"/x 3", "3"},
                      Case{"/*never closed", "error: Syntax error: value, object or array expected. @14"},
                      Case{"{/*a*/\"k\"/*b*/:/*c*/1/*d*/}", "{\"k\":1}"},
                      Case{"true1", "true"},
                      Case{"false", "false"},
                      Case{"null", "null"},
                      Case{"nul", "error: Syntax error: value, object or array expected. @0"},
                      Case{"tru", "error: Syntax error: value, object or array expected. @0"},
                      // Anything may follow a complete root value.
                      Case{"{\"mode\":1}\nbinary \x01\x02 tail", "{\"mode\":1}"}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, JsonReaderCases,
    ::testing::Values(Case{"0", "0"},
                      Case{"-", "0"},
                      Case{"-17", "-17"},
                      Case{"9223372036854775807", "9223372036854775807"},
                      Case{"-9223372036854775808", "-9223372036854775808"},
                      // Beyond 64 bits the accumulator wraps.
                      Case{"18446744073709551617", "1"},
                      Case{"12-3", "error: '12-3' is not a number. @0"},
                      Case{"[1+]", "error: '1+' is not a number. @1"},
                      Case{"1e3", "1000"},
                      Case{"2.5", "2.5"},
                      Case{"-0.25", "-0.25"},
                      Case{"1.5.2", "1.5"},
                      Case{"3.0", "3"},
                      Case{"1234567.0", "1.23457e+06"},
                      Case{"-e", "error: '-e' is too large or not a number. @0"},
                      Case{"-.", "error: '-.' is too large or not a number. @0"}));

INSTANTIATE_TEST_SUITE_P(
    Strings, JsonReaderCases,
    ::testing::Values(Case{"\"\"", "\"\""},
                      Case{"\"a\\\"b\"", "\"a\\\"b\""},
                      Case{"\"\\/\"", "\"/\""},
                      Case{"\"\\b\\f\\n\\r\\t\"", "\"\\b\\f\\n\\r\\t\""},
                      // "\u" escapes are carried through and written back unchanged.
                      Case{"\"caf\\u00e9\"", "\"caf\\u00e9\""},
                      Case{"\"C:\\\\Program Files\\\\x\"", "\"C:\\\\Program Files\\\\x\""},
                      Case{"\"\\x\"", "error: Bad escape sequence in string @3"},
                      Case{"\"open", "error: Syntax error: value, object or array expected. @0"},
                      Case{"\"\xCA\xD6\xBB\xFA\"", "\"\xCA\xD6\xBB\xFA\""},
                      Case{"\"\x01\"", "\"\x01\""}));

TEST(JsonReader, KeepsTheWorkDoneBeforeAnError)
{
    JsonReader reader;
    JsonValue document;
    EXPECT_FALSE(reader.Parse("{\"a\":1,\"b\":[true,", document));
    EXPECT_EQ(document.Find("a").AsInt64(), 1);
    EXPECT_EQ(document.Find("b").Size(), 2u);
    EXPECT_EQ(document.Find("b").Element(1).GetType(), JsonValue::kNull);
}

TEST(JsonReader, StopsAtTheFirstZeroByte)
{
    std::string text("[1,2]", 5);
    text[3] = '\0';
    JsonReader reader;
    JsonValue document;
    EXPECT_FALSE(reader.Parse(text, document));
    EXPECT_EQ(reader.GetErrorMessage(), "Syntax error: value, object or array expected.");
    EXPECT_EQ(reader.GetErrorOffset(), 3);
}

TEST(JsonReader, NestingDeeperThanTheCapFailsCleanly)
{
    JsonReader reader;
    JsonValue document;
    std::string atCap(JsonReader::kMaxDepth, '[');
    atCap += std::string(JsonReader::kMaxDepth, ']');
    EXPECT_TRUE(reader.Parse(atCap, document));

    std::string deep(1000000, '[');
    EXPECT_FALSE(reader.Parse(deep, document));
    EXPECT_EQ(reader.GetErrorMessage(), "Nesting too deep.");
    EXPECT_EQ(reader.GetErrorOffset(), JsonReader::kMaxDepth);

    std::string objects;
    for (int i = 0; i < 100000; ++i)
        objects += "{\"a\":";
    EXPECT_FALSE(reader.Parse(objects, document));
}

TEST(JsonReader, LongRealTokensAreRefused)
{
    std::string longReal = "0." + std::string(600, '1');
    EXPECT_EQ(ReadBack(longReal), "error: '" + longReal + "' is too large or not a number. @0");
    std::string justFits = "0." + std::string(510, '1');
    EXPECT_EQ(ReadBack(justFits), "0.111111");
}

}  // namespace
