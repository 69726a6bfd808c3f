#include "installer/ch_process_wnd.h"

#include <shellapi.h>

#include "installer/component_download.h"
#include "installer/install_sequence.h"
#include "installer/process_finder.h"
#include "installer/uninstall_sequence.h"
#include "installer/win32_system_shell.h"
#include "installer/window_messages.h"
#include "package/shell_util.h"
#include "ui/controls/ui_button.h"
#include "ui/controls/ui_label.h"
#include "ui/controls/ui_progress.h"

namespace {

// The process window as the install and uninstall sequences see it.
class ProcessSurface : public InstallSurface {
public:
    explicit ProcessSurface(CHProcessWnd& window) : m_window(window) {}
    void SetStatus(const std::wstring& text) override { m_window.m_label->SetText(text.c_str()); }
    void SetProgress(int position) override { m_window.m_progress->SetPos(position); }
    bool AskYesNo(const std::wstring& text, const std::wstring& caption) override
    {
        return MessageBoxW(m_window.GetHandle(), text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    void CompleteInstall() override { SendMessageW(m_window.GetHandle(), WM_INSTALL_COMPLETE, 0, 0); }
    void StartComponentDownload() override { m_window.StartComponentDownload(); }
    void HandOverAfterUninstall() override { m_window.FadeOutAndHandOver(); }

private:
    CHProcessWnd& m_window;
};

// The process window and the system as the download worker sees them, on the worker thread.
class ProcessComponentHost : public ComponentHost {
public:
    ProcessComponentHost(CHProcessWnd& window) : m_window(window) {}
    void SetStatus(const std::wstring& text) override { m_window.m_label->SetText(text.c_str()); }
    void HideCancelButton() override { m_window.m_cancelButton->SetVisible(false); }
    bool IsCancelRequested() override { return m_window.m_worker.cancelRequested != 0; }
    bool IsWow64() override
    {
        using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
        auto function = reinterpret_cast<IsWow64ProcessFunction>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process")));
        BOOL wow64 = FALSE;
        return function != nullptr && function(GetCurrentProcess(), &wow64) && wow64;
    }
    std::wstring SetupPath() override { return m_window.m_setupPath; }
    void LeaveTopmost() override
    {
        SetWindowPos(m_window.GetHandle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    void RunAndWait(const std::wstring& path) override
    {
        ShellExecuteW(nullptr, L"open", path.c_str(), L"", nullptr, SW_SHOW);
        DWORD id = FindProcessIdByName(L"iTunesSetup.exe");
        HANDLE process = id != 0 ? OpenProcess(PROCESS_ALL_ACCESS, FALSE, id) : nullptr;
        if (process != nullptr) {
            WaitForSingleObject(process, INFINITE);
            CloseHandle(process);
        }
    }
    bool AskForWebPage(const std::wstring& text, const std::wstring& caption) override
    {
        return MessageBoxW(m_window.GetHandle(), text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    void OpenWebPage(const std::wstring& address) override
    {
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
    }
    void RemoveFile(const std::wstring& path) override { DeleteFileW(path.c_str()); }
    void CompleteInstall() override
    {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(m_window.GetHandle(), WM_INSTALL_COMPLETE, 0, 0, SMTO_BLOCK, 0, &ignored);
    }

private:
    CHProcessWnd& m_window;
};

int ComponentDownloadWorker(WorkerThread*, void* context)
{
    auto* window = static_cast<CHProcessWnd*>(context);
    window->m_setupPath = GetTempFolder() + L"iTunesSetup.exe";
    ProcessComponentHost host(*window);
    return RunComponentDownload(host, DefaultComponentDownloadSettings());
}

}  // namespace

CHProcessWnd::~CHProcessWnd()
{
    m_worker.Stop();
}

LRESULT CHProcessWnd::OnCreate(WPARAM, LPARAM)
{
    StripCaption();
    SetWindowSize(670, 300);
    CenterWindow();
    MakeLayered();
    CHWindow& result = m_isInstall ? static_cast<CHWindow&>(m_successWnd) : static_cast<CHWindow&>(m_farewellWnd);
    HWND window = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, m_hWnd, nullptr, nullptr, &result);
    if (window != nullptr)
        result.Attach(window);
    return 0;
}

int CHProcessWnd::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    if (m_isInstall)
        m_successWnd.LoadFromResource(resource, "SuccessWindow", nullptr);
    else
        m_farewellWnd.LoadFromResource(resource, "SuccessWindow2", nullptr);
    m_label = static_cast<UILabel*>(CreateControl("ProcessWindow/Label1", resource, kControlLabel, this));
    m_progress = static_cast<UIProgress*>(CreateControl("ProcessWindow/Progress1", resource, kControlProgress, this));
    m_cancelButton =
        static_cast<UIButton*>(CreateControl("ProcessWindow/ButtonCancel", resource, kControlButton, this));
    m_progress->SetRange(0, 100);
    m_progress->Invalidate(nullptr, TRUE);
    m_cancelButton->SetText(L"取消");
    m_cancelButton->Invalidate(nullptr, TRUE);
    m_cancelButton->SetVisible(false);
    m_label->SetText(m_isInstall ? L"准备安装..." : L"准备卸载...");
    return UIFrameWindow::LoadFromResource(resource, path, start);
}

LRESULT CHProcessWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kCancelId) {
        m_worker.cancelRequested = 1;
        m_cancelButton->SetEnabledFlag(false);
        m_cancelButton->Invalidate(nullptr, TRUE);
        return 0;
    }
    return UIFrameWindow::OnCommand(wParam, lParam);
}

LRESULT CHProcessWnd::OnTimer(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CHProcessWnd::OnClose(WPARAM, LPARAM)
{
    return 0;
}

LRESULT CHProcessWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INSTALL_COMPLETE) {
        m_label->SetText(L"安装完毕: 100%");
        m_progress->SetPos(100);
        m_progress->Invalidate(nullptr, TRUE);
        FadeOutAndHandOver();
        return 0;
    }
    return UIFrameWindow::OnMessage(message, wParam, lParam);
}

void CHProcessWnd::FadeOutAndHandOver()
{
    FadeOutWindow(m_hWnd, IsLayered(), m_replacing != FALSE);
    SetWindowSize(1, 1);
    Invalidate(nullptr, TRUE);
    CHWindow& result = m_isInstall ? static_cast<CHWindow&>(m_successWnd) : static_cast<CHWindow&>(m_farewellWnd);
    if (m_isInstall)
        m_successWnd.SetProgramPath(m_programPath);
    ShowWindow(result.GetHandle(), SW_SHOW);
    SetWindowPos(result.GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void CHProcessWnd::StartComponentDownload()
{
    m_cancelButton->SetVisible(true);
    m_label->SetText(L"准备下载必需组件iTunes, 请耐心等候...");
    m_worker.Start(&ComponentDownloadWorker, this);
}

void CHProcessWnd::RunSetupWork()
{
    Win32SystemShell shell;
    ProcessSurface surface(*this);
    bool ok;
    if (m_isInstall) {
        InstallOptions options;
        options.installDir = m_installDir;
        options.desktopShortcut = m_desktopShortcut != 0;
        options.taskbarShortcut = m_taskbarShortcut != 0;
        options.startMenuShortcut = m_startMenuShortcut != 0;
        ok = RunInstall(options, surface, shell, m_programPath);
    } else {
        ok = RunUninstall(surface, shell);
    }
    if (!ok) {
        MessageBoxW(m_hWnd, m_isInstall ? L"安装包校验失败, 操作终止." : L"卸载出现错误, 操作中止.", nullptr,
                    MB_ICONERROR);
        TerminateProcess(GetCurrentProcess(), 1);
    }
}
