#include "package/package_config.h"

#include <gtest/gtest.h>

#include "package/json/json_reader.h"

namespace {

JsonValue Parse(const char* text)
{
    JsonValue document;
    EXPECT_TRUE(JsonReader().Parse(text, document)) << text;
    return document;
}

TEST(PackageRole, ModeOfAnyTypeDecides)
{
    struct {
        const char* config;
        PackageRole role;
    } cases[] = {
        {"{\"mode\":1}", PackageRole::kInstaller},
        {"{\"mode\":2}", PackageRole::kInstaller},
        {"{\"mode\":true}", PackageRole::kInstaller},
        {"{\"mode\":\"1\"}", PackageRole::kInstaller},
        {"{\"mode\":-1}", PackageRole::kInstaller},
        {"{\"mode\":null}", PackageRole::kUninstaller},
        {"{\"mode\":false}", PackageRole::kUninstaller},
        {"{\"mode\":0}", PackageRole::kUninstaller},
        {"{\"mode\":\"0\"}", PackageRole::kUninstaller},
        {"{\"mode\":0.5}", PackageRole::kUninstaller},
        {"{\"mode\":[1]}", PackageRole::kUninstaller},
        // Only the low 32 bits count.
        {"{\"mode\":4294967296}", PackageRole::kUninstaller},
        {"{\"mode\":4294967297}", PackageRole::kInstaller},
        {"{\"lastrun\":\"a.exe\"}", PackageRole::kRejected},
        {"[{\"mode\":1}]", PackageRole::kRejected},
        {"1", PackageRole::kRejected},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideRole(Parse(c.config)), c.role) << c.config;
}

TEST(PackageConfig, DecodesTheLicenceFromBase64Utf8)
{
    // "许可协议\r\n" in UTF-8, base64-encoded.
    JsonValue config = Parse("{\"mode\":1,\"protocol\":\"6K645Y+v5Y2P6K6uDQo=\"}");
    EXPECT_EQ(DecodeProtocol(config), L"\u8BB8\u53EF\u534F\u8BAE\r\n");
    EXPECT_EQ(DecodeProtocol(Parse("{\"mode\":1}")), L"");
    EXPECT_EQ(DecodeProtocol(Parse("{\"mode\":1,\"protocol\":7}")), L"");
}

TEST(PackageConfig, PathsRoundTripThroughBase64Utf8)
{
    const std::wstring path = L"C:\\Program Files (x86)\\lumetra(ios)\\\u8D44\u6E90\\a.txt";
    JsonValue stored(EncodeBase64Utf8(path));
    EXPECT_EQ(DecodeBase64Utf8(stored), path);
    EXPECT_EQ(DecodeBase64Utf8(JsonValue()), L"");
    EXPECT_EQ(DecodeBase64Utf8(JsonValue(12)), L"");
    EXPECT_EQ(EncodeBase64Utf8(L""), "");
}

TEST(PackageConfig, AnsiValuesNeedAString)
{
    EXPECT_EQ(DecodeAnsi(JsonValue("lumetra_ios.exe")), L"lumetra_ios.exe");
    EXPECT_EQ(DecodeAnsi(JsonValue()), L"");
    EXPECT_EQ(DecodeAnsi(JsonValue::MakeBool(true)), L"");
}

}  // namespace
