#pragma once

// What the install and uninstall sequences need of the system and of the window that shows their
// progress, behind two small interfaces: the Windows program implements them with the real file
// system, shell, registry and processes; the native tests with a real temporary folder.
//
// Paths are Windows paths ("\" separated) throughout.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "package/byte_source.h"
#include "package/json/json_value.h"

// The process window as the sequences see it.
class InstallSurface {
public:
    virtual ~InstallSurface() = default;
    virtual void SetStatus(const std::wstring& text) = 0;
    virtual void SetProgress(int position) = 0;
    // A question with Yes and No buttons and the question icon, owned by the window.
    virtual bool AskYesNo(const std::wstring& text, const std::wstring& caption) = 0;
    // The install is done and the component is present: the window finishes at once.
    virtual void CompleteInstall() = 0;
    // The component is missing: show the cancel button and start the download worker.
    virtual void StartComponentDownload() = 0;
    // The uninstall is done: fade out and show the farewell window.
    virtual void HandOverAfterUninstall() = 0;
};

// A file opened for writing ("wb").
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // False when fewer bytes than given were stored.
    virtual bool Write(const void* bytes, size_t count) = 0;
    // False when the data could not be flushed.
    virtual bool Close() = 0;
};

class SystemShell {
public:
    virtual ~SystemShell() = default;

    // This program's own file, to read its package from in pieces; null when it cannot be opened.
    virtual std::unique_ptr<ByteSource> OpenOwnImage() = 0;
    // This program's configuration (bounds 1 and 2 only): the uninstaller's manifest.
    virtual bool ReadOwnConfig(JsonValue& config) = 0;
    virtual std::wstring TempFolder() = 0;  // ends with a backslash
    virtual uint64_t NewRandom64() = 0;
    virtual bool IsVistaOrLater() = 0;

    virtual bool WriteWholeFile(const std::wstring& path, const std::string& bytes) = 0;
    virtual bool EnsureFolder(const std::wstring& path) = 0;
    virtual std::unique_ptr<FileWriter> OpenForWrite(const std::wstring& path) = 0;
    virtual bool RemoveFile(const std::wstring& path) = 0;
    virtual bool RemoveEmptyFolder(const std::wstring& path) = 0;
    virtual bool PathExists(const std::wstring& path) = 0;
    virtual bool IsDirectoryEmpty(const std::wstring& path) = 0;
    virtual bool ShellDeleteIfExists(const std::wstring& path) = 0;
    virtual bool ShellDeleteFolder(const std::wstring& path) = 0;
    virtual void Sleep(unsigned milliseconds) = 0;

    virtual bool IsProcessRunning(const std::wstring& name) = 0;
    virtual void TerminateProcessesByName(const std::wstring& name) = 0;

    virtual std::wstring QuickLaunchFolder() = 0;
    virtual bool CreateDesktopShortcut(const std::wstring& name, const std::wstring& target) = 0;
    virtual bool CreateQuickLaunchShortcut(const std::wstring& name, const std::wstring& target) = 0;
    virtual bool DeleteDesktopShortcut(const std::wstring& name) = 0;
    virtual bool DeleteQuickLaunchShortcut(const std::wstring& name) = 0;
    virtual void PinToTaskbar(const std::wstring& shortcutFile) = 0;
    virtual void UnpinFromTaskbar(const std::wstring& shortcutFile) = 0;
    virtual void CreateStartMenuShortcut(const std::wstring& target) = 0;
    virtual void RemoveStartMenuFolders() = 0;

    virtual void WriteUninstallEntry(const std::wstring& uninstallerPath) = 0;
    virtual void DeleteUninstallEntry() = 0;
    virtual bool IsComponentInstalled() = 0;
};
