#pragma once

// Helpers for the Windows tests: a scratch folder in the temporary folder, removed afterwards.

#include <string>

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
