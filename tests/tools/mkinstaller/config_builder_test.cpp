#include "tools/mkinstaller/config_builder.h"

#include <gtest/gtest.h>

#include "package/base64.h"
#include "package/json/json_writer.h"

namespace {

const std::string kNameUtf8 = "Varnholt\xE6\x89\x8B\xE6\x9C\xBA\xE5\x8A\xA9\xE6\x89\x8B\xE8\x8B\xB9\xE6\x9E\x9C\xE7\x89\x88";
const std::string kNameGbk = "Varnholt\xCA\xD6\xBB\xFA\xD6\xFA\xCA\xD6\xC6\xBB\xB9\xFB\xB0\xE6";

TEST(Licence, LineBreaksBecomeCrLfAndTheMarkIsDropped)
{
    std::string base64, error;
    ASSERT_TRUE(EncodeLicence("\xEF\xBB\xBF" "a\nb\r\nc\rd\n\n", base64, error)) << error;
    EXPECT_EQ(Base64DecodeBytes(base64), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_FALSE(EncodeLicence("bad \xC0\xAF utf-8", base64, error));
    EXPECT_FALSE(EncodeLicence(std::string("zero\0byte", 9), base64, error));
}

TEST(ShortcutEntry, SplitsAtTheFirstEquals)
{
    ShortcutEntry entry;
    std::string error;
    ASSERT_TRUE(ParseShortcutArgument(kNameUtf8 + "=bin/app=1.exe", entry, error));
    EXPECT_EQ(entry.name, kNameUtf8);
    EXPECT_EQ(entry.file, "bin/app=1.exe");
    for (const char* bad : {"noequals", "=file.exe", "name=", "a/b=file.exe", "a:b=file.exe"})
        EXPECT_FALSE(ParseShortcutArgument(bad, entry, error)) << bad;
}

TEST(Config, FlagsMakeTheShippedShapeInTheCodePage)
{
    ConfigOptions options;
    options.lastrun = "lumetra_ios.exe";
    options.licenceText = "\xE8\xAE\xB8\xE5\x8F\xAF\n";
    options.hasLicence = true;
    options.desktop.push_back({kNameUtf8, "lumetra_ios.exe"});
    options.taskbar.push_back({kNameUtf8, "lumetra_ios.exe"});
    JsonValue config;
    std::string error;
    ASSERT_TRUE(BuildConfig(options, config, error)) << error;
    ASSERT_TRUE(ReencodeStrings(config, 936, error)) << error;
    EXPECT_EQ(JsonWriter().Write(config),
              "{\"lastrun\":\"lumetra_ios.exe\",\"mode\":1,\"protocol\":\"6K645Y+vDQo=\",\"shortcut\":{\"desktop\":"
              "[{\"file\":\"lumetra_ios.exe\",\"name\":\"" + kNameGbk + "\"}],\"taskbar\":[{\"file\":\"lumetra_ios.exe\","
              "\"name\":\"" + kNameGbk + "\"}]}}\n");

    JsonValue shown = DecodeStringsForDisplay(config, 936);
    EXPECT_EQ(shown.Find("shortcut").Find("desktop").Element(0).Find("name").AsCString(), kNameUtf8);
}

TEST(Config, RefusesTextTheCodePageCannotHold)
{
    JsonValue config;
    config.Member("mode") = JsonValue(1);
    config.Member("lastrun") = JsonValue("\xED\x95\x9C.exe");  // Hangul
    std::string error;
    EXPECT_FALSE(ReencodeStrings(config, 936, error));
    EXPECT_NE(error.find("936"), std::string::npos) << error;

    JsonValue key;
    key.Member("\xED\x95\x9C") = JsonValue(1);
    EXPECT_FALSE(ReencodeStrings(key, 936, error));
    JsonValue notUtf8("\xCA\xD6");
    EXPECT_FALSE(ReencodeStrings(notUtf8, 936, error));
    JsonValue fine("\xED\x95\x9C");
    EXPECT_TRUE(ReencodeStrings(fine, 949, error)) << error;
}

}  // namespace
