#pragma once

// Builds package files in memory the way the packing tool lays them out: a DOS header whose
// e_lfanew points just past a 4-byte trailer offset, filler up to T, then the trailer.

#include <string>

#include "package/package_trailer.h"

namespace testing_image {

constexpr uint32_t kPeOffset = 0x80;

inline void PutLittleEndian32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// An image of t bytes with "MZ", e_lfanew and "PE\0\0" in place, and T written before the signature.
inline std::string MakeStub(uint32_t t, uint32_t writtenOffset)
{
    std::string bytes(t, '\xCC');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    PutLittleEndian32(bytes, kPeOffsetField, kPeOffset);
    PutLittleEndian32(bytes, kPeOffset - 4, writtenOffset);
    bytes.replace(kPeOffset, 4, std::string("PE\0\0", 4));
    return bytes;
}

inline std::string MakeInstaller(const std::string& config, const std::string& payload, uint32_t t = 0x400)
{
    std::string bytes = MakeStub(t, t);
    AppendLittleEndian32(bytes, static_cast<uint32_t>(config.size()));
    bytes += config;
    AppendLittleEndian32(bytes, static_cast<uint32_t>(payload.size()));
    bytes += payload;
    return bytes;
}

}  // namespace testing_image
