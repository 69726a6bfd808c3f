#pragma once

// The package trailer: what the installer carries after the end of its program image.
//
//   offset            size  content
//   0                 64    DOS header; the 32-bit field at 60 (e_lfanew) is H, the offset of "PE\0\0"
//   H - 4             4     T: where the trailer starts (in the DOS stub, which the loader ignores)
//   ...                     the program image
//   T                 4     L: length of the configuration text
//   T + 4             L     configuration: JSON text in the system ANSI code page
//   T + 4 + L         4     Z: length of the payload           (installer only)
//   T + 8 + L         Z     payload: a ZIP archive             (installer only)
//   T + 8 + L + Z     rest  padding and a signature table; never read
//
// All integers are unsigned 32-bit little-endian. The uninstaller copy keeps bytes 0 .. T - 1 of
// the installer (so it finds its trailer at the same T) and has only L' and the manifest text
// after it. Every reader checks, with size the length of the file and sums taken in 64 bits:
//   1. 0 < T < size
//   2. T + 4 + L <= size
//   3. T + 8 + L + Z <= size   (installer only)

#include <cstdint>
#include <string>
#include <string_view>

#include "package/byte_source.h"
#include "package/json/json_value.h"

enum class TrailerStatus {
    kOk,
    kUnreadable,          // the file could not be opened or read
    kNoHeader,            // no DOS header, or no room for T before the PE signature
    kOffsetOutOfBounds,   // bound 1
    kConfigOutOfBounds,   // bound 2
    kPayloadOutOfBounds,  // bound 3
    kConfigUnparsable,    // the configuration text is not JSON
};

// A short English description of a status, for tools and test output.
const char* DescribeTrailerStatus(TrailerStatus status);

// Which bounds apply: the uninstaller copy, and the start-up check of either role, read no payload.
enum class TrailerBounds { kConfigOnly, kWithPayload };

struct PackageTrailer {
    uint32_t offset = 0;         // T
    uint32_t configLength = 0;   // L
    uint32_t payloadLength = 0;  // Z (installer only)
    std::string configText;      // the L bytes of configuration text
    uint64_t payloadStart = 0;   // T + 8 + L (installer only)
};

constexpr size_t kDosHeaderSize = 64;
constexpr size_t kPeOffsetField = 60;

// Reads T, L (and for an installer Z) from source, checking the bounds, and keeps the
// configuration text. The configuration is not parsed.
TrailerStatus ReadTrailer(ByteSource& source, TrailerBounds bounds, PackageTrailer& trailer);

// Reads the trailer's configuration and parses it into document, checking bounds 1 and 2 only:
// this is how the running program learns its own role, as installer or uninstaller.
TrailerStatus ReadPackageConfigFrom(ByteSource& source, JsonValue& document);

// The install's reader: the configuration document and where the payload lies, under all three
// bounds. Nothing of the payload is read, so a package of any size costs only its configuration.
TrailerStatus ReadInstallerTrailer(ByteSource& source, JsonValue& document, PackageTrailer& trailer);

// The same from the whole file in memory, with the payload as a view into bytes.
TrailerStatus ParseInstallerImage(const std::string& bytes, JsonValue& document, PackageTrailer& trailer,
                                  std::string_view& payload);

// The uninstaller copy: bytes 0 .. T - 1 of the installer, then the manifest's length and its
// writer text. Empty when T does not lie inside bytes.
std::string BuildUninstallerCopy(const std::string& installerBytes, uint32_t trailerOffset,
                                 const JsonValue& manifest);

// What follows the kept bytes 0 .. T - 1 in the uninstaller copy: L' and the manifest's text.
std::string UninstallerCopyTail(const JsonValue& manifest);

// Writes the uninstaller copy as "unins001.exe" in the install folder, replacing an older one.
bool WriteUninstallerCopy(const std::string& installerBytes, uint32_t trailerOffset, const JsonValue& manifest,
                          const std::wstring& installFolder);

constexpr wchar_t kUninstallerFileName[] = L"unins001.exe";

uint32_t ReadLittleEndian32(const void* bytes);
void AppendLittleEndian32(std::string& out, uint32_t value);
