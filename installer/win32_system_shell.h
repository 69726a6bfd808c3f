#pragma once

// The sequences' system on Windows: this program's own package, the file system through the
// shell helpers, shell links, taskbar pins, the uninstall entry and processes.

#include "installer/system_shell.h"

class Win32SystemShell : public SystemShell {
public:
    std::unique_ptr<ByteSource> OpenOwnImage() override;
    bool ReadOwnConfig(JsonValue& config) override;
    std::wstring TempFolder() override;
    uint64_t NewRandom64() override;
    bool IsVistaOrLater() override;

    bool WriteWholeFile(const std::wstring& path, const std::string& bytes) override;
    bool EnsureFolder(const std::wstring& path) override;
    std::unique_ptr<FileWriter> OpenForWrite(const std::wstring& path) override;
    bool RemoveFile(const std::wstring& path) override;
    bool RemoveEmptyFolder(const std::wstring& path) override;
    bool PathExists(const std::wstring& path) override;
    bool IsDirectoryEmpty(const std::wstring& path) override;
    bool ShellDeleteIfExists(const std::wstring& path) override;
    bool ShellDeleteFolder(const std::wstring& path) override;
    void Sleep(unsigned milliseconds) override;

    bool IsProcessRunning(const std::wstring& name) override;
    void TerminateProcessesByName(const std::wstring& name) override;

    std::wstring QuickLaunchFolder() override;
    bool CreateDesktopShortcut(const std::wstring& name, const std::wstring& target) override;
    bool CreateQuickLaunchShortcut(const std::wstring& name, const std::wstring& target) override;
    bool DeleteDesktopShortcut(const std::wstring& name) override;
    bool DeleteQuickLaunchShortcut(const std::wstring& name) override;
    void PinToTaskbar(const std::wstring& shortcutFile) override;
    void UnpinFromTaskbar(const std::wstring& shortcutFile) override;
    void CreateStartMenuShortcut(const std::wstring& target) override;
    void RemoveStartMenuFolders() override;

    void WriteUninstallEntry(const std::wstring& uninstallerPath) override;
    void DeleteUninstallEntry() override;
    bool IsComponentInstalled() override;
};
