#pragma once

// The running program's own package: its configuration, read at start-up, and its whole image,
// read by the install to extract the payload and cut the uninstaller copy from.

#include <cstdint>
#include <string>
#include <string_view>

#include "package/json/json_value.h"
#include "package/package_trailer.h"

// Reads this program's configuration (bounds 1 and 2). False when the file cannot be read, a
// bound fails or the text does not parse.
bool ReadPackageConfig(JsonValue& document);

// Reads the whole image of this program into bytes and takes the configuration and payload from
// it under all three bounds.
bool ReadPackageTrailer(JsonValue& document, std::string& bytes, uint32_t& trailerOffset, std::string_view& payload);

// The same two readers on any file, for tests and for the uninstaller reading a copy.
TrailerStatus ReadPackageConfigFile(const std::wstring& path, JsonValue& document);
TrailerStatus ReadPackageTrailerFile(const std::wstring& path, JsonValue& document, std::string& bytes,
                                     uint32_t& trailerOffset, std::string_view& payload);
