#include "app/relaunch.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "package/shell_util.h"
#include "package/system_util.h"

bool SystemTokenQueries::IsVistaOrLater()
{
    return ::IsVistaOrLater();
}

bool SystemTokenQueries::GetElevationType(int& type)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION_TYPE elevation = TokenElevationTypeDefault;
    DWORD size = 0;
    bool ok = GetTokenInformation(token, TokenElevationType, &elevation, sizeof elevation, &size) != FALSE;
    CloseHandle(token);
    type = static_cast<int>(elevation);
    return ok;
}

bool SystemTokenQueries::IsLinkedTokenAdmin()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    BYTE sid[SECURITY_MAX_SID_SIZE] = {};  // 68 bytes
    DWORD sidSize = sizeof sid;
    bool admin = false;
    TOKEN_LINKED_TOKEN linked = {};
    DWORD size = 0;
    if (CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) &&
        GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &size)) {
        BOOL member = FALSE;
        admin = CheckTokenMembership(linked.LinkedToken, sid, &member) && member;
        CloseHandle(linked.LinkedToken);
    }
    CloseHandle(token);
    return admin;
}

namespace {

void ShellExecuteRunas(const std::wstring& file, const std::wstring& parameters)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;  // 60 in this 32-bit program
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = L"";
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
}

}  // namespace

void RelaunchElevated(const std::wstring& parameters)
{
    ShellExecuteRunas(GetModulePath(), parameters);
}

void ApplyElevationRule(TokenQueries& queries)
{
    if (!IsElevationNeeded(queries))
        return;
    std::vector<std::wstring> arguments;
    int count = 0;
    LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
    if (list != nullptr) {
        for (int i = 0; i < count; ++i)
            arguments.push_back(list[i]);
        LocalFree(list);
    }
    RelaunchElevated(FormatRelaunchParameters(arguments));
    TerminateProcess(GetCurrentProcess(), 0);
}

std::wstring UninstallerCopyPath(const std::wstring& temporaryFolder)
{
    return temporaryFolder + L"unins001.exe";
}

bool IsUninstallerCopy(const std::wstring& ownPath, const std::wstring& temporaryFolder)
{
    return _wcsicmp(ownPath.c_str(), UninstallerCopyPath(temporaryFolder).c_str()) == 0;
}

void ApplyUninstallerRelaunch()
{
    const std::wstring temporaryFolder = GetTempFolder();
    const std::wstring ownPath = GetModulePath();
    if (IsUninstallerCopy(ownPath, temporaryFolder))
        return;
    const std::wstring target = UninstallerCopyPath(temporaryFolder);
    ShellCopyFile(ownPath, target);
    if (IsVistaOrLater())
        ShellExecuteRunas(target, L"");
    else
        ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
    TerminateProcess(GetCurrentProcess(), 0);
}
