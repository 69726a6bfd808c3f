#pragma once

// Makes the installer's configuration from a publisher's input. Everything arrives as UTF-8 and
// leaves in the target ANSI code page, in the JSON writer's form; text that the code page cannot
// represent is refused rather than stored as question marks.

#include <string>
#include <vector>

#include "package/json/json_value.h"

struct ShortcutEntry {
    std::string name;  // UTF-8
    std::string file;  // UTF-8, relative to the install folder
};

struct ConfigOptions {
    std::string lastrun;      // UTF-8
    std::string licenceText;  // UTF-8 text, any line breaks
    bool hasLicence = false;
    std::vector<ShortcutEntry> desktop;
    std::vector<ShortcutEntry> taskbar;
};

// Parses "NAME=FILE" (split at the first "=").
bool ParseShortcutArgument(const std::string& text, ShortcutEntry& entry, std::string& error);

// The licence's stored form: line breaks made CR LF, a leading byte-order mark dropped, the UTF-8
// bytes base64-encoded. Fails on text that is not UTF-8.
bool EncodeLicence(const std::string& utf8Text, std::string& base64, std::string& error);

// The configuration document, still in UTF-8.
bool BuildConfig(const ConfigOptions& options, JsonValue& config, std::string& error);

// Converts every key and string of the document from UTF-8 to the code page.
bool ReencodeStrings(JsonValue& value, unsigned codePage, std::string& error);

// Converts every key and string from the code page to UTF-8, for display.
JsonValue DecodeStringsForDisplay(const JsonValue& value, unsigned codePage);
