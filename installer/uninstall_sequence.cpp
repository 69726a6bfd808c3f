#include "installer/uninstall_sequence.h"

#include "installer/install_sequence.h"
#include "package/install_manifest.h"
#include "package/package_config.h"
#include "package/package_trailer.h"

namespace {

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

wchar_t Lower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Whether path lies inside root. The manifest travels in a file anyone can edit; an uninstaller
// must never be talked into deleting outside the folder it installed.
bool IsInsideRoot(const std::wstring& path, const std::wstring& root)
{
    if (path.size() <= root.size() + 1 || (path[root.size()] != L'\\' && path[root.size()] != L'/'))
        return false;
    for (size_t i = 0; i < root.size(); ++i)
        if (Lower(path[i]) != Lower(root[i]))
            return false;
    return IsContainedEntryName(path.substr(root.size() + 1));
}

}  // namespace

bool RunUninstall(InstallSurface& surface, SystemShell& shell)
{
    JsonValue manifestDocument;
    if (!shell.ReadOwnConfig(manifestDocument))
        return false;
    ManifestContents manifest = ReadManifest(manifestDocument);
    if (manifest.root.empty())
        return false;

    surface.SetStatus(PercentText(L"正在删除快捷方式: ", 90));

    const JsonValue& desktop = manifest.shortcut.Find("desktop");
    for (uint32_t i = 0; i < desktop.Size(); ++i) {
        const std::wstring name = DecodeAnsi(desktop.Element(i).Find("name"));
        if (!name.empty())
            shell.DeleteDesktopShortcut(name);
    }
    const JsonValue& taskbar = manifest.shortcut.Find("taskbar");
    for (uint32_t i = 0; i < taskbar.Size(); ++i) {
        const std::wstring name = DecodeAnsi(taskbar.Element(i).Find("name"));
        if (name.empty())
            continue;
        if (shell.IsVistaOrLater())
            shell.UnpinFromTaskbar(shell.QuickLaunchFolder() + L"\\" + name + L".lnk");
        shell.DeleteQuickLaunchShortcut(name);
    }
    shell.RemoveStartMenuFolders();

    for (const std::wstring& file : manifest.files) {
        if (!IsInsideRoot(file, manifest.root))
            continue;
        if (!shell.RemoveFile(file)) {
            // A running program may hold it: end that program and try once more.
            shell.TerminateProcessesByName(FileNameOf(file));
            shell.Sleep(1000);
            shell.RemoveFile(file);
        }
    }
    shell.ShellDeleteIfExists(manifest.root + L"\\" + kUninstallerFileName);
    // The manifest lists folders parents first, as the archive has them; a parent can only go
    // once its subfolders have.
    for (const std::wstring& folder : DeepestFirst(manifest.folders))
        if (IsInsideRoot(folder, manifest.root))
            shell.RemoveEmptyFolder(folder);
    if (shell.IsDirectoryEmpty(manifest.root))
        shell.ShellDeleteFolder(manifest.root);
    shell.DeleteUninstallEntry();
    surface.HandOverAfterUninstall();
    return true;
}
