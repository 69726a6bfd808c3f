#include "installer/ch_main_wnd.h"

#include <shlobj.h>
#include <shlwapi.h>

#include "app/ch_app.h"
#include "app/ch_quorvil_app.h"
#include "app/relaunch.h"
#include "installer/window_messages.h"
#include "package/own_package.h"
#include "package/package_config.h"
#include "package/shell_util.h"
#include "ui/controls/cx_edit.h"
#include "ui/controls/ui_button.h"
#include "ui/controls/ui_check_box.h"
#include "ui/controls/ui_edit_box.h"
#include "ui/controls/ui_label.h"

namespace {

constexpr int kCloseId = 1000;
constexpr int kInstallId = 1001;
constexpr int kAgreeId = 1002;
constexpr int kBrowseId = 1005;
constexpr int kUninstallId = 1001;
constexpr int kCancelId = 1002;

}  // namespace

LRESULT CHMainWnd::OnCreate(WPARAM, LPARAM)
{
    StripCaption();
    SetWindowTextW(m_hWnd, kMainWindowTitle);

    SystemTokenQueries tokens;
    ApplyElevationRule(tokens);

    JsonValue config;
    if (!ReadPackageConfig(config) || DecideRole(config) == PackageRole::kRejected) {
        MessageBoxW(m_hWnd, L"安装包校验失败, 操作终止.", L"", MB_ICONERROR);
        TerminateProcess(GetCurrentProcess(), 0);
        return -1;
    }
    m_mode = static_cast<int>(static_cast<uint32_t>(config.Find("mode").AsInt64()));
    if (m_mode == 0)
        ApplyUninstallerRelaunch();

    m_resource.LoadFromModule(CurrentApp != nullptr ? CurrentApp->GetInstance() : GetModuleHandleW(nullptr), L"UIR",
                              129);
    if (m_mode != 0)
        BuildInstallForm(config);
    else
        BuildConfirmationForm();
    CenterWindow();
    MakeLayered();
    return 0;
}

void CHMainWnd::BuildInstallForm(const JsonValue& config)
{
    UIFrameWindow::LoadFromResource(&m_resource, "MainWindow", nullptr);
    m_installButton =
        static_cast<UIButton*>(CreateControl("MainWindow/InstallButton2", &m_resource, kControlButton, this));
    m_installButton->SetText(L"立即安装");
    struct {
        UICheckBox** box;
        const char* path;
        const wchar_t* text;
    } boxes[] = {
        {&m_desktopBox, "MainWindow/CheckBoxDesktop", L"建立桌面快捷方式"},
        {&m_taskbarBox, "MainWindow/CheckBoxTaskbar", L"建立任务栏快捷方式"},
        {&m_startMenuBox, "MainWindow/CheckBoxStartMenu", L"建立开始菜单快捷方式"},
        {&m_agreeBox, "MainWindow/CheckBoxAgree", L"我同意用户协议"},
    };
    for (auto& b : boxes) {
        *b.box = static_cast<UICheckBox*>(CreateControl(b.path, &m_resource, kControlCheckBox, this));
        (*b.box)->SetText(b.text);
        (*b.box)->SetChecked();
    }
    m_folderBox = new CXEdit;
    m_folderBox->LoadFromResource(&m_resource, "MainWindow/EditBoxPath", nullptr);
    AddChild(m_folderBox);
    m_installDir = GetSpecialFolder(CSIDL_PROGRAM_FILES) + L"\\lumetra(ios)";
    m_folderBox->SetText(m_installDir.c_str());
    m_browseButton =
        static_cast<UIButton*>(CreateControl("MainWindow/ButtonBrowser", &m_resource, kControlButton, this));
    m_browseButton->SetText(L"更换目录");
    PrepareProcessWindow();
    m_readMeBox =
        static_cast<UIEditBox*>(CreateControl("MainWindow/EditBoxReadMe", &m_resource, kControlEditBox, this));
    m_readMeBox->SetScrollMode(true);
    m_readMeBox->Invalidate(nullptr, TRUE);
    m_readMeBox->SetText(DecodeProtocol(config).c_str());
    SetWindowSize(670, 680);
}

