#include "tools/mkinstaller/pe_image.h"

#include <gtest/gtest.h>

#include "package/json/json_reader.h"
#include "package/package_trailer.h"

namespace {

void Put32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void Put16(std::string& bytes, size_t at, uint16_t value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

constexpr size_t kPe = 0x80;
constexpr size_t kOptional = kPe + 24;
constexpr size_t kSecurityEntry = kOptional + 96 + 4 * 8;

// A PE32 image with two sections (raw data 0x200..0x400 and 0x400..0x500), a symbol-table
// reference and a certificate-table entry, followed by 0x100 bytes of old overlay.
std::string MakePe()
{
    std::string bytes(0x600, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    Put32(bytes, 60, kPe);
    bytes.replace(kPe, 4, std::string("PE\0\0", 4));
    Put16(bytes, kPe + 4, 0x14C);
    Put16(bytes, kPe + 6, 2);
    Put32(bytes, kPe + 12, 0x500);  // PointerToSymbolTable
    Put32(bytes, kPe + 16, 4);      // NumberOfSymbols
    Put16(bytes, kPe + 20, 224);
    Put16(bytes, kOptional, 0x10B);
    Put32(bytes, kOptional + 92, 16);
    Put32(bytes, kSecurityEntry, 0x500);
    Put32(bytes, kSecurityEntry + 4, 0x100);
    size_t sections = kOptional + 224;
    Put32(bytes, sections + 16, 0x200);
    Put32(bytes, sections + 20, 0x200);
    Put32(bytes, sections + 40 + 16, 0x100);
    Put32(bytes, sections + 40 + 20, 0x400);
    for (size_t i = 0x500; i < 0x600; ++i)
        bytes[i] = 'O';
    return bytes;
}

TEST(PeImage, FindsTheEndOfTheLastSection)
{
    PeLayout layout;
    std::string error;
    ASSERT_TRUE(ParsePeLayout(MakePe(), layout, error)) << error;
    EXPECT_EQ(layout.peOffset, kPe);
    EXPECT_EQ(layout.imageEnd, 0x500u);
    EXPECT_EQ(layout.securityEntry, kSecurityEntry);
}

TEST(PeImage, RefusesWhatIsNotAnImage)
{
    struct {
        const char* what;
        size_t at;
        uint32_t value;
    } cases[] = {
        {"no MZ", 0, 0x4D4E},
        {"e_lfanew inside the DOS header", 60, 0x40},
        {"e_lfanew beyond the file", 60, 0x7FFFFFF0},
        {"no PE signature", kPe, 0},
        {"section beyond the file", kOptional + 224 + 40 + 16, 0x1000},
        {"no sections", kPe + 6, 0x10000},
    };
    for (const auto& c : cases) {
        std::string bytes = MakePe();
        if (c.at == kPe + 6)
            Put16(bytes, c.at, 0);
        else if (c.at == 0)
            Put16(bytes, c.at, static_cast<uint16_t>(c.value));
        else
            Put32(bytes, c.at, c.value);
        PeLayout layout;
        std::string error;
        EXPECT_FALSE(ParsePeLayout(bytes, layout, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(PeImage, AssemblyDropsTheOverlayAndTheProgramReadsItBack)
{
    const std::string config = "{\"mode\":1}\n";
    const std::string payload = "PK\x05\x06 zip";
    std::string package, error;
    ASSERT_TRUE(AssemblePackage(MakePe(), config, payload, package, error)) << error;
    EXPECT_EQ(package.size() % 8, 0u);
    EXPECT_EQ(package.find("OOOO"), std::string::npos) << "the old overlay is gone";
    EXPECT_EQ(ReadLittleEndian32(package.data() + kPe - 4), 0x500u);
    EXPECT_EQ(ReadLittleEndian32(package.data() + kPe + 12), 0u);
    EXPECT_EQ(ReadLittleEndian32(package.data() + kSecurityEntry), 0u);
    EXPECT_EQ(ReadLittleEndian32(package.data() + kSecurityEntry + 4), 0u);

    JsonValue document;
    PackageTrailer trailer;
    std::string_view view;
    ASSERT_EQ(ParseInstallerImage(package, document, trailer, view), TrailerStatus::kOk);
    EXPECT_EQ(trailer.offset, 0x500u);
    EXPECT_EQ(trailer.configText, config);
    EXPECT_EQ(view, payload);
}

}  // namespace
