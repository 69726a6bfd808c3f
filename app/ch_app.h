#pragma once

// The application object: the entry point's values, the window class, and the message loop that
// offers every message to the bound windows before translating and dispatching it.

#include <windows.h>

class CHWindow;

class CHApp {
public:
    virtual ~CHApp() = default;
    // Nonzero starts the message loop.
    virtual int InitInstance() = 0;
    virtual int ExitInstance() = 0;
    virtual CHWindow* GetMainWnd() = 0;

    // Keeps the entry point's values and registers the "CHWindow" class; false when the class
    // cannot be registered.
    bool Initialize(int showCommand, LPWSTR commandLine, HINSTANCE instance, HINSTANCE previousInstance);
    // Pumps messages until WM_QUIT, then ExitInstance; returns the quit code.
    int Run();

    HINSTANCE GetInstance() const { return m_instance; }
    int GetShowCommand() const { return m_showCommand; }

protected:
    int m_showCommand = 0;
    LPWSTR m_commandLine = nullptr;
    HINSTANCE m_instance = nullptr;
    HINSTANCE m_previousInstance = nullptr;
};

// The one application object of the process, set during static initialisation.
extern CHApp* CurrentApp;

// The entry point's work: initialise, create the main window, run the loop.
int RunApplication(CHApp& app, HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);
