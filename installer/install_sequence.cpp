#include "installer/install_sequence.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "installer/product_names.h"
#include "installer/zip_archive.h"
#include "package/conversion_pool.h"
#include "package/install_manifest.h"
#include "package/package_config.h"
#include "package/package_trailer.h"
#include "package/string_util.h"

namespace {

constexpr size_t kCopyBufferSize = 0x80000;

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    return folder + L"\\" + name;
}

std::wstring WithBackslashes(std::wstring path)
{
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    return path;
}

std::wstring HexName(uint64_t value)
{
    wchar_t buffer[17];
    std::swprintf(buffer, 17, L"%016llX", static_cast<unsigned long long>(value));
    return buffer;
}

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring LockedProgramQuestion(const std::wstring& fileName)
{
    return L"检测到程序”" + fileName + L"“正在运行, 您必须结束该程序才能继续安装, 是否继续?";
}

// Opens the target for writing; when a running program holds it, offers to end that program and
// tries once more.
std::unique_ptr<FileWriter> OpenTarget(const std::wstring& path, InstallSurface& surface, SystemShell& shell)
{
    std::unique_ptr<FileWriter> file = shell.OpenForWrite(path);
    if (file)
        return file;
    const std::wstring name = FileNameOf(path);
    if (!shell.IsProcessRunning(name))
        return nullptr;
    if (!surface.AskYesNo(LockedProgramQuestion(name), L"关闭占用"))
        return nullptr;
    shell.TerminateProcessesByName(name);
    shell.Sleep(1000);
    return shell.OpenForWrite(path);
}

// Copies count bytes at offset of source to file, a buffer at a time.
bool CopyRange(ByteSource& source, uint64_t offset, uint64_t count, FileWriter& file, std::vector<char>& buffer)
{
    while (count > 0) {
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(count, buffer.size()));
        if (!source.ReadAt(offset, buffer.data(), piece) || !file.Write(buffer.data(), piece))
            return false;
        offset += piece;
        count -= piece;
    }
    return true;
}

// Writes the package's payload to path; a partial file is removed.
bool CopyPayload(ByteSource& image, const PackageTrailer& trailer, const std::wstring& path, SystemShell& shell,
                 std::vector<char>& buffer)
{
    std::unique_ptr<FileWriter> file = shell.OpenForWrite(path);
    if (!file)
        return false;
    bool ok = CopyRange(image, trailer.payloadStart, trailer.payloadLength, *file, buffer);
    ok = file->Close() && ok;
    if (!ok)
        shell.RemoveFile(path);
    return ok;
}

// The uninstaller copy: this program's bytes up to its trailer, then the manifest. A copy that
// could not be written whole is removed rather than left as a broken program.
void WriteUninstallerCopy(ByteSource& image, const PackageTrailer& trailer, const JsonValue& manifest,
                          const std::wstring& path, SystemShell& shell, std::vector<char>& buffer)
{
    std::unique_ptr<FileWriter> file = shell.OpenForWrite(path);
    if (!file)
        return;
    const std::string tail = UninstallerCopyTail(manifest);
    bool ok = CopyRange(image, 0, trailer.offset, *file, buffer) && file->Write(tail.data(), tail.size());
    ok = file->Close() && ok;
    if (!ok)
        shell.RemoveFile(path);
}

// Whether the payload is an archive without entries, which the archive reader cannot open.
bool IsEmptyPayload(ByteSource& image, const PackageTrailer& trailer)
{
    constexpr uint32_t kLongestEmptyArchive = 22 + 0xFFFF;  // the end record and its longest comment
    if (trailer.payloadLength > kLongestEmptyArchive)
        return false;
    std::string bytes(trailer.payloadLength, '\0');
    return (bytes.empty() || image.ReadAt(trailer.payloadStart, &bytes[0], bytes.size())) &&
           ZipArchive::IsEmptyArchive(bytes);
}

