#pragma once

// Shortcut files on the desktop, in Quick Launch (pinned to the taskbar on Vista and later) and
// in the product's Start-menu folder. Every operation initialises COM on the calling thread
// itself and swallows its failures; only creation and deletion report a result.

#include <string>

// "<folder>\<name>.lnk"
std::wstring ShortcutPath(const std::wstring& folder, const std::wstring& name);

// Saves a shortcut to an existing target. Its start folder is the target itself for a folder,
// otherwise the folder holding the target. No description, arguments or icon are set.
bool CreateShortcut(const std::wstring& target, const std::wstring& shortcutFile);

bool CreateDesktopShortcut(const std::wstring& name, const std::wstring& target);
bool CreateQuickLaunchShortcut(const std::wstring& name, const std::wstring& target);
// True when the shortcut existed and was deleted.
bool DeleteDesktopShortcut(const std::wstring& name);
bool DeleteQuickLaunchShortcut(const std::wstring& name);

// Pins or unpins a shortcut file on the taskbar (Vista and later only).
void PinToTaskbar(const std::wstring& shortcutFile);
void UnpinFromTaskbar(const std::wstring& shortcutFile);

// "<Programs>\<product>\<product>.lnk" with the product name as its description.
void CreateStartMenuShortcut(const std::wstring& target);
// Deletes the product's Start-menu folder, and on Vista and later the all-users one too.
void RemoveStartMenuFolders();
