#pragma once

// The progress window shown while the install or uninstall runs: a status label, a progress bar
// and a cancel button shown only during the component download. It owns the result windows and
// the one worker thread, receives the completion message, fades out and hands over.

#include <string>

#include "app/worker_thread.h"
#include "installer/ch_success_wnd.h"
#include "installer/ch_success_wnd2.h"
#include "installer/system_shell.h"
#include "ui/ui_frame_window.h"

class UILabel;
class UIProgress;
class UIButton;

class CHProcessWnd : public UIFrameWindow {
public:
    CHProcessWnd() = default;
    ~CHProcessWnd() override;

    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnClose(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;

    // Runs the install or uninstall on this thread; on failure shows the message and ends the
    // process with exit code 1. Returns only after success.
    void RunSetupWork();
    void FadeOutAndHandOver();
    // Shows the cancel button, says the download is being prepared and starts the worker.
    void StartComponentDownload();

    UILabel* m_label = nullptr;
    UIProgress* m_progress = nullptr;
    UIButton* m_cancelButton = nullptr;
    int m_isInstall = 0;
    int m_desktopShortcut = 1;
    int m_taskbarShortcut = 1;
    int m_startMenuShortcut = 1;
    std::wstring m_installDir;
    std::wstring m_programPath;
    std::wstring m_setupPath;
    WorkerThread m_worker;
    CHSuccessWnd m_successWnd;
    CHSuccessWnd2 m_farewellWnd;

    static constexpr int kCancelId = 2002;
};
