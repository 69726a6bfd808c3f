#pragma once

// Builds UI resource packages in memory for the tests: the magic, J, the JSON text, N and the
// records, with J and N normally taken from what is given.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "package/package_trailer.h"

namespace testing_uir {

using Record = std::pair<uint32_t, std::string>;

inline std::string BuildPackage(const std::string& json, const std::vector<Record>& records)
{
    std::string bytes = ".uir";
    AppendLittleEndian32(bytes, static_cast<uint32_t>(json.size()));
    bytes += json;
    AppendLittleEndian32(bytes, static_cast<uint32_t>(records.size()));
    for (const Record& record : records) {
        AppendLittleEndian32(bytes, record.first);
        AppendLittleEndian32(bytes, static_cast<uint32_t>(record.second.size()));
        bytes += record.second;
    }
    return bytes;
}

// Overwrites the 32-bit little-endian value at offset.
inline void PutLittleEndian32(std::string& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace testing_uir
