#pragma once

// The sequences' system, for native tests: real files and folders in a temporary folder (the
// sequences' Windows-style paths are mapped onto it), recorded shell, registry and process
// calls, and a package held in memory.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "installer/system_shell.h"

class RecordingSurface : public InstallSurface {
public:
    std::vector<std::wstring> statuses;
    std::vector<int> progress;
    std::vector<std::wstring> questions;
    bool answer = true;
    int completed = 0;
    int downloads = 0;
    int handovers = 0;

    void SetStatus(const std::wstring& text) override { statuses.push_back(text); }
    void SetProgress(int position) override { progress.push_back(position); }
    bool AskYesNo(const std::wstring& text, const std::wstring& caption) override
    {
        questions.push_back(caption + L"|" + text);
        return answer;
    }
    void CompleteInstall() override { ++completed; }
    void StartComponentDownload() override { ++downloads; }
    void HandOverAfterUninstall() override { ++handovers; }
};

class FakeSystem : public SystemShell {
public:
    // A temporary folder of its own; removed when the object dies.
    FakeSystem();
    ~FakeSystem() override;

    // The Windows-style root to install under, and the host path of any Windows-style path.
    std::wstring Root() const { return m_root; }
    static std::string Host(const std::wstring& path);

    // The package this "program" carries, and the manifest an uninstaller reads.
    std::string image;
    bool packageReadable = true;
    // Reads of the image reaching past this many bytes fail, as a damaged disk would.
    uint64_t readableBytes = UINT64_MAX;
    JsonValue ownConfig;

    bool vista = true;
    bool componentInstalled = true;
    std::set<std::wstring> runningPrograms;
    // Paths whose next opens for writing fail, as if a running program held them.
    std::multiset<std::wstring> lockedOpens;
    // Paths whose writes stop storing after this many bytes, as on a full disk.
    std::map<std::wstring, size_t> fullDiskAfter;
    // Paths whose next deletes fail.
    std::multiset<std::wstring> lockedDeletes;
    std::vector<std::wstring> calls;  // shell, registry and process calls, in order
    std::vector<unsigned> sleeps;

    std::unique_ptr<ByteSource> OpenOwnImage() override;
    bool ReadOwnConfig(JsonValue& config) override;
    std::wstring TempFolder() override { return m_root + L"\\temp\\"; }
    uint64_t NewRandom64() override { return 0x0123456789ABCDEFull; }
    bool IsVistaOrLater() override { return vista; }

    bool WriteWholeFile(const std::wstring& path, const std::string& bytes) override;
    bool EnsureFolder(const std::wstring& path) override;
    std::unique_ptr<FileWriter> OpenForWrite(const std::wstring& path) override;
    bool RemoveFile(const std::wstring& path) override;
    bool RemoveEmptyFolder(const std::wstring& path) override;
    bool PathExists(const std::wstring& path) override;
    bool IsDirectoryEmpty(const std::wstring& path) override;
    bool ShellDeleteIfExists(const std::wstring& path) override;
    bool ShellDeleteFolder(const std::wstring& path) override;
    void Sleep(unsigned milliseconds) override { sleeps.push_back(milliseconds); }

    bool IsProcessRunning(const std::wstring& name) override { return runningPrograms.count(name) != 0; }
    void TerminateProcessesByName(const std::wstring& name) override;

    std::wstring QuickLaunchFolder() override { return L"QL"; }
    bool CreateDesktopShortcut(const std::wstring& name, const std::wstring& target) override;
    bool CreateQuickLaunchShortcut(const std::wstring& name, const std::wstring& target) override;
    bool DeleteDesktopShortcut(const std::wstring& name) override;
    bool DeleteQuickLaunchShortcut(const std::wstring& name) override;
    void PinToTaskbar(const std::wstring& file) override { calls.push_back(L"pin " + file); }
    void UnpinFromTaskbar(const std::wstring& file) override { calls.push_back(L"unpin " + file); }
    void CreateStartMenuShortcut(const std::wstring& target) override { calls.push_back(L"startmenu " + target); }
    void RemoveStartMenuFolders() override { calls.push_back(L"remove startmenu"); }
    void WriteUninstallEntry(const std::wstring& path) override { calls.push_back(L"registry " + path); }
    void DeleteUninstallEntry() override { calls.push_back(L"registry delete"); }
    bool IsComponentInstalled() override { return componentInstalled; }

    bool HasCall(const std::wstring& call) const;
    // Relative paths of every file and folder under the root (folders end with "/"), sorted.
    std::vector<std::string> Tree() const;

private:
    std::wstring m_root;
};
