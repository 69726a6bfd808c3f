#pragma once

// Folders, paths and silent shell file operations (Windows only). Every path query gives an empty
// string when the system call fails; every operation gives false. Nothing shows a message.

#include <windows.h>

#include <string>

std::wstring GetModulePath();
// Ends with a backslash.
std::wstring GetTempFolder();
// SHGetSpecialFolderPathW for a CSIDL value, without creating the folder.
std::wstring GetSpecialFolder(int csidl);
// "<application data>\Microsoft\Internet Explorer\Quick Launch"; empty when the application-data
// folder is unknown.
std::wstring GetQuickLaunchFolder();

// Creates every missing folder on the way; true when the folder exists afterwards as a folder.
bool EnsureFolder(const std::wstring& path);
bool ShellCopyFile(const std::wstring& from, const std::wstring& to);
// Deletes a file or a folder with its contents; false when nothing exists at path.
bool ShellDeleteIfExists(const std::wstring& path);
// Deletes a folder with its contents; refuses drive roots and anything as short.
bool ShellDeleteFolder(const std::wstring& path);

// Shows the folder picker; true with path set to the chosen file-system folder, false with path
// empty when the dialog is cancelled or fails.
bool BrowseForFolder(std::wstring& path, HWND owner);