// Extracts every entry; false at the first failure, with what was written so far recorded in
// the manifest for the rollback.
bool Extract(ZipArchive& archive, const std::wstring& installDir, InstallManifest& manifest,
             InstallSurface& surface, SystemShell& shell, std::vector<char>& buffer)
{
    if (!archive.GoToFirstEntry())
        return true;  // an empty archive installs nothing
    do {
        std::string rawName;
        if (!archive.CurrentEntryName(rawName))
            return false;
        std::wstring name = TrimWhiteSpace(Widen(rawName, kCodePageUtf8));
        if (name.empty())
            return false;
        const bool isFolder = name.back() == L'/';
        if (isFolder)
            name.pop_back();
        // An entry must never reach outside the install folder.
        if (!IsContainedEntryName(name))
            return false;

        if (isFolder) {
            const std::wstring folder = Join(installDir, name);
            if (!shell.EnsureFolder(folder))
                return false;
            manifest.AddFolderEntry(folder);
            continue;
        }

        const std::wstring target = Join(installDir, name);
        const std::wstring parent = ParentFolder(target);
        if (!parent.empty()) {
            if (!shell.EnsureFolder(parent))
                return false;
            manifest.NotePendingFolder(parent);
        }
        bool copied = true;
        if (archive.OpenCurrentEntry()) {
            std::unique_ptr<FileWriter> file = OpenTarget(target, surface, shell);
            if (!file) {
                archive.CloseCurrentEntry();
                return false;
            }
            for (;;) {
                int count = archive.ReadCurrentEntry(buffer.data(), static_cast<unsigned>(buffer.size()));
                if (count == 0)
                    break;
                // A damaged entry must not be installed as if it were whole.
                if (count < 0 || !file->Write(buffer.data(), static_cast<size_t>(count))) {
                    copied = false;
                    break;
                }
            }
            if (!file->Close())
                copied = false;
            if (!archive.CloseCurrentEntry())
                copied = false;  // the check sum did not match
        }
        // A damaged copy is recorded too, so that the rollback removes it.
        manifest.AddFile(target);
        if (!copied)
            return false;
    } while (archive.GoToNextEntry());
    return true;
}

// The shortcuts of an earlier installation go, whatever the outcome of this one.
void RemoveOldShortcuts(SystemShell& shell)
{
    if (shell.IsVistaOrLater())
        shell.UnpinFromTaskbar(Join(shell.QuickLaunchFolder(), std::wstring(kProductName) + L".lnk"));
    shell.DeleteQuickLaunchShortcut(kProductName);
    shell.RemoveStartMenuFolders();
}

void RollBack(const InstallManifest& manifest, SystemShell& shell)
{
    for (const std::wstring& file : manifest.Files())
        shell.RemoveFile(file);
    for (const std::wstring& folder : DeepestFirst(manifest.Folders()))
        shell.RemoveEmptyFolder(folder);
}

template <typename Create>
void CreateShortcuts(const JsonValue& list, const std::wstring& installDir, SystemShell& shell, Create create)
{
    for (uint32_t i = 0; i < list.Size(); ++i) {
        const JsonValue& entry = list.Element(i);
        const std::wstring name = DecodeAnsi(entry.Find("name"));
        const std::wstring target = WithBackslashes(Join(installDir, DecodeAnsi(entry.Find("file"))));
        if (!name.empty() && shell.PathExists(target))
            create(name, target);
    }
}

}  // namespace

std::wstring PercentText(const wchar_t* prefix, long percent)
{
    return std::wstring(prefix) + std::to_wstring(percent) + L"%";
}

bool IsContainedEntryName(const std::wstring& name)
{
    if (name.empty() || name[0] == L'/' || name[0] == L'\\')
        return false;
    if (name.size() >= 2 && name[1] == L':')
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of(L"/\\", start);
        if (end == std::wstring::npos)
            end = name.size();
        std::wstring part = TrimWhiteSpace(name.substr(start, end - start));
        if (part == L".." || part == L".")
            return false;
        start = end + 1;
    }
    return true;
}

std::vector<std::wstring> DeepestFirst(std::vector<std::wstring> folders)
{
    auto depth = [](const std::wstring& path) { return std::count_if(path.begin(), path.end(), [](wchar_t c) {
                                                    return c == L'\\' || c == L'/';
                                                }); };
    std::stable_sort(folders.begin(), folders.end(),
                     [&](const std::wstring& a, const std::wstring& b) { return depth(a) > depth(b); });
    return folders;
}

