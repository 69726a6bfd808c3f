#pragma once

// The running program's own package: its configuration, read at start-up, and its image, which
// the install reads in pieces to copy the payload out and cut the uninstaller copy from.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "package/json/json_value.h"
#include "package/package_trailer.h"

// Reads this program's configuration (bounds 1 and 2). False when the file cannot be read, a
// bound fails or the text does not parse.
bool ReadPackageConfig(JsonValue& document);

// This program's own file, opened for reading; null when it cannot be opened. A package may be
// far larger than a 32-bit process can hold, so it is never read whole.
std::unique_ptr<ByteSource> OpenOwnImage();

// The same two readers on any file, for tests and for the uninstaller reading a copy.
TrailerStatus ReadPackageConfigFile(const std::wstring& path, JsonValue& document);
TrailerStatus ReadPackageTrailerFile(const std::wstring& path, JsonValue& document, std::string& bytes,
                                     uint32_t& trailerOffset, std::string_view& payload);
