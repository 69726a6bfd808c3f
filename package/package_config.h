#pragma once

// Reading the package configuration: the role the program plays, and the text values it carries.
//
// Text encodings: the configuration text is in the system ANSI code page, and so are "lastrun"
// and the shortcut entries' "name" and "file". "protocol" (the licence) and the manifest's
// "root", "files" and "folders" are base64 of UTF-8 bytes, so they read the same everywhere.

#include <cstdint>
#include <string>

#include "package/json/json_value.h"

enum class PackageRole {
    kRejected,     // no "mode" member: the package is broken
    kInstaller,    // "mode" is nonzero
    kUninstaller,  // "mode" is zero
};

// Any "mode" member counts, whatever its type; its integer value's low 32 bits decide.
PackageRole DecideRole(const JsonValue& config);

// The licence text; empty when "protocol" is missing or not a string.
std::wstring DecodeProtocol(const JsonValue& config);

// A base64 value of UTF-8 bytes ("protocol", "root", "files" and "folders" elements); a missing
// or non-string value gives empty text.
std::wstring DecodeBase64Utf8(const JsonValue& value);

// A value in the ANSI code page ("lastrun", "name", "file"); a missing or non-string value gives
// empty text.
std::wstring DecodeAnsi(const JsonValue& value);

// The stored form of a manifest path: UTF-8, then base64.
std::string EncodeBase64Utf8(const std::wstring& text);
