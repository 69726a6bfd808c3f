// skin_preview: shows one window of a UI resource package the way the program builds it (the
// frame, the controls made through the control factory, the texts the windows set), so a
// designer can look at the skin without running an install, and the screenshot test can check
// the pixels on a virtual screen.
//
//   skin_preview PACKAGE.uir WINDOW [--licence FILE] [--backdrop]
//                [--ready FILE] [--stop FILE] [--exit-after-paint]
//
// WINDOW is MainWindow, MainWindow2, ProcessWindow, SuccessWindow or SuccessWindow2.
// Exit codes: 0 shown and painted, 2 bad usage, 3 the package does not load, 4 the package lacks
// a node the window needs, 5 an image of the package does not decode.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "package/conversion_pool.h"
#include "package/file_io.h"
#include "ui/controls/cx_edit.h"
#include "ui/controls/ui_button.h"
#include "ui/controls/ui_check_box.h"
#include "ui/controls/ui_edit_box.h"
#include "ui/controls/ui_label.h"
#include "ui/controls/ui_progress.h"
#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"
#include "ui/ui_frame_window.h"

namespace {

// What the screenshots sit on: a calm desktop colour, so the windows' shadows and rounded
// corners show as they would on a real desktop.
constexpr COLORREF kBackdropColour = RGB(0xD9, 0xDE, 0xE4);
// Far above the small numbers the element timers take.
constexpr UINT_PTR kStopTimer = 0x5E00;

const wchar_t kSampleLicence[] =
    L"Varnholt手机助手苹果版 软件许可协议\r\n\r\n"
    L"欢迎您使用 Varnholt手机助手苹果版（以下简称\"本软件\"）。在安装和使用本软件之前，请您仔细阅读本协议的全部内容。"
    L"您点击\"同意\"或开始安装，即表示您已阅读、理解并接受本协议的全部条款。\r\n\r\n"
    L"一、许可范围\r\n"
    L"1. 本软件的发行方授予您一项个人的、不可转让的、非独占的许可，允许您在自己拥有的计算机上安装和使用本软件的一份副本。\r\n"
    L"2. 您可以使用本软件管理您自己的苹果移动设备中的照片、音乐、视频、通讯录和应用程序。\r\n";

struct Options {
    std::wstring package;
    std::wstring window;
    std::wstring licenceFile;
    std::wstring readyFile;
    std::wstring stopFile;
    bool backdrop = false;
    bool exitAfterPaint = false;
};

void Report(const char* format, const std::string& detail)
{
    std::fprintf(stderr, "skin_preview: ");
    std::fprintf(stderr, format, detail.c_str());
    std::fprintf(stderr, "\n");
}

std::string Narrow(const std::wstring& text)
{
    ConversionPool pool;
    return NarrowText(text.c_str(), pool, kCodePageUtf8);
}

// Tells the outside world when the window has painted, and ends the preview when asked to:
// after the first paint, or when the stop file appears.
class PaintReport {
public:
    explicit PaintReport(const Options& options) : m_options(options) {}

    void AfterPaint(HWND window)
    {
        if (m_reported)
            return;
        m_reported = true;
        if (!m_options.readyFile.empty())
            WriteWholeFile(m_options.readyFile, "ready");
        if (m_options.exitAfterPaint)
            PostMessageW(window, WM_CLOSE, 0, 0);
        else if (!m_options.stopFile.empty())
            SetTimer(window, kStopTimer, 100, nullptr);
    }

    void CheckStop(HWND window)
    {
        if (GetFileAttributesW(m_options.stopFile.c_str()) != INVALID_FILE_ATTRIBUTES)
            DestroyWindow(window);
    }

private:
    const Options& m_options;
    bool m_reported = false;
};

// The frame windows: the install form, the uninstall question, the progress window and the
// farewell window. Like the install form, it greys the install button out while the agreement
// box is cleared.
class PreviewFrame : public UIFrameWindow {
public:
    explicit PreviewFrame(const Options& options) : m_report(options) {}

    UIButton* installButton = nullptr;
    UICheckBox* agreeBox = nullptr;

