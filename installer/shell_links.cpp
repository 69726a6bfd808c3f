#include "installer/shell_links.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "installer/product_names.h"
#include "package/shell_util.h"
#include "package/system_util.h"

namespace {

// Owns one COM interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr()
    {
        if (m_pointer != nullptr)
            m_pointer->Release();
    }
    T** Receive() { return &m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }

private:
    T* m_pointer = nullptr;
};

// Initialises COM for the lifetime of one operation and balances it afterwards.
class ComScope {
public:
    ComScope() : m_initialised(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (m_initialised)
            CoUninitialize();
    }

private:
    bool m_initialised;
};

std::wstring ProductStartMenuFolder()
{
    std::wstring programs = GetSpecialFolder(CSIDL_PROGRAMS);
    return programs + L"\\" + kProductName;
}

}  // namespace

std::wstring ShortcutPath(const std::wstring& folder, const std::wstring& name)
{
    return folder + L"\\" + name + L".lnk";
}

bool CreateShortcut(const std::wstring& target, const std::wstring& shortcutFile)
{
    if (!PathFileExistsW(target.c_str()))
        return false;
    ComScope com;
    bool saved = false;
    {
        ComPtr<IShellLinkW> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(link.Receive()))))
            return false;
        ComPtr<IPersistFile> file;
        if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))))
            return false;
        wchar_t startFolder[MAX_PATH * 2] = L"";
        lstrcpynW(startFolder, target.c_str(), MAX_PATH * 2);
        if (!PathIsDirectoryW(target.c_str()))
            PathRemoveFileSpecW(startFolder);
        link->SetPath(target.c_str());
        link->SetWorkingDirectory(startFolder);
        saved = SUCCEEDED(file->Save(shortcutFile.c_str(), TRUE));
    }
    return saved;
}

bool CreateDesktopShortcut(const std::wstring& name, const std::wstring& target)
{
    return CreateShortcut(target, ShortcutPath(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY), name));
}

bool CreateQuickLaunchShortcut(const std::wstring& name, const std::wstring& target)
{
    // Systems without Internet Explorer's folder still get the shortcut (and its pin).
    std::wstring folder = GetQuickLaunchFolder();
    if (!folder.empty())
        EnsureFolder(folder);
    return CreateShortcut(target, ShortcutPath(folder, name));
}

bool DeleteDesktopShortcut(const std::wstring& name)
{
    return ShellDeleteIfExists(ShortcutPath(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY), name));
}

bool DeleteQuickLaunchShortcut(const std::wstring& name)
{
    return ShellDeleteIfExists(ShortcutPath(GetQuickLaunchFolder(), name));
}

void PinToTaskbar(const std::wstring& shortcutFile)
{
    ShellExecuteW(nullptr, L"taskbarpin", shortcutFile.c_str(), nullptr, nullptr, SW_HIDE);
}

void UnpinFromTaskbar(const std::wstring& shortcutFile)
{
    ShellExecuteW(nullptr, L"taskbarunpin", shortcutFile.c_str(), nullptr, nullptr, SW_HIDE);
}

void CreateStartMenuShortcut(const std::wstring& target)
{
    const std::wstring folder = ProductStartMenuFolder();
    EnsureFolder(folder);
    ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Receive()))))
        return;
    link->SetPath(target.c_str());
    link->SetDescription(kProductName);
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))))
        file->Save(ShortcutPath(folder, kProductName).c_str(), TRUE);
}

void RemoveStartMenuFolders()
{
    ShellDeleteFolder(ProductStartMenuFolder());
    if (IsVistaOrLater())
        ShellDeleteFolder(kAllUsersStartMenuFolder);
}