std::wstring ParentFolder(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool RunInstall(const InstallOptions& options, InstallSurface& surface, SystemShell& shell, std::wstring& programPath)
{
    const std::wstring& installDir = options.installDir;
    JsonValue config;
    PackageTrailer trailer;
    std::unique_ptr<ByteSource> image = shell.OpenOwnImage();
    if (!image || ReadInstallerTrailer(*image, config, trailer) != TrailerStatus::kOk)
        return false;

    // One buffer carries the payload out, every entry in and the uninstaller copy out.
    std::vector<char> buffer(kCopyBufferSize);
    const std::wstring archivePath = shell.TempFolder() + L"\\" + HexName(shell.NewRandom64()) + L".zip";
    if (!CopyPayload(*image, trailer, archivePath, shell, buffer))
        return false;

    surface.SetStatus(PercentText(L"正在复制文件: ", 10));
    surface.SetProgress(10);

    ZipArchive archive;
    const bool emptyArchive = IsEmptyPayload(*image, trailer);
    if (!emptyArchive && !archive.Open(archivePath)) {
        shell.RemoveFile(archivePath);
        return false;
    }
    InstallManifest manifest;
    bool extracted = emptyArchive || Extract(archive, installDir, manifest, surface, shell, buffer);
    archive.Close();
    shell.RemoveFile(archivePath);

    if (shell.IsProcessRunning(L"lumetra.exe") &&
        surface.AskYesNo(LockedProgramQuestion(L"lumetra.exe"), L"关闭占用")) {
        shell.TerminateProcessesByName(L"lumetra.exe");
        shell.Sleep(1000);
    }
    RemoveOldShortcuts(shell);

    if (!extracted) {
        RollBack(manifest, shell);
        return false;
    }

    surface.SetProgress(80);
    const JsonValue& shortcut = config.Find("shortcut");
    if (options.desktopShortcut) {
        surface.SetStatus(PercentText(L"正在创建桌面快捷方式: ", 80));
        surface.SetProgress(80);
        CreateShortcuts(shortcut.Find("desktop"), installDir, shell,
                        [&](const std::wstring& name, const std::wstring& target) {
                            shell.CreateDesktopShortcut(name, target);
                        });
    }
    surface.SetProgress(90);
    if (options.taskbarShortcut) {
        surface.SetStatus(PercentText(L"正在创建任务栏快捷方式: ", 90));
        CreateShortcuts(shortcut.Find("taskbar"), installDir, shell,
                        [&](const std::wstring& name, const std::wstring& target) {
                            shell.CreateQuickLaunchShortcut(name, target);
                            if (shell.IsVistaOrLater())
                                shell.PinToTaskbar(Join(shell.QuickLaunchFolder(), name + L".lnk"));
                        });
    }
    if (options.startMenuShortcut) {
        surface.SetStatus(PercentText(L"正在创建开始菜单快捷方式: ", 90));
        const JsonValue& desktop = shortcut.Find("desktop");
        std::wstring file;
        if (desktop.Size() > 0) {
            const JsonValue& last = desktop.Element(desktop.Size() - 1).Find("file");
            if (last.GetType() == JsonValue::kString)
                file = Widen(last.AsCString(), kCodePageUtf8);
        }
        shell.CreateStartMenuShortcut(WithBackslashes(Join(installDir, file)));
    }

    manifest.SetRoot(installDir);
    manifest.SetShortcuts(shortcut);
    // An archive without entries creates no folder, yet the uninstaller copy must have one.
    shell.EnsureFolder(installDir);
    WriteUninstallerCopy(*image, trailer, manifest.ToDocument(), Join(installDir, kUninstallerFileName), shell,
                         buffer);

    programPath = Join(installDir, DecodeAnsi(config.Find("lastrun")));
    shell.ShellDeleteIfExists(Join(installDir, L"lumetra.exe"));
    shell.WriteUninstallEntry(Join(installDir, kUninstallerFileName));

    if (shell.IsComponentInstalled())
        surface.CompleteInstall();
    else
        surface.StartComponentDownload();
    return true;
}
