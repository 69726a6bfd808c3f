#pragma once

// Finding and ending running programs by the file name of their executable. The name compared
// is the file-name part of the argument, case-insensitively; an empty name matches nothing.

#include <windows.h>

#include <string>

bool IsProcessRunning(const std::wstring& pathOrName);
// Ends every matching process except this one, without waiting for them to go.
void TerminateProcessesByName(const std::wstring& pathOrName);
// The id of the first matching process, 0 when there is none.
DWORD FindProcessIdByName(const std::wstring& name);