    LRESULT OnCommand(WPARAM wParam, LPARAM) override
    {
        if (LOWORD(wParam) == 1002 && agreeBox != nullptr && installButton != nullptr) {
            installButton->SetEnabledFlag(agreeBox->IsChecked());
            installButton->Invalidate(nullptr, TRUE);
        }
        return 0;
    }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = UIFrameWindow::OnMessage(message, wParam, lParam);
        if (message == WM_LAYERED_PAINT)
            m_report.AfterPaint(m_hWnd);
        return result;
    }
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam) override
    {
        // The base ends timers it does not know, so the stop timer never reaches it.
        if (wParam != kStopTimer)
            return UIFrameWindow::OnTimer(wParam, lParam);
        m_report.CheckStop(m_hWnd);
        return 0;
    }
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override
    {
        PostQuitMessage(0);
        return UIFrameWindow::OnDestroy(wParam, lParam);
    }

private:
    PaintReport m_report;
};

// The completion window: a plain skinned pop-up that draws one picture, with its start and
// close buttons over it.
class PreviewPicture : public UIObject {
public:
    explicit PreviewPicture(const Options& options) : m_report(options) {}

    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override
    {
        const JsonValue* node = resource->FindNode(path, start);
        m_background = resource->GetImageStyle("bkgnd", node);
        for (const char* child : {"Button1", "SysBtns/Close"}) {
            UIButton* button = new UIButton;
            button->LoadFromResource(resource, child, node);
            AddChild(button);
        }
        return 1;
    }
    void DrawElement(HDC dc, const RECT* ownRect, const RECT*) override { DrawImageStyle(*ownRect, m_background, dc); }
    LRESULT OnCommand(WPARAM, LPARAM) override { return 0; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = UIObject::OnMessage(message, wParam, lParam);
        if (message == WM_LAYERED_PAINT)
            m_report.AfterPaint(m_hWnd);
        return result;
    }
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam) override
    {
        // The base ends timers it does not know, so the stop timer never reaches it.
        if (wParam != kStopTimer)
            return UIObject::OnTimer(wParam, lParam);
        m_report.CheckStop(m_hWnd);
        return 0;
    }
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override
    {
        PostQuitMessage(0);
        return UIObject::OnDestroy(wParam, lParam);
    }

private:
    PaintReport m_report;
    ImageStyle m_background;
};

// The nodes each window reads; a package without one of them cannot show that window as the
// program does.
const std::vector<const char*>& RequiredNodes(const std::wstring& window)
{
    static const std::vector<const char*> none;
    static const std::vector<const char*> main = {
        "MainWindow/Client", "MainWindow/Frames", "MainWindow/SysBtns/Close", "MainWindow/InstallButton2",
        "MainWindow/CheckBoxDesktop", "MainWindow/CheckBoxTaskbar", "MainWindow/CheckBoxStartMenu",
        "MainWindow/CheckBoxAgree", "MainWindow/EditBoxPath", "MainWindow/ButtonBrowser",
        "MainWindow/EditBoxReadMe"};
    static const std::vector<const char*> question = {
        "MainWindow2/Client", "MainWindow2/Frames", "MainWindow2/Label1", "MainWindow2/ButtonOK",
        "MainWindow2/ButtonCancel"};
    static const std::vector<const char*> progress = {
        "ProcessWindow/Client", "ProcessWindow/Frames", "ProcessWindow/Label1", "ProcessWindow/Progress1",
        "ProcessWindow/ButtonCancel"};
    static const std::vector<const char*> completion = {
        "SuccessWindow/bkgnd", "SuccessWindow/Button1", "SuccessWindow/SysBtns/Close"};
    static const std::vector<const char*> farewell = {
        "SuccessWindow2/Client", "SuccessWindow2/Frames", "SuccessWindow2/Label1", "SuccessWindow2/Label2",
        "SuccessWindow2/ButtonOK", "SuccessWindow2/ButtonContact", "SuccessWindow2/Icon"};
    if (window == L"MainWindow")
        return main;
    if (window == L"MainWindow2")
        return question;
    if (window == L"ProcessWindow")
        return progress;
    if (window == L"SuccessWindow")
        return completion;
    if (window == L"SuccessWindow2")
        return farewell;
    return none;
}

template <typename Control>
Control* Make(const char* path, UIResource& resource, ControlType type, UIObject& parent)
{
    return static_cast<Control*>(UIObject::CreateControl(path, &resource, type, &parent));
}

