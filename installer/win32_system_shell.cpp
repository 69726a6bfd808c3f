#include "installer/win32_system_shell.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>

#include "installer/component_check.h"
#include "installer/process_finder.h"
#include "installer/shell_links.h"
#include "installer/stdio_file_writer.h"
#include "installer/uninstall_entry.h"
#include "package/file_io.h"
#include "package/own_package.h"
#include "package/shell_util.h"
#include "package/system_util.h"

std::unique_ptr<ByteSource> Win32SystemShell::OpenOwnImage()
{
    return ::OpenOwnImage();
}

bool Win32SystemShell::ReadOwnConfig(JsonValue& config)
{
    return ReadPackageConfig(config);
}

std::wstring Win32SystemShell::TempFolder()
{
    return GetTempFolder();
}

uint64_t Win32SystemShell::NewRandom64()
{
    return ::NewRandom64();
}

bool Win32SystemShell::IsVistaOrLater()
{
    return ::IsVistaOrLater();
}

bool Win32SystemShell::WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    return ::WriteWholeFile(path, bytes);
}

bool Win32SystemShell::EnsureFolder(const std::wstring& path)
{
    return ::EnsureFolder(path);
}

std::unique_ptr<FileWriter> Win32SystemShell::OpenForWrite(const std::wstring& path)
{
    FILE* file = nullptr;
    if (_wfopen_s(&file, path.c_str(), L"wb") != 0 || file == nullptr)
        return nullptr;
    return std::make_unique<StdioFileWriter>(file);
}

bool Win32SystemShell::RemoveFile(const std::wstring& path)
{
    return DeleteFileW(path.c_str()) != FALSE;
}

bool Win32SystemShell::RemoveEmptyFolder(const std::wstring& path)
{
    return RemoveDirectoryW(path.c_str()) != FALSE;
}

bool Win32SystemShell::PathExists(const std::wstring& path)
{
    return PathFileExistsW(path.c_str()) != FALSE;
}

bool Win32SystemShell::IsDirectoryEmpty(const std::wstring& path)
{
    return PathIsDirectoryEmptyW(path.c_str()) != FALSE;
}

bool Win32SystemShell::ShellDeleteIfExists(const std::wstring& path)
{
    return ::ShellDeleteIfExists(path);
}

bool Win32SystemShell::ShellDeleteFolder(const std::wstring& path)
{
    return ::ShellDeleteFolder(path);
}

void Win32SystemShell::Sleep(unsigned milliseconds)
{
    ::Sleep(milliseconds);
}

bool Win32SystemShell::IsProcessRunning(const std::wstring& name)
{
    return ::IsProcessRunning(name);
}

void Win32SystemShell::TerminateProcessesByName(const std::wstring& name)
{
    ::TerminateProcessesByName(name);
}

std::wstring Win32SystemShell::QuickLaunchFolder()
{
    return GetQuickLaunchFolder();
}

bool Win32SystemShell::CreateDesktopShortcut(const std::wstring& name, const std::wstring& target)
{
    return ::CreateDesktopShortcut(name, target);
}

bool Win32SystemShell::CreateQuickLaunchShortcut(const std::wstring& name, const std::wstring& target)
{
    return ::CreateQuickLaunchShortcut(name, target);
}

bool Win32SystemShell::DeleteDesktopShortcut(const std::wstring& name)
{
    return ::DeleteDesktopShortcut(name);
}

bool Win32SystemShell::DeleteQuickLaunchShortcut(const std::wstring& name)
{
    return ::DeleteQuickLaunchShortcut(name);
}

void Win32SystemShell::PinToTaskbar(const std::wstring& shortcutFile)
{
    ::PinToTaskbar(shortcutFile);
}

void Win32SystemShell::UnpinFromTaskbar(const std::wstring& shortcutFile)
{
    ::UnpinFromTaskbar(shortcutFile);
}

void Win32SystemShell::CreateStartMenuShortcut(const std::wstring& target)
{
    ::CreateStartMenuShortcut(target);
}

void Win32SystemShell::RemoveStartMenuFolders()
{
    ::RemoveStartMenuFolders();
}

void Win32SystemShell::WriteUninstallEntry(const std::wstring& uninstallerPath)
{
    ::WriteUninstallEntry(uninstallerPath);
}

void Win32SystemShell::DeleteUninstallEntry()
{
    ::DeleteUninstallEntry();
}

bool Win32SystemShell::IsComponentInstalled()
{
    return ::IsComponentInstalled();
}
