#pragma once

// The platform's code-page conversion, used by the conversion helpers. Both stop at the first
// zero. Unconvertible input gives replacement characters, or false when nothing converts.

#include <string>

bool CodePageToWide(unsigned codePage, const char* text, std::wstring& result);
bool WideToCodePage(unsigned codePage, const wchar_t* text, std::string& result);

// Strict conversion for the packing tool: false when any character cannot be represented.
bool WideToCodePageExact(unsigned codePage, const wchar_t* text, std::string& result);
