#pragma once

// The product's entry in the system's list of installed programs, under HKEY_LOCAL_MACHINE in
// the registry view of this 32-bit program.

#include <string>

// "DisplayName", "DisplayIcon", "UninstallString" and "Publisher", all REG_SZ. A key that cannot
// be created is ignored.
void WriteUninstallEntry(const std::wstring& uninstallerPath);
void DeleteUninstallEntry();

// The command line stored as "UninstallString": the uninstaller path in quotes, so that a path
// with spaces cannot be taken for a shorter program's path.
std::wstring UninstallCommand(const std::wstring& uninstallerPath);
