#include "ui/resource/font_record.h"

#include <gtest/gtest.h>

namespace {

TEST(FontRecord, ReadsTheStoredRecords)
{
    FontRecord bold;
    ASSERT_TRUE(ParseFontRecord(
        R"({"ClipPrecision":2,"OutPrecision":3,"PitchAndFamily":34,"Quality":1,"Weight":700})", bold));
    EXPECT_EQ(bold.weight, 700);
    EXPECT_EQ(bold.clipPrecision, 2);
    EXPECT_EQ(bold.outPrecision, 3);
    EXPECT_EQ(bold.pitchAndFamily, 34);
    EXPECT_EQ(bold.quality, 1);
    EXPECT_EQ(bold.height, 0);
    EXPECT_EQ(bold.underline, 0);

    FontRecord chinese;
    ASSERT_TRUE(ParseFontRecord(R"({"Height":-16,"Weight":400,"CharSet":134})", chinese));
    EXPECT_EQ(chinese.height, -16);
    EXPECT_EQ(chinese.weight, 400);
    EXPECT_EQ(chinese.charSet, 134);
    EXPECT_EQ(chinese.width, 0);
    EXPECT_EQ(chinese.italic, 0);
    EXPECT_EQ(chinese.faceName, "");
}

// Members are read as integers whatever their JSON type and cut to their field's width.
TEST(FontRecord, CutsEachMemberToItsFieldWidth)
{
    FontRecord record;
    ASSERT_TRUE(ParseFontRecord(R"({"Weight":4294967696,"Height":-4294967312,"CharSet":390,"Italic":1.9,
                                    "Quality":"3","Underline":true,"StrikeOut":256,"Escapement":[5],
                                    "FaceName":"微软雅黑"})",
                                record));
    EXPECT_EQ(record.weight, 400);      // 2^32 + 400
    EXPECT_EQ(record.height, -16);      // -(2^32) - 16
    EXPECT_EQ(record.charSet, 134);     // 256 + 134
    EXPECT_EQ(record.italic, 1);
    EXPECT_EQ(record.quality, 3);
    EXPECT_EQ(record.underline, 1);
    EXPECT_EQ(record.strikeOut, 0);     // cut to 0: keeps the base font's value
    EXPECT_EQ(record.escapement, 0);
    EXPECT_EQ(record.faceName, "微软雅黑");
}

TEST(FontRecord, IgnoresWhatIsNotAFontDescription)
{
    FontRecord record;
    EXPECT_FALSE(ParseFontRecord("", record));
    EXPECT_FALSE(ParseFontRecord("\x89PNG", record));
    record.weight = 5;
    EXPECT_TRUE(ParseFontRecord("[700]", record));
    EXPECT_EQ(record.weight, 0);
    EXPECT_TRUE(ParseFontRecord(R"({"FaceName":12})", record));
    EXPECT_EQ(record.faceName, "");
}

}  // namespace
