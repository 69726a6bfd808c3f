// The start-up as the shipped program runs it, with a main window that reports what happened
// into the file named by QV_PROBE_OUT. QV_PROBE_SCENARIO chooses what the window does:
//   single       shows itself, minimises, reports when it is restored, and ends when the file
//                named by QV_PROBE_STOP appears;
//   elevation    applies the elevation rule with a limited administrator token (the relaunched
//                child, marked by QV_PROBE_CHILD, writes its command line instead);
//   uninstaller  applies the uninstaller's relaunch rule (the copy writes its own path).

#include <windows.h>

#include <string>

#include "app/ch_quorvil_app.h"
#include "app/relaunch.h"
#include "package/conversion_pool.h"
#include "package/file_io.h"
#include "package/shell_util.h"
#include "ui/ch_window.h"

namespace {

std::wstring Environment(const wchar_t* name)
{
    wchar_t buffer[1024] = L"";
    DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return (n > 0 && n < 1024) ? std::wstring(buffer, n) : std::wstring();
}

void Report(const std::wstring& text)
{
    WriteWholeFile(Environment(L"QV_PROBE_OUT"), Narrow(text, kCodePageUtf8));
}

// A limited administrator token in the first process; the relaunched child has the full one.
class LimitedAdministrator : public TokenQueries {
public:
    explicit LimitedAdministrator(bool child) : m_child(child) {}
    bool IsVistaOrLater() override { return true; }
    bool GetElevationType(int& type) override
    {
        type = m_child ? 2 : kTokenElevationTypeLimited;
        return true;
    }
    bool IsLinkedTokenAdmin() override { return true; }

private:
    bool m_child;
};

class ProbeMainWnd : public CHWindow {
public:
    LRESULT OnCreate(WPARAM, LPARAM) override
    {
        SetWindowTextW(m_hWnd, kMainWindowTitle);
        const std::wstring scenario = Environment(L"QV_PROBE_SCENARIO");
        if (scenario == L"elevation") {
            bool child = !Environment(L"QV_PROBE_CHILD").empty();
            LimitedAdministrator tokens(child);
            SetEnvironmentVariableW(L"QV_PROBE_CHILD", L"1");
            ApplyElevationRule(tokens);  // ends this process unless it is the child
            if (child)
                Report(GetCommandLineW());
            return -1;
        }
        if (scenario == L"uninstaller") {
            ApplyUninstallerRelaunch();  // ends this process unless it is the copy
            Report(GetModulePath());
            return -1;
        }
        SetWindowSize(300, 200);
        CenterWindow();
        SetTimer(m_hWnd, 1, 100, nullptr);
        return 0;
    }
    LRESULT OnTimer(WPARAM, LPARAM) override
    {
        if (!m_minimised) {
            ShowWindow(m_hWnd, SW_MINIMIZE);
            m_minimised = IsIconic(m_hWnd) != FALSE;
            if (m_minimised)
                Report(L"minimised");
        } else if (!m_restored && !IsIconic(m_hWnd)) {
            m_restored = true;
            Report(L"restored");
        }
        if (GetFileAttributesW(Environment(L"QV_PROBE_STOP").c_str()) != INVALID_FILE_ATTRIBUTES)
            DestroyWindow(m_hWnd);
        return 0;
    }
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override
    {
        PostQuitMessage(0);
        return CHWindow::OnDestroy(wParam, lParam);
    }

private:
    bool m_minimised = false;
    bool m_restored = false;
};

CHWindow* MakeProbeMainWnd()
{
    return new ProbeMainWnd;
}

CHQuorvilApp g_app(&MakeProbeMainWnd);
const bool g_registered = (CurrentApp = &g_app, true);

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand)
{
    return RunApplication(*CurrentApp, instance, previousInstance, commandLine, showCommand);
}
