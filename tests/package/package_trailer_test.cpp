#include "package/package_trailer.h"

#include <gtest/gtest.h>

#include "package/json/json_writer.h"
#include "package_test_image.h"

namespace {

using testing_image::MakeInstaller;
using testing_image::MakeStub;
using testing_image::PutLittleEndian32;

constexpr uint32_t kT = 0x400;
const std::string kConfig = "{\"lastrun\":\"app.exe\",\"mode\":1}\n";
const std::string kPayload = "PK\x03\x04 pretend archive";

TrailerStatus ReadConfig(const std::string& bytes, JsonValue& document)
{
    MemoryByteSource source(bytes);
    return ReadPackageConfigFrom(source, document);
}

TEST(PackageTrailer, ReadsConfigurationAndPayload)
{
    std::string bytes = MakeInstaller(kConfig, kPayload) + std::string(5, '\0');
    JsonValue document;
    PackageTrailer trailer;
    std::string_view payload;
    ASSERT_EQ(ParseInstallerImage(bytes, document, trailer, payload), TrailerStatus::kOk);
    EXPECT_EQ(trailer.offset, kT);
    EXPECT_EQ(trailer.configLength, kConfig.size());
    EXPECT_EQ(trailer.payloadLength, kPayload.size());
    EXPECT_EQ(payload, kPayload);
    EXPECT_STREQ(document.Find("lastrun").AsCString(), "app.exe");

    JsonValue config;
    EXPECT_EQ(ReadConfig(bytes, config), TrailerStatus::kOk);
    EXPECT_EQ(config, document);
}

// Every bound, at its edge and one byte past it. Sizes near 4 GiB must fail the bound rather
// than wrap around past it.
TEST(PackageTrailer, ChecksEveryBoundIn64Bits)
{
    const std::string good = MakeInstaller(kConfig, kPayload);
    const uint32_t size = static_cast<uint32_t>(good.size());
    const size_t lAt = kT, zAt = kT + 4 + kConfig.size();
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
        TrailerStatus installer;  // all three bounds
        TrailerStatus config;     // bounds 1 and 2
    } cases[] = {
        {"T = 0", testing_image::kPeOffset - 4, 0, TrailerStatus::kOffsetOutOfBounds, TrailerStatus::kOffsetOutOfBounds},
        {"T = size", testing_image::kPeOffset - 4, size, TrailerStatus::kOffsetOutOfBounds,
         TrailerStatus::kOffsetOutOfBounds},
        {"T > size", testing_image::kPeOffset - 4, 0xFFFFFFFF, TrailerStatus::kOffsetOutOfBounds,
         TrailerStatus::kOffsetOutOfBounds},
        {"T + 4 + L = size + 1", lAt, size - kT - 4 + 1, TrailerStatus::kConfigOutOfBounds,
         TrailerStatus::kConfigOutOfBounds},
        {"L near 4 GiB", lAt, 0xFFFFFFFF, TrailerStatus::kConfigOutOfBounds, TrailerStatus::kConfigOutOfBounds},
        {"L wraps T + 4 + L to zero", lAt, 0xFFFFFFFF - kT - 3, TrailerStatus::kConfigOutOfBounds,
         TrailerStatus::kConfigOutOfBounds},
        {"Z one byte too long", zAt, static_cast<uint32_t>(kPayload.size() + 1), TrailerStatus::kPayloadOutOfBounds,
         TrailerStatus::kOk},
        {"Z near 4 GiB", zAt, 0xFFFFFFF0, TrailerStatus::kPayloadOutOfBounds, TrailerStatus::kOk},
        {"Z = 0", zAt, 0, TrailerStatus::kOk, TrailerStatus::kOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string bytes = good;
        PutLittleEndian32(bytes, c.at, c.value);
        JsonValue document;
        PackageTrailer trailer;
        std::string_view payload;
        EXPECT_EQ(ParseInstallerImage(bytes, document, trailer, payload), c.installer);
        JsonValue config;
        EXPECT_EQ(ReadConfig(bytes, config), c.config);
    }
}

TEST(PackageTrailer, ConfigurationMayEndExactlyAtTheEndOfTheFile)
{
    std::string bytes = MakeStub(kT, kT);
    AppendLittleEndian32(bytes, static_cast<uint32_t>(kConfig.size()));
    bytes += kConfig;  // T + 4 + L = size, no payload length at all
    JsonValue config;
    EXPECT_EQ(ReadConfig(bytes, config), TrailerStatus::kOk);
    JsonValue document;
    PackageTrailer trailer;
    std::string_view payload;
    EXPECT_EQ(ParseInstallerImage(bytes, document, trailer, payload), TrailerStatus::kPayloadOutOfBounds);
}

TEST(PackageTrailer, TextAfterTheClosingBraceIsIgnored)
{
    std::string bytes = MakeInstaller("{\"mode\":1}\n\x1a garbage \x01\x02", kPayload);
    JsonValue config;
    ASSERT_EQ(ReadConfig(bytes, config), TrailerStatus::kOk);
    EXPECT_EQ(config.Find("mode").AsInt64(), 1);
}

TEST(PackageTrailer, RejectsTruncatedHeadersAndBrokenText)
{
    JsonValue document;
    EXPECT_EQ(ReadConfig("MZ", document), TrailerStatus::kNoHeader);
    std::string noRoom = MakeStub(kT, kT);
    PutLittleEndian32(noRoom, kPeOffsetField, 2);  // e_lfanew too small to have T before it
    EXPECT_EQ(ReadConfig(noRoom, document), TrailerStatus::kNoHeader);
    std::string beyond = MakeStub(kT, kT);
    PutLittleEndian32(beyond, kPeOffsetField, 0xFFFFFFF0);
    EXPECT_EQ(ReadConfig(beyond, document), TrailerStatus::kNoHeader);
    EXPECT_EQ(ReadConfig(MakeInstaller("{\"mode\":", kPayload), document), TrailerStatus::kConfigUnparsable);
    EXPECT_EQ(ReadConfig(MakeInstaller("", kPayload), document), TrailerStatus::kConfigUnparsable);
}

TEST(UninstallerCopy, KeepsTheImageAndReadsBackTheManifest)
{
    std::string installer = MakeInstaller(kConfig, kPayload) + std::string(3, '\0');
    JsonValue manifest;
    manifest.Member("mode") = JsonValue(0);
    manifest.Member("files").Element(0) = JsonValue("QzpcYQ==");
    manifest.Member("setup").Member("root") = JsonValue("QzpcYQ==");

    std::string copy = BuildUninstallerCopy(installer, kT, manifest);
    std::string text = JsonWriter().Write(manifest);
    ASSERT_EQ(copy.size(), kT + 4 + text.size());
    EXPECT_EQ(copy.compare(0, kT, installer, 0, kT), 0);
    EXPECT_EQ(copy.substr(kT + 4), text);

    JsonValue back;
    ASSERT_EQ(ReadConfig(copy, back), TrailerStatus::kOk);
    EXPECT_EQ(back, manifest);

    EXPECT_EQ(BuildUninstallerCopy(installer, 0, manifest), "");
    EXPECT_EQ(BuildUninstallerCopy(installer, static_cast<uint32_t>(installer.size()), manifest), "");
}

}  // namespace
