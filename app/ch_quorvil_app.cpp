#include "app/ch_quorvil_app.h"

#include <objbase.h>

#include "ui/ch_window.h"

bool RestoreRunningInstance()
{
    HWND first = FindWindowW(nullptr, kMainWindowTitle);
    if (first == nullptr)
        return false;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;  // 44
    if (!GetWindowPlacement(first, &placement))
        return false;
    placement.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(first, &placement);
    BringWindowToTop(first);
    return true;
}

int CHQuorvilApp::InitInstance()
{
    CoInitialize(nullptr);
    // Kept open for the life of the process and never signalled: it only marks that we run.
    CreateEventW(nullptr, TRUE, FALSE, kInstanceEventName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxW(nullptr, L"安装程序已经运行.", L"提示", MB_ICONINFORMATION);
        RestoreRunningInstance();
        return 0;
    }
    m_mainWnd = m_factory();
    HWND window = CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, CHWindow::kClassName, L"Quorvil",
                                  WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 0, 0, nullptr, nullptr, nullptr, m_mainWnd);
    if (window != nullptr)
        m_mainWnd->Attach(window);
    if (m_mainWnd->GetHandle() != nullptr) {
        ShowWindow(m_mainWnd->GetHandle(), m_showCommand);
        UpdateWindow(m_mainWnd->GetHandle());
        return 1;
    }
    delete m_mainWnd;
    m_mainWnd = nullptr;
    return 0;
}

int CHQuorvilApp::ExitInstance()
{
    if (m_mainWnd != nullptr) {
        delete m_mainWnd;
        m_mainWnd = nullptr;
    }
    CoUninitialize();
    return 1;
}
