#include "tools/mkinstaller/pe_image.h"

#include "package/package_trailer.h"

namespace {

uint16_t Read16(const std::string& bytes, uint64_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

uint32_t Read32(const std::string& bytes, uint64_t at)
{
    return ReadLittleEndian32(bytes.data() + at);
}

void Write32(std::string& bytes, uint64_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

constexpr uint64_t kCoffHeaderSize = 20;
constexpr uint64_t kSectionHeaderSize = 40;
constexpr uint32_t kSecurityDirectory = 4;

}  // namespace

bool ParsePeLayout(const std::string& bytes, PeLayout& layout, std::string& error)
{
    layout = PeLayout();
    const uint64_t size = bytes.size();
    if (size < kDosHeaderSize || bytes[0] != 'M' || bytes[1] != 'Z') {
        error = "not a Windows executable (no MZ header)";
        return false;
    }
    const uint64_t h = Read32(bytes, kPeOffsetField);
    if (h < kDosHeaderSize + 4) {
        error = "the DOS stub has no room for the trailer offset";
        return false;
    }
    if (h + 4 + kCoffHeaderSize > size || bytes.compare(h, 4, std::string("PE\0\0", 4)) != 0) {
        error = "no PE signature where the DOS header points";
        return false;
    }
    layout.peOffset = static_cast<uint32_t>(h);
    const uint64_t coff = h + 4;
    const uint16_t sections = Read16(bytes, coff + 2);
    const uint16_t optionalSize = Read16(bytes, coff + 16);
    layout.symbolTableField = coff + 8;
    const uint64_t optional = coff + kCoffHeaderSize;
    const uint64_t sectionTable = optional + optionalSize;
    if (sections == 0 || sectionTable + uint64_t{sections} * kSectionHeaderSize > size) {
        error = "the section table is missing or truncated";
        return false;
    }
    if (optionalSize >= 2) {
        const uint16_t magic = Read16(bytes, optional);
        const uint64_t countField = optional + (magic == 0x20B ? 108 : 92);
        const uint64_t directories = countField + 4;
        if ((magic == 0x10B || magic == 0x20B) && countField + 4 <= sectionTable &&
            Read32(bytes, countField) > kSecurityDirectory &&
            directories + (kSecurityDirectory + 1) * 8 <= sectionTable)
            layout.securityEntry = directories + kSecurityDirectory * 8;
    }
    for (uint16_t i = 0; i < sections; ++i) {
        const uint64_t entry = sectionTable + uint64_t{i} * kSectionHeaderSize;
        const uint64_t rawSize = Read32(bytes, entry + 16);
        const uint64_t rawPointer = Read32(bytes, entry + 20);
        if (rawSize != 0 && rawPointer + rawSize > layout.imageEnd)
            layout.imageEnd = rawPointer + rawSize;
    }
    if (layout.imageEnd == 0 || layout.imageEnd > size) {
        error = "the sections reach beyond the end of the file";
        return false;
    }
    return true;
}

bool AssemblePackage(const std::string& stub, const std::string& config, const std::string& payload,
                     std::string& package, std::string& error)
{
    PeLayout layout;
    if (!ParsePeLayout(stub, layout, error))
        return false;
    const uint64_t total = layout.imageEnd + 8 + config.size() + payload.size() + 7;
    if (total > 0xFFFFFFFFull) {
        error = "the package would be 4 GiB or larger";
        return false;
    }
    package.assign(stub, 0, static_cast<size_t>(layout.imageEnd));
    // The symbol table and any old certificate table lay in the overlay that is now gone.
    Write32(package, layout.symbolTableField, 0);
    Write32(package, layout.symbolTableField + 4, 0);
    if (layout.securityEntry != 0) {
        Write32(package, layout.securityEntry, 0);
        Write32(package, layout.securityEntry + 4, 0);
    }
    Write32(package, layout.peOffset - 4, static_cast<uint32_t>(layout.imageEnd));
    AppendLittleEndian32(package, static_cast<uint32_t>(config.size()));
    package += config;
    AppendLittleEndian32(package, static_cast<uint32_t>(payload.size()));
    package += payload;
    package.append((8 - package.size() % 8) % 8, '\0');
    return true;
}
