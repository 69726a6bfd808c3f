#include "installer/process_finder.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include <functional>

namespace {

// PROCESS_ALL_ACCESS as the Windows XP headers define it; it opens processes on every version.
constexpr DWORD kProcessAllAccessXp = 0x1F0FFF;

// Calls visit for every process whose executable name matches; stops when visit returns false.
// False when the snapshot cannot be taken.
bool ForEachMatch(const std::wstring& pathOrName, const std::function<bool(const PROCESSENTRY32W&)>& visit)
{
    const wchar_t* name = PathFindFileNameW(pathOrName.c_str());
    if (name == nullptr || *name == L'\0')
        return true;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, name) == 0 && !visit(entry))
            break;
    }
    CloseHandle(snapshot);
    return true;
}

}  // namespace

bool IsProcessRunning(const std::wstring& pathOrName)
{
    bool found = false;
    ForEachMatch(pathOrName, [&](const PROCESSENTRY32W&) {
        found = true;
        return false;
    });
    return found;
}

void TerminateProcessesByName(const std::wstring& pathOrName)
{
    const DWORD self = GetCurrentProcessId();
    ForEachMatch(pathOrName, [&](const PROCESSENTRY32W& entry) {
        if (entry.th32ProcessID == self)
            return true;
        HANDLE process = OpenProcess(kProcessAllAccessXp, FALSE, entry.th32ProcessID);
        if (process != nullptr) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
        return true;
    });
}

DWORD FindProcessIdByName(const std::wstring& name)
{
    DWORD id = 0;
    ForEachMatch(name, [&](const PROCESSENTRY32W& entry) {
        id = entry.th32ProcessID;
        return false;
    });
    return id;
}