std::wstring LicenceText(const Options& options)
{
    if (options.licenceFile.empty())
        return kSampleLicence;
    std::string bytes;
    if (!ReadWholeFile(options.licenceFile, bytes))
        return kSampleLicence;
    // The installer stores the licence with CR LF line breaks.
    std::string crlf;
    for (char c : bytes) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r'))
            crlf += '\r';
        crlf += c;
    }
    return Widen(crlf, kCodePageUtf8);
}

void BuildInstallForm(PreviewFrame& frame, UIResource& resource, const Options& options)
{
    frame.LoadFromResource(&resource, "MainWindow", nullptr);
    frame.installButton = Make<UIButton>("MainWindow/InstallButton2", resource, kControlButton, frame);
    frame.installButton->SetText(L"立即安装");
    const struct {
        const char* path;
        const wchar_t* text;
    } boxes[] = {{"MainWindow/CheckBoxDesktop", L"建立桌面快捷方式"},
                 {"MainWindow/CheckBoxTaskbar", L"建立任务栏快捷方式"},
                 {"MainWindow/CheckBoxStartMenu", L"建立开始菜单快捷方式"},
                 {"MainWindow/CheckBoxAgree", L"我同意用户协议"}};
    for (const auto& box : boxes) {
        UICheckBox* checkBox = Make<UICheckBox>(box.path, resource, kControlCheckBox, frame);
        checkBox->SetText(box.text);
        checkBox->SetChecked();
        frame.agreeBox = checkBox;  // the last one is the agreement box
    }
    CXEdit* folderBox = new CXEdit;
    folderBox->LoadFromResource(&resource, "MainWindow/EditBoxPath", nullptr);
    frame.AddChild(folderBox);
    folderBox->SetText(L"C:\\Program Files (x86)\\lumetra(ios)");
    Make<UIButton>("MainWindow/ButtonBrowser", resource, kControlButton, frame)->SetText(L"更换目录");
    UIEditBox* readMe = Make<UIEditBox>("MainWindow/EditBoxReadMe", resource, kControlEditBox, frame);
    readMe->SetScrollMode(true);
    readMe->SetText(LicenceText(options).c_str());
    frame.SetWindowSize(670, 680);
}

void BuildUninstallQuestion(PreviewFrame& frame, UIResource& resource)
{
    frame.LoadFromResource(&resource, "MainWindow2", nullptr);
    Make<UILabel>("MainWindow2/Label1", resource, kControlLabel, frame)->SetText(L"您确认卸载Varnholt手机助手吗？");
    Make<UIButton>("MainWindow2/ButtonOK", resource, kControlButton, frame)->SetText(L"卸载");
    Make<UIButton>("MainWindow2/ButtonCancel", resource, kControlButton, frame)->SetText(L"取消");
    frame.SetWindowSize(670, 330);
}

void BuildProgress(PreviewFrame& frame, UIResource& resource)
{
    // The progress window as it looks while the component downloads: every element is shown.
    UILabel* label = Make<UILabel>("ProcessWindow/Label1", resource, kControlLabel, frame);
    UIProgress* progress = Make<UIProgress>("ProcessWindow/Progress1", resource, kControlProgress, frame);
    UIButton* cancel = Make<UIButton>("ProcessWindow/ButtonCancel", resource, kControlButton, frame);
    progress->SetRange(0, 100);
    progress->SetPos(90);
    cancel->SetText(L"取消");
    label->SetText(L"正在下载必需组件iTunes: 45% ...");
    frame.LoadFromResource(&resource, "ProcessWindow", nullptr);
    frame.SetWindowSize(670, 300);
}

void BuildFarewell(PreviewFrame& frame, UIResource& resource)
{
    frame.LoadFromResource(&resource, "SuccessWindow2", nullptr);
    Make<UILabel>("SuccessWindow2/Label1", resource, kControlLabel, frame)
        ->SetText(L"卸载完毕。我们致力于为您打造超一流的用户体验，我们希望能得到您宝贵的建议和反馈。");
    Make<UILabel>("SuccessWindow2/Label2", resource, kControlLabel, frame)
        ->SetText(L"如果您有些话不吐不快，可以当面质问我们的产品经理。");
    Make<UIButton>("SuccessWindow2/ButtonOK", resource, kControlButton, frame)->SetText(L"完成");
    Make<UIButton>("SuccessWindow2/ButtonContact", resource, kControlButton, frame)->SetText(L"立即吐槽产品经理");
    Make<UIObject>("SuccessWindow2/Icon", resource, kControlPane, frame);
    frame.SetWindowSize(670, 400);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// A full-screen window in the desktop colour, behind the preview.
HWND ShowBackdrop(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BackdropProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = CreateSolidBrush(kBackdropColour);
    windowClass.lpszClassName = L"SkinPreviewBackdrop";
    RegisterClassW(&windowClass);
    HWND backdrop = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP, 0, 0,
                                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                    instance, nullptr);
    ShowWindow(backdrop, SW_SHOWNOACTIVATE);
    UpdateWindow(backdrop);
    return backdrop;
}

