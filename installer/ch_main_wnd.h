#pragma once

// The first window the user sees. Its creation decides what the run is: it applies the
// elevation rule, reads the package, moves the uninstaller to the temporary folder, loads the UI
// package and builds the install form or the uninstall confirmation. On confirmation it fades
// out and runs the work through its progress window.

#include <string>

#include "installer/ch_process_wnd.h"
#include "ui/resource/ui_resource.h"
#include "ui/ui_frame_window.h"

class UIButton;
class UICheckBox;
class UIEditBox;
class CXEdit;

class CHMainWnd : public UIFrameWindow {
public:
    CHMainWnd() = default;
    ~CHMainWnd() override = default;

    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override;

    // The install button: validates the folder box's text, then fades out and installs.
    LRESULT StartInstall();
    void FadeOutAndStart(bool copyOptions);
    void BrowseForInstallDir();

    // A folder is usable when it is not empty, has a root of two characters or more, and can be
    // created with all missing parents.
    static bool IsUsableInstallDir(const std::wstring& folder);

    CHProcessWnd m_processWnd;
    std::wstring m_installDir;
    int m_mode = 1;
    UIResource m_resource;
    UIButton* m_installButton = nullptr;
    UIButton* m_browseButton = nullptr;
    UICheckBox* m_agreeBox = nullptr;
    UICheckBox* m_desktopBox = nullptr;
    UICheckBox* m_taskbarBox = nullptr;
    UICheckBox* m_startMenuBox = nullptr;
    CXEdit* m_folderBox = nullptr;
    UIEditBox* m_readMeBox = nullptr;

private:
    void BuildInstallForm(const JsonValue& config);
    void BuildConfirmationForm();
    void PrepareProcessWindow();
};
