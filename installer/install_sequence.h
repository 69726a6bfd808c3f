#pragma once

// The whole installation, run on the user-interface thread once the user has confirmed the
// options: unpack the payload into the install folder (rolling back on failure), replace the
// shortcuts, write the uninstaller copy and the uninstall entry, then finish or start the
// component download.

#include <string>
#include <vector>

#include "installer/system_shell.h"

struct InstallOptions {
    std::wstring installDir;  // without a trailing backslash
    bool desktopShortcut = true;
    bool taskbarShortcut = true;
    bool startMenuShortcut = true;
};

// True on success, with programPath set to the program the completion window offers to start.
bool RunInstall(const InstallOptions& options, InstallSurface& surface, SystemShell& shell,
                std::wstring& programPath);

// "<text>: <n>%" as the status label shows percentages.
std::wstring PercentText(const wchar_t* prefix, long percent);

// Whether an archive entry name (UTF-16, "/" separated, without a trailing "/") stays inside
// the install folder: not absolute, no drive letter, no "." or ".." part.
bool IsContainedEntryName(const std::wstring& name);

// The folder part of a path ("a\b\c" gives "a\b"); empty when there is none.
std::wstring ParentFolder(const std::wstring& path);

// Folders in the order they can be removed: deeper ones first, so that a folder is empty of
// folders by the time its turn comes; equally deep ones keep their order.
std::vector<std::wstring> DeepestFirst(std::vector<std::wstring> folders);
