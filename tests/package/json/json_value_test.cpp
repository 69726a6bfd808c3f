#include "package/json/json_value.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(JsonValue, Conversions)
{
    struct {
        JsonValue value;
        int64_t asInt;
        double asDouble;
        bool asBool;
    } cases[] = {
        {JsonValue(), 0, 0.0, false},
        {JsonValue(int64_t{-7}), -7, -7.0, true},
        {JsonValue(0), 0, 0.0, false},
        {JsonValue::MakeBool(true), 1, 1.0, true},
        {JsonValue::MakeReal(-2.9), -2, -2.9, true},
        {JsonValue::MakeReal(0.5), 0, 0.5, true},
        {JsonValue::MakeReal(0.0), 0, 0.0, false},
        // Reals beyond 32 bits saturate rather than wrap unpredictably.
        {JsonValue::MakeReal(1e12), INT32_MAX, 1e12, true},
        {JsonValue::MakeReal(-1e12), INT32_MIN, -1e12, true},
        {JsonValue::MakeReal(NAN), 0, NAN, true},
        {JsonValue("  -12abc"), -12, -12.0, true},
        {JsonValue("\t+8"), 8, 8.0, true},
        {JsonValue("1.5e2"), 1, 150.0, true},
        {JsonValue("x"), 0, 0.0, true},
        {JsonValue(""), 0, 0.0, false},
        {JsonValue(static_cast<const char*>(nullptr)), 0, 0.0, false},
        {JsonValue::MakeArray(), 0, 0.0, false},
        {JsonValue::MakeObject(), 0, 0.0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.GetType());
        EXPECT_EQ(c.value.AsInt64(), c.asInt);
        if (std::isnan(c.asDouble))
            EXPECT_TRUE(std::isnan(c.value.AsDouble()));
        else
            EXPECT_DOUBLE_EQ(c.value.AsDouble(), c.asDouble);
        EXPECT_EQ(c.value.AsBool(), c.asBool);
    }
}

TEST(JsonValue, ContainersCountAndAnswerAsBool)
{
    JsonValue array;
    array.Element(0) = JsonValue(1);
    EXPECT_TRUE(array.AsBool());
    EXPECT_EQ(array.AsInt64(), 0);
    EXPECT_STREQ(array.AsCString(), "");
    JsonValue object;
    object.Member("k");
    EXPECT_TRUE(object.AsBool());
    EXPECT_EQ(object.Size(), 1u);
    EXPECT_EQ(JsonValue(5).Size(), 0u);
}

TEST(JsonValue, ElementGrowsArraysWithNulls)
{
    JsonValue value(3);
    value.Element(4) = JsonValue("e");
    EXPECT_EQ(value.GetType(), JsonValue::kArray);
    EXPECT_EQ(value.Size(), 5u);
    EXPECT_EQ(value.Element(0).GetType(), JsonValue::kNull);
    const JsonValue& constant = value;
    EXPECT_EQ(&constant.Element(99), &JsonValue::SharedNull());
    EXPECT_EQ(value.Size(), 5u);
}

TEST(JsonValue, MemberTurnsAnyValueIntoAnObject)
{
    JsonValue value(7);
    JsonValue& x = value.Member("x");
    EXPECT_EQ(x.GetType(), JsonValue::kNull);
    EXPECT_EQ(value.GetType(), JsonValue::kObject);
    EXPECT_EQ(value.Size(), 1u);
    EXPECT_TRUE(value.IsMember("x"));
    EXPECT_FALSE(value.IsMember("y"));
}

TEST(JsonValue, FindOnAnythingButAnObjectChangesNothing)
{
    JsonValue value(7);
    EXPECT_EQ(&value.Find("x"), &JsonValue::SharedNull());
    EXPECT_EQ(value.GetType(), JsonValue::kInteger);
    EXPECT_FALSE(value.IsMember("x"));
    std::vector<std::string> names;
    EXPECT_FALSE(value.GetMemberNames(names));
    EXPECT_EQ(JsonValue::SharedNull().GetType(), JsonValue::kNull);
}

TEST(JsonValue, CopiesAreDeepAndSelfAssignmentIsHarmless)
{
    JsonValue original;
    original.Member("list").Element(0) = JsonValue("text");
    JsonValue copy = original;
    copy.Member("list").Element(0) = JsonValue("changed");
    EXPECT_STREQ(original.Find("list").Element(0).AsCString(), "text");

    JsonValue& self = original;
    original = self;
    EXPECT_STREQ(original.Find("list").Element(0).AsCString(), "text");

    // Assigning a part of a value to the value itself keeps the part.
    original = original.Find("list");
    EXPECT_EQ(original.GetType(), JsonValue::kArray);
    EXPECT_STREQ(original.Element(0).AsCString(), "text");
}

TEST(JsonValue, ResetMakesNull)
{
    JsonValue value("abc");
    value.Reset();
    EXPECT_EQ(value.GetType(), JsonValue::kNull);
    EXPECT_STREQ(value.AsCString(), "");
}

TEST(JsonValue, MemberNamesComeInByteOrder)
{
    JsonValue value;
    value.Member("zeta");
    value.Member("\xC0");
    value.Member("Alpha");
    std::vector<std::string> names{"kept"};
    ASSERT_TRUE(value.GetMemberNames(names));
    EXPECT_EQ(names, (std::vector<std::string>{"kept", "Alpha", "zeta", "\xC0"}));
}

}  // namespace
