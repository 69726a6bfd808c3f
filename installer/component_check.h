#pragma once

// Whether Apple's iTunes and its Apple Mobile Device Support are present, from the paths their
// installers register under HKEY_LOCAL_MACHINE.

#include <string>

bool IsComponentInstalled();

// Replaces every ".exe" in the text with ".dll" (exact case): the iTunes library stands next to
// the program it registers.
std::wstring ExeToDll(std::wstring text);

constexpr wchar_t kItunesKey[] = L"SOFTWARE\\Apple Computer, Inc.\\iPod\\RegisteredApps\\4";
constexpr wchar_t kDeviceSupportKey[] = L"SOFTWARE\\Apple Inc.\\Apple Mobile Device Support\\Shared";
