#pragma once

// FontRecord: what a font description record of the "fonts" group asks of a font. The record is
// a JSON object whose members override the matching LOGFONTW fields of the icon-title font:
//
//   "Height" "Width" "Escapement" "Orientation" "Weight"          32-bit fields
//   "Italic" "Underline" "StrikeOut" "CharSet" "OutPrecision"
//   "ClipPrecision" "Quality" "PitchAndFamily"                    8-bit fields
//   "FaceName"                                                    UTF-8 text
//
// Each member is read as an integer (reals truncated, numeric strings parsed) and cut to its
// field's width; a field whose cut value is 0 keeps the base font's value, so 0 here means "keep".
// The face name is used when it is a non-empty string.

#include <cstdint>
#include <string>

struct FontRecord {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::string faceName;  // UTF-8; empty keeps the base font's face
};

// Parses the record's bytes. False, with record left all "keep", when the text is not a JSON
// value at all (the reader built nothing); a record that is some other JSON value reads as empty.
bool ParseFontRecord(const std::string& bytes, FontRecord& record);