void CHMainWnd::BuildConfirmationForm()
{
    UIFrameWindow::LoadFromResource(&m_resource, "MainWindow2", nullptr);
    auto* label = static_cast<UILabel*>(CreateControl("MainWindow2/Label1", &m_resource, kControlLabel, this));
    auto* ok = static_cast<UIButton*>(CreateControl("MainWindow2/ButtonOK", &m_resource, kControlButton, this));
    auto* cancel = static_cast<UIButton*>(CreateControl("MainWindow2/ButtonCancel", &m_resource, kControlButton, this));
    label->SetText(L"您确认卸载Varnholt手机助手吗？");
    ok->SetText(L"卸载");
    cancel->SetText(L"取消");
    PrepareProcessWindow();
    SetWindowSize(670, 330);
}

void CHMainWnd::PrepareProcessWindow()
{
    m_processWnd.m_isInstall = m_mode;
    m_processWnd.Create(m_hWnd, 0, 0, WS_POPUP, L"", 0);
    m_processWnd.LoadFromResource(&m_resource, "ProcessWindow", nullptr);
}

LRESULT CHMainWnd::OnDestroy(WPARAM wParam, LPARAM lParam)
{
    PostQuitMessage(0);
    return Default(WM_DESTROY, wParam, lParam);
}

LRESULT CHMainWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_COMMAND, wParam, lParam);
    HWND parent = GetParent(m_hWnd);
    if (parent != nullptr)
        SendMessageW(parent, WM_COMMAND, wParam, lParam);
    const int id = LOWORD(wParam);
    if (m_mode != 0) {
        switch (id) {
        case kCloseId:
            SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case kInstallId:
            return StartInstall();
        case kAgreeId:
            m_installButton->SetEnabledFlag(m_agreeBox->IsChecked());
            m_installButton->Invalidate(nullptr, TRUE);
            break;
        case kBrowseId:
            BrowseForInstallDir();
            break;
        default:
            break;
        }
    } else {
        switch (id) {
        case kCloseId:
        case kCancelId:
            SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case kUninstallId:
            FadeOutAndStart(false);
            break;
        default:
            break;
        }
    }
    return result;
}

bool CHMainWnd::IsUsableInstallDir(const std::wstring& folder)
{
    if (folder.empty())
        return false;
    wchar_t root[MAX_PATH * 2] = L"";
    lstrcpynW(root, folder.c_str(), MAX_PATH * 2);
    PathStripToRootW(root);
    if (lstrlenW(root) < 2)
        return false;
    return EnsureFolder(folder);
}

LRESULT CHMainWnd::StartInstall()
{
    m_installDir = m_folderBox->GetText();
    if (!IsUsableInstallDir(m_installDir)) {
        MessageBoxW(m_hWnd, L"安装目录有误, 请重新输入.", L"", MB_ICONERROR);
        return 0;
    }
    FadeOutAndStart(true);
    return 0;
}

void CHMainWnd::FadeOutAndStart(bool copyOptions)
{
    FadeOutWindow(m_hWnd, IsLayered(), m_replacing != FALSE);
    SetWindowSize(1, 1);
    Invalidate(nullptr, TRUE);
    ShowWindow(m_processWnd.GetHandle(), SW_SHOW);
    SetWindowPos(m_processWnd.GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    if (copyOptions) {
        m_processWnd.m_installDir = m_installDir;
        m_processWnd.m_desktopShortcut = m_desktopBox->IsChecked() ? 1 : 0;
        m_processWnd.m_taskbarShortcut = m_taskbarBox->IsChecked() ? 1 : 0;
        m_processWnd.m_startMenuShortcut = m_startMenuBox->IsChecked() ? 1 : 0;
    }
    m_processWnd.RunSetupWork();
}

void CHMainWnd::BrowseForInstallDir()
{
    std::wstring kept = m_installDir;
    if (BrowseForFolder(m_installDir, m_hWnd)) {
        // A drive root gets the product's own folder; anything longer is used as chosen.
        if (m_installDir.size() <= 3)
            m_installDir += L"lumetra(ios)";
        m_folderBox->SetText(m_installDir.c_str());
    } else {
        m_installDir = kept;
    }
}
