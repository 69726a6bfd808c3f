#pragma once

// The installer's application object: one instance per system (marked by a named event), and a
// main window whose creation decides everything else.

#include "app/ch_app.h"

class CHQuorvilApp : public CHApp {
public:
    // Makes the (not yet created) main window object; the shipped program makes its CHMainWnd.
    using MainWindowFactory = CHWindow* (*)();

    explicit CHQuorvilApp(MainWindowFactory factory) : m_factory(factory) {}
    ~CHQuorvilApp() override = default;

    int InitInstance() override;
    int ExitInstance() override;
    CHWindow* GetMainWnd() override { return m_mainWnd; }

private:
    MainWindowFactory m_factory;
    CHWindow* m_mainWnd = nullptr;
};

// Finds the running instance's main window by its title and restores it to its normal placement
// on top; false when there is no such window or its placement cannot be read.
bool RestoreRunningInstance();

// Names that mark and find a running instance.
inline constexpr wchar_t kInstanceEventName[] = L"Quorvil-Tarnwick";
inline constexpr wchar_t kMainWindowTitle[] = L"Varnholt手机助手苹果版 安装程序";