bool ParseOptions(int count, wchar_t** args, Options& options)
{
    std::vector<std::wstring> positional;
    for (int i = 1; i < count; ++i) {
        const std::wstring arg = args[i];
        auto value = [&](std::wstring& out) {
            if (i + 1 >= count)
                return false;
            out = args[++i];
            return true;
        };
        if (arg == L"--backdrop") {
            options.backdrop = true;
        } else if (arg == L"--exit-after-paint") {
            options.exitAfterPaint = true;
        } else if (arg == L"--licence") {
            if (!value(options.licenceFile))
                return false;
        } else if (arg == L"--ready") {
            if (!value(options.readyFile))
                return false;
        } else if (arg == L"--stop") {
            if (!value(options.stopFile))
                return false;
        } else if (arg.rfind(L"--", 0) == 0) {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        return false;
    options.package = positional[0];
    options.window = positional[1];
    return !RequiredNodes(options.window).empty();
}

int Preview(HINSTANCE instance, const Options& options)
{
    UIResource resource;
    if (!resource.LoadFromFile(options.package.c_str())) {
        Report("cannot load the package %s", Narrow(options.package));
        return 3;
    }
    std::string missing;
    for (const char* path : RequiredNodes(options.window)) {
        if (resource.FindNode(path, nullptr) == nullptr)
            missing += missing.empty() ? path : std::string(", ") + path;
    }
    if (!missing.empty()) {
        Report("the package has no %s", missing);
        return 4;
    }
    for (const auto& record : resource.Package().Groups()) {
        if (record.first != "images")
            continue;
        for (const auto& image : record.second) {
            if (resource.GetImage(static_cast<int>(image.first), ImageTint::kAdjustable) == nullptr) {
                Report("image %s of the package does not decode", std::to_string(image.first));
                return 5;
            }
        }
    }

    CHWindow::RegisterWindowClass(instance);
    if (options.backdrop)
        ShowBackdrop(instance);

    const std::wstring title = L"skin preview: " + options.window;
    PreviewFrame frame(options);
    PreviewPicture picture(options);
    UIObject* shown = nullptr;
    if (options.window == L"SuccessWindow") {
        picture.Create(nullptr, 0, 0, WS_POPUP, title.c_str(), WS_EX_APPWINDOW);
        picture.SetWindowSize(670, 320);
        picture.LoadFromResource(&resource, "SuccessWindow", nullptr);
        shown = &picture;
    } else {
        frame.Create(nullptr, 0, 0, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, title.c_str(),
                     WS_EX_APPWINDOW);
        if (options.window == L"MainWindow")
            BuildInstallForm(frame, resource, options);
        else if (options.window == L"MainWindow2")
            BuildUninstallQuestion(frame, resource);
        else if (options.window == L"ProcessWindow")
            BuildProgress(frame, resource);
        else
            BuildFarewell(frame, resource);
        shown = &frame;
    }
    shown->CenterWindow();
    shown->MakeLayered();
    ShowWindow(shown->GetHandle(), SW_SHOW);
    SetWindowPos(shown->GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (CHWindow::PreTranslate(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

int wmain(int count, wchar_t** args)
{
    Options options;
    if (!ParseOptions(count, args, options)) {
        std::fprintf(stderr,
                     "usage: skin_preview PACKAGE.uir WINDOW [--licence FILE] [--backdrop]\n"
                     "                    [--ready FILE] [--stop FILE] [--exit-after-paint]\n"
                     "WINDOW: MainWindow, MainWindow2, ProcessWindow, SuccessWindow or SuccessWindow2\n");
        return 2;
    }
    return Preview(GetModuleHandleW(nullptr), options);
}
