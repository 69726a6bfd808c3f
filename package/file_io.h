#pragma once

// Whole-file reading and writing.

#include <string>

// Empties bytes, then reads the whole file in pieces. False when the file cannot be opened or a
// read fails; an empty file gives true and no bytes.
bool ReadWholeFile(const std::wstring& path, std::string& bytes);

// Creates or truncates the file and writes all bytes. A short write or a failing close (a full
// disk shows up as one of these) is reported as failure.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
