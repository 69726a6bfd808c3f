#pragma once

#include <string>
#include <vector>

// Appends the pieces of text between occurrences of separator. Every piece before a separator is
// appended, empty ones included; the rest after the last separator only when it is not empty.
// So "a//b/" gives "a", "", "b", and an empty text gives nothing.
void SplitString(const std::string& text, const std::string& separator, std::vector<std::string>& list);

// The text without white space (space, tab, CR, LF, VT, FF) at either end.
std::wstring TrimWhiteSpace(const std::wstring& text);

// Whether a folder may be deleted recursively: paths of three characters or fewer once trimmed
// (a drive root such as "C:\", a bare drive, or nothing) never are.
bool IsDeletableFolderPath(const std::wstring& path);
