#pragma once

// Small Windows-only helpers: resources, the system version and random numbers.

#include <windows.h>

#include <cstdint>
#include <string>

// Copies a resource of this module into bytes; true when it exists and is not empty.
bool LoadResourceBytes(HMODULE module, const wchar_t* type, int id, std::string& bytes);

// Windows NT 6 (Vista) or later: the elevation rule, taskbar pinning and the all-users
// Start-menu folder depend on it.
bool IsVistaOrLater();

// A fresh random number from a new GUID: Data1 in the low 32 bits, Data2 + Data3 * 65536 in the
// high 32 bits. Zero when no GUID can be made.
uint64_t NewRandom64();
