#include "app/ch_app.h"

#include "ui/ch_window.h"

CHApp* CurrentApp = nullptr;

int RunApplication(CHApp& app, HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand)
{
    if (!app.Initialize(showCommand, commandLine, instance, previousInstance))
        return 0;
    if (!app.InitInstance())
        return 0;
    return app.Run();
}

bool CHApp::Initialize(int showCommand, LPWSTR commandLine, HINSTANCE instance, HINSTANCE previousInstance)
{
    m_showCommand = showCommand;
    m_commandLine = commandLine;
    m_instance = instance;
    m_previousInstance = previousInstance;
    return CHWindow::RegisterWindowClass(instance) != 0;
}

int CHApp::Run()
{
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (CHWindow::PreTranslate(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    ExitInstance();
    return static_cast<int>(message.wParam);
}
