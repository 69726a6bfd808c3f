// gallery: every skinned control in every state on one layered frame window, for a screenshot
// that shows the whole skin at a glance and for the gallery screenshot test.
//
//   gallery [PACKAGE.uir] [--backdrop] [--ready FILE] [--stop FILE]
//
// The buttons, check boxes, label, progress bars, edit boxes, scroll bar and the frame come from
// the package (by default the shipped skin next to the program). The shipped skin has nothing for
// the tool bar, radio boxes, drop button, tab control and list view: those are drawn from a small
// package the gallery builds itself, in the same colours.
// Exit codes: 0 shown, 2 bad usage, 3 a package does not load.

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "package/file_io.h"
#include "package_builder.h"
#include "ui/ch_bitmap.h"
#include "ui/controls/cx_edit.h"
#include "ui/controls/ui_button.h"
#include "ui/controls/ui_check_box.h"
#include "ui/controls/ui_edit_box.h"
#include "ui/controls/ui_label.h"
#include "ui/controls/ui_list_view.h"
#include "ui/controls/ui_progress.h"
#include "ui/controls/ui_radio_box.h"
#include "ui/controls/ui_tab_ctrl.h"
#include "ui/controls/ui_tool_bar.h"
#include "ui/resource/ui_resource.h"
#include "ui/ui_frame_window.h"
#include "win32_pixels.h"

namespace {

constexpr COLORREF kBackdropColour = RGB(0xD9, 0xDE, 0xE4);
constexpr UINT_PTR kStopTimer = 0x5E00;
constexpr int kWidth = 900;
constexpr int kHeight = 700;

struct Options {
    std::wstring package = L"quorvil.uir";
    std::wstring readyFile;
    std::wstring stopFile;
    bool backdrop = false;
};

// The states the controls' own setters cannot reach from outside.
class StateButton : public UIButton {
public:
    using UIButton::SetVisualState;
};
class StateDropButton : public UIDropButton {
public:
    using UIDropButton::SetVisualState;
};
class StateToolBar : public UIToolBar {
public:
    void ShowHot(int item, int state)
    {
        m_hotItem = item;
        m_hotState = state;
    }
};
class SelectedEdit : public CXEdit {
public:
    void Select(int start, int end)
    {
        m_selectionStart = start;
        m_caret = m_selectionEnd = end;
    }
};

class GalleryFrame : public UIFrameWindow {
public:
    explicit GalleryFrame(const Options& options) : m_options(options) {}

    LRESULT OnCommand(WPARAM, LPARAM) override { return 0; }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = UIFrameWindow::OnMessage(message, wParam, lParam);
        if (message == WM_LAYERED_PAINT && !m_reported) {
            m_reported = true;
            if (!m_options.readyFile.empty())
                WriteWholeFile(m_options.readyFile, "ready");
            if (!m_options.stopFile.empty())
                SetTimer(m_hWnd, kStopTimer, 100, nullptr);
        }
        return result;
    }
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam) override
    {
        // The base ends timers it does not know, so the stop timer never reaches it.
        if (wParam != kStopTimer)
            return UIFrameWindow::OnTimer(wParam, lParam);
        if (GetFileAttributesW(m_options.stopFile.c_str()) != INVALID_FILE_ATTRIBUTES)
            DestroyWindow(m_hWnd);
        return 0;
    }
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override
    {
        PostQuitMessage(0);
        return UIFrameWindow::OnDestroy(wParam, lParam);
    }

private:
    const Options& m_options;
    bool m_reported = false;
};

// ---- The extra package: one sprite sheet drawn here, straight alpha, top row first. ----

class Sheet {
public:
    static constexpr int kW = 560;
    static constexpr int kH = 120;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kW * kH, 0);

    void Rect(int x, int y, int w, int h, COLORREF c)
    {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                pixels[j * kW + i] = testing_pixels::Argb(255, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    // A framed rectangle: edge colour around, fill inside.
    void Box(int x, int y, int w, int h, COLORREF edge, COLORREF fill)
    {
        Rect(x, y, w, h, edge);
        Rect(x + 1, y + 1, w - 2, h - 2, fill);
    }
    // A disc of radius r centred at (cx, cy), with a soft edge.
    void Disc(double cx, double cy, double r, COLORREF c)
    {
        for (int j = static_cast<int>(cy - r - 1); j <= cy + r + 1; ++j)
            for (int i = static_cast<int>(cx - r - 1); i <= cx + r + 1; ++i) {
                const double d = std::sqrt((i + 0.5 - cx) * (i + 0.5 - cx) + (j + 0.5 - cy) * (j + 0.5 - cy));
                const double cover = d <= r - 0.5 ? 1.0 : (d >= r + 0.5 ? 0.0 : r + 0.5 - d);
                if (cover <= 0)
                    continue;
                uint32_t& p = pixels[j * kW + i];
                const double under = ((p >> 24) & 0xFF) / 255.0;
                auto mix = [&](int shift, int value) {
                    return static_cast<uint32_t>(value * cover + ((p >> shift) & 0xFF) * (1 - cover) + 0.5);
                };
                const uint32_t a = static_cast<uint32_t>(255 * (cover + under * (1 - cover)) + 0.5);
                p = (a << 24) | (mix(16, GetRValue(c)) << 16) | (mix(8, GetGValue(c)) << 8) | mix(0, GetBValue(c));
            }
    }
};

constexpr COLORREF kBrand = RGB(0x1D, 0x8C, 0xE0);
constexpr COLORREF kBrandDark = RGB(0x16, 0x76, 0xC4);
constexpr COLORREF kInk = RGB(0x3B, 0x47, 0x54);
constexpr COLORREF kEdge = RGB(0xC9, 0xD2, 0xDB);
constexpr COLORREF kPale = RGB(0xF4, 0xF6, 0xF8);
constexpr COLORREF kPaleEdge = RGB(0xE0, 0xE5, 0xEA);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreyText = RGB(0xAE, 0xB7, 0xC0);

std::string SheetPng()
{
    Sheet s;
    // Radio boxes, 120 x 20 each: normal, lighted, pressed (checked), grayed.
    const COLORREF rings[4] = {kEdge, kBrand, kBrand, kPaleEdge};
    const COLORREF fills[4] = {kWhite, RGB(0xF2, 0xF8, 0xFE), kWhite, kPale};
    for (int i = 0; i < 4; ++i) {
        s.Disc(120 * i + 10, 10, 8, rings[i]);
        s.Disc(120 * i + 10, 10, 6.8, fills[i]);
        if (i == 2)
            s.Disc(120 * i + 10, 10, 4, kBrand);
    }
    // Drop buttons, 140 x 30 each, with the arrow at the right.
    const COLORREF dropEdges[4] = {kEdge, kBrand, kBrandDark, kPaleEdge};
    const COLORREF dropFills[4] = {kWhite, RGB(0xF2, 0xF8, 0xFE), RGB(0xE3, 0xF0, 0xFC), kPale};
    for (int i = 0; i < 4; ++i) {
        s.Box(140 * i, 20, 140, 30, dropEdges[i], dropFills[i]);
        const COLORREF arrow = i == 3 ? kGreyText : kInk;
        for (int row = 0; row < 5; ++row)
            s.Rect(140 * i + 118 + row, 32 + row, 10 - 2 * row, 1, arrow);
        s.Rect(140 * i + 108, 26, 1, 18, i == 3 ? kPaleEdge : kEdge);
    }
    // Tabs: the strip's background, a tab, the selected tab.
    s.Rect(0, 50, 8, 32, kPale);
    s.Rect(0, 81, 8, 1, kPaleEdge);
    s.Rect(10, 50, 100, 32, kPale);
    s.Rect(10, 81, 100, 1, kPaleEdge);
    s.Box(120, 50, 100, 32, kPaleEdge, kWhite);
    s.Rect(120, 50, 100, 3, kBrand);
    s.Rect(121, 81, 98, 1, kWhite);
    // List: header, splitter, rows, the bar's track and thumb; the tool bar's background and separator.
    s.Rect(0, 90, 8, 24, RGB(0xEE, 0xF2, 0xF6));
    s.Rect(0, 113, 8, 1, RGB(0xD5, 0xDC, 0xE3));
    s.Rect(10, 94, 1, 16, RGB(0xD5, 0xDC, 0xE3));
    s.Rect(20, 90, 8, 8, kWhite);
    s.Rect(30, 90, 8, 8, RGB(0xF7, 0xF9, 0xFB));
    s.Rect(40, 90, 8, 8, RGB(0xDC, 0xEB, 0xFA));
    s.Rect(50, 90, 12, 8, RGB(0xEB, 0xEF, 0xF3));
    s.Rect(70, 90, 12, 8, RGB(0xBF, 0xC9, 0xD3));
    s.Rect(90, 90, 8, 40 - 10, kPale);
    s.Rect(100, 92, 6, 24, kPale);
    s.Rect(102, 96, 1, 16, RGB(0xD5, 0xDC, 0xE3));
    return testing_pixels::MakePng(Sheet::kW, Sheet::kH, s.pixels, true);
}

std::string Piece(int x, int y, int w, int h)
{
    return "{\"bi\": 100, \"bg\": [" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(w) +
           ", " + std::to_string(h) + "]}";
}
std::string Colour(COLORREF c)
{
    return std::to_string(c);
}
std::string States(int x, int y, int w, int h, int step)
{
    return "\"normal\": " + Piece(x, y, w, h) + ", \"lighted\": " + Piece(x + step, y, w, h) +
           ", \"pressed\": " + Piece(x + 2 * step, y, w, h) + ", \"grayed\": " + Piece(x + 3 * step, y, w, h) +
           ", \"focused\": " + Piece(x, y, w, h);
}
std::string TextStates(int marginLeft, int marginRight, int align)
{
    const std::string al = ", \"al\": " + std::to_string(align) + "}";
    return "\"Text\": {\"margin\": [" + std::to_string(marginLeft) + ", 0, " + std::to_string(marginRight) +
           ", 0], \"normal\": {\"cr\": " + Colour(kInk) + al + ", \"lighted\": {\"cr\": " + Colour(kInk) + al +
           ", \"pressed\": {\"cr\": " + Colour(kInk) + al + ", \"focused\": {\"cr\": " + Colour(kInk) + al +
           ", \"grayed\": {\"cr\": " + Colour(kGreyText) + al + "}";
}

std::string ExtraDocument()
{
    return std::string("{\"cfg\": {\"Gallery\": {") +
           "\"Radio\": {\"id\": 0, \"size\": [0, 0, 120, 20], " + States(0, 0, 120, 20, 120) + ", " +
           TextStates(24, 0, 36) + "}," +
           "\"Drop\": {\"id\": 0, \"size\": [0, 0, 140, 30], " + States(0, 20, 140, 30, 140) + ", " +
           TextStates(12, 36, 36) + "}," +
           "\"Tabs\": {\"bkgnd\": " + Piece(0, 50, 8, 32) + ", \"Item\": {\"normal\": " + Piece(10, 50, 100, 32) +
           ", \"pressed\": " + Piece(120, 50, 100, 32) + "}, \"Text\": {\"normal\": {\"cr\": " +
           Colour(RGB(0x6B, 0x77, 0x85)) + ", \"al\": 37}, \"pressed\": {\"cr\": " + Colour(kBrand) +
           ", \"al\": 37}}}," +
           "\"List\": {\"Header\": {\"height\": 26, \"bkgnd\": " + Piece(0, 90, 8, 24) + ", \"splitter\": " +
           Piece(10, 90, 2, 24) + ", \"text\": {\"cr\": " + Colour(kInk) + ", \"al\": 36}}, " +
           "\"ScrollBar\": {\"trackbar\": " + Piece(50, 90, 12, 8) + ", \"thumb\": " + Piece(70, 90, 12, 8) +
           "}, \"Item\": {\"even\": " + Piece(20, 90, 8, 8) + ", \"odd\": " + Piece(30, 90, 8, 8) +
           ", \"selected\": " + Piece(40, 90, 8, 8) + ", \"height\": 26}}," +
           "\"Tools\": {\"id\": 0, \"size\": [0, 0, 10, 10], \"bkgnd\": " + Piece(90, 90, 8, 30) +
           ", \"seperator\": " + Piece(100, 92, 6, 24) + "}" +
           "}}, \"res\": {\"images\": [{\"id\": 100, \"name\": \"gallery.png\"}]}}";
}

// The tool bar's strip: three glyphs, four rows (normal, lighted, pressed, disabled), 28 px cells.
void PaintToolStrip(CHBitmap& strip)
{
    const int cell = 28;
    strip.Create(3 * cell, 4 * cell, 32);
    BYTE* bits = static_cast<BYTE*>(strip.Pixels());
    auto put = [&](int x, int y, COLORREF c) {
        BYTE* p = bits + (strip.Height() - 1 - y) * strip.Stride() + 4 * x;
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
        p[3] = 255;
    };
    const COLORREF backs[4] = {0, RGB(0xE6, 0xF2, 0xFD), RGB(0xC8, 0xE1, 0xF7), 0};
    const COLORREF inks[4] = {kInk, kBrand, kBrandDark, kGreyText};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column) {
            const int ox = column * cell, oy = row * cell;
            if (backs[row] != 0)
                for (int y = 1; y < cell - 1; ++y)
                    for (int x = 1; x < cell - 1; ++x)
                        put(ox + x, oy + y, backs[row]);
            for (int y = 7; y < 21; ++y)
                for (int x = 7; x < 21; ++x) {
                    const bool edge = x < 9 || x > 18 || y < 9 || y > 18;
                    const bool plus = (x >= 13 && x <= 14) || (y >= 13 && y <= 14);
                    const double dx = x - 13.5, dy = y - 13.5;
                    const double d = std::sqrt(dx * dx + dy * dy);
                    const bool ring = d >= 5 && d <= 7;
                    if ((column == 0 && edge) || (column == 1 && plus) || (column == 2 && ring))
                        put(ox + x, oy + y, inks[row]);
                }
        }
}

// ---- The window ----

template <typename Control>
Control* Make(const char* path, IUIResource& resource, ControlType type, UIObject& parent, int x, int y, int w,
              int h)
{
    auto* control = static_cast<Control*>(UIObject::CreateControl(path, &resource, type, &parent));
    control->SetLayout(x, y, w, h);
    return control;
}

template <typename Control>
Control* Add(Control* control, const char* path, IUIResource& resource, UIObject& parent, int x, int y, int w, int h)
{
    control->LoadFromResource(&resource, path, nullptr);
    parent.AddChild(control);
    control->SetLayout(x, y, w, h);
    return control;
}

constexpr int kLeft = 44;     // row captions
constexpr int kControls = 170;

void RowCaption(UIResource& skin, GalleryFrame& frame, int y, int h, const wchar_t* text)
{
    Make<UILabel>("ProcessWindow/Label1", skin, kControlLabel, frame, kLeft, y, 120, h)->SetText(text);
}

void BuildGallery(GalleryFrame& frame, UIResource& skin, UIResource& extra, CHBitmap& strip)
{
    frame.LoadFromResource(&skin, "MainWindow2", nullptr);
    frame.SetWindowSize(kWidth, kHeight);

    // Buttons: normal, lighted, pressed, disabled; the primary and the secondary skin.
    const wchar_t* states[4] = {L"Normal", L"Lighted", L"Pressed", L"Disabled"};
    const char* buttons[2] = {"MainWindow2/ButtonOK", "MainWindow2/ButtonCancel"};
    for (int row = 0; row < 2; ++row) {
        const int y = 140 + 46 * row;
        RowCaption(skin, frame, y, 37, row == 0 ? L"Buttons" : L"Secondary");
        for (int i = 0; i < 4; ++i) {
            auto* button = Add(new StateButton, buttons[row], skin, frame, kControls + 130 * i, y, 116, 37);
            button->SetText(states[i]);
            if (i == 1)
                button->SetVisualState(kSkinLighted);
            if (i == 2)
                button->SetVisualState(kSkinPressed);
            if (i == 3)
                button->SetEnabledFlag(false);
        }
    }

    // Check boxes: unchecked, checked, disabled unchecked, disabled checked.
    RowCaption(skin, frame, 236, 27, L"Check boxes");
    const wchar_t* boxes[4] = {L"Unchecked", L"Checked", L"Disabled", L"Disabled, on"};
    for (int i = 0; i < 4; ++i) {
        auto* box = Make<UICheckBox>("MainWindow/CheckBoxAgree", skin, kControlCheckBox, frame, kControls + 130 * i,
                                     236, 126, 27);
        box->SetText(boxes[i]);
        if (i == 1 || i == 3)
            box->SetChecked();
        if (i >= 2)
            box->SetEnabledFlag(false);
    }

    // Radio boxes: a group with the second one checked, one lighted, one disabled.
    RowCaption(skin, frame, 272, 20, L"Radio boxes");
    const wchar_t* radios[4] = {L"Option A", L"Option B", L"Lighted", L"Disabled"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = Make<UIRadioBox>("Gallery/Radio", extra, kControlRadioBox, frame, kControls + 130 * i, 272,
                                       120, 20);
        radio->SetText(radios[i]);
        radio->SetChecked(i == 1);
        if (i == 2)
            radio->ElementMouseEnter(0, nullptr);
        if (i == 3)
            radio->SetEnabledFlag(false);
    }

    // Label and progress at 0, 50 and 100 %.
    RowCaption(skin, frame, 302, 28, L"Label");
    Make<UILabel>("ProcessWindow/Label1", skin, kControlLabel, frame, kControls, 302, 520, 28)
        ->SetText(L"Downloading the required component: 45% ...");
    RowCaption(skin, frame, 334, 28, L"Progress");
    for (int i = 0; i < 3; ++i) {
        auto* progress = Make<UIProgress>("ProcessWindow/Progress1", skin, kControlProgress, frame,
                                          kControls + 220 * i, 345, 200, 6);
        progress->SetRange(0, 100);
        progress->SetPos(50 * i);
    }

    // Drop buttons: normal, lighted, pressed, disabled.
    RowCaption(skin, frame, 372, 30, L"Drop buttons");
    const wchar_t* drops[4] = {L"Normal", L"Lighted", L"Pressed", L"Disabled"};
    for (int i = 0; i < 4; ++i) {
        auto* drop = Add(new StateDropButton, "Gallery/Drop", extra, frame, kControls + 150 * i, 372, 140, 30);
        drop->SetText(drops[i]);
        if (i == 1)
            drop->SetVisualState(UIDropButton::kStateLighted);
        if (i == 2)
            drop->SetVisualState(UIDropButton::kStatePressed);
        if (i == 3)
            drop->SetEnabledFlag(false);
    }

    // Tool bar: normal items, a lighted one, a disabled one, and a second bar with a pressed item.
    RowCaption(skin, frame, 414, 32, L"Tool bars");
    for (int bar = 0; bar < 2; ++bar) {
        auto* tools = Add(new StateToolBar, "Gallery/Tools", extra, frame, kControls + 250 * bar, 414,
                          bar == 0 ? 230 : 130, 32);
        tools->SetImageStrip(&strip);
        tools->SetCellSize(28, 28);
        tools->SetItemGap(2);
        tools->SetInset(4, 2, 4, 2);
        tools->AddItem(1, 0, L"Frame");
        tools->AddItem(2, 1, L"Add");
        if (bar == 0) {
            tools->AddItem(3, 2, L"Ring");
            tools->AddSeparator();
            tools->AddItem(4, 0, L"Off");
            tools->AddItem(5, 1, L"Off");
            tools->SetItemEnabled(4, false);
            tools->SetItemEnabled(5, false);
            tools->ShowHot(1, UIToolBar::kHotLighted);
        } else {
            tools->AddItem(3, 2, L"Ring");
            tools->ShowHot(0, UIToolBar::kHotPressed);
        }
    }
    // Tab control with the second tab selected.
    auto* tabs = Make<UITabCtrl>("Gallery/Tabs", extra, kControlTabCtrl, frame, 560, 414, 300, 32);
    tabs->SetTabHeight(32);
    tabs->AddItem(1, L"General");
    tabs->AddItem(2, L"Selected");
    tabs->AddItem(3, L"Other");
    tabs->SetSelectedItem(1);

    // A single-line editable box with a selection, and a scrolling edit box with its bar.
    RowCaption(skin, frame, 460, 35, L"Edit boxes");
    auto* folder = Add(new SelectedEdit, "MainWindow/EditBoxPath", skin, frame, kControls, 460, 330, 35);
    folder->SetText(L"C:\\Program Files (x86)\\Quorvil");
    folder->Select(3, 16);
    auto* readMe = Make<UIEditBox>("MainWindow/EditBoxReadMe", skin, kControlEditBox, frame, kControls, 505, 330, 150);
    readMe->SetScrollMode(true);
    std::wstring text;
    for (int i = 1; i <= 12; ++i)
        text += L"Line " + std::to_wstring(i) +
                L" of a long text that wraps at the box's width and scrolls with the bar at its right.\r\n";
    readMe->SetText(text.c_str());
    readMe->SetLayout(kControls, 505, 330, 150);  // lays the bar out for the text

    // List view with its header and more rows than fit, so its bar shows; row 2 selected.
    auto* list = Make<UIListView>("Gallery/List", extra, kControlListView, frame, 520, 460, 340, 195);
    list->SetTextColor(kInk);
    list->AddColumn(L"Name", 150);
    list->AddColumn(L"Size", 80);
    list->AddColumn(L"Kind", 100);
    for (int i = 1; i <= 12; ++i)
        list->AddRow({L"component-" + std::to_wstring(i) + L".dat", std::to_wstring(i * 37) + L" KB",
                      i % 2 ? L"Data" : L"Library"});
    list->SetSelectedRow(2);
}

LRESULT CALLBACK BackdropProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

void ShowBackdrop(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BackdropProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = CreateSolidBrush(kBackdropColour);
    windowClass.lpszClassName = L"GalleryBackdrop";
    RegisterClassW(&windowClass);
    HWND backdrop = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP, 0, 0,
                                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                    instance, nullptr);
    ShowWindow(backdrop, SW_SHOWNOACTIVATE);
    UpdateWindow(backdrop);
}

bool ParseOptions(int count, wchar_t** args, Options& options)
{
    bool packageGiven = false;
    for (int i = 1; i < count; ++i) {
        const std::wstring arg = args[i];
        if (arg == L"--backdrop") {
            options.backdrop = true;
        } else if (arg == L"--ready" || arg == L"--stop") {
            if (i + 1 >= count)
                return false;
            (arg == L"--ready" ? options.readyFile : options.stopFile) = args[++i];
        } else if (arg.rfind(L"--", 0) == 0 || packageGiven) {
            return false;
        } else {
            options.package = arg;
            packageGiven = true;
        }
    }
    return true;
}

}  // namespace

int wmain(int count, wchar_t** args)
{
    Options options;
    if (!ParseOptions(count, args, options)) {
        std::fprintf(stderr, "usage: gallery [PACKAGE.uir] [--backdrop] [--ready FILE] [--stop FILE]\n");
        return 2;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    UIResource skin;
    if (!skin.LoadFromFile(options.package.c_str())) {
        std::fprintf(stderr, "gallery: cannot load the package\n");
        return 3;
    }
    UIResource extra;
    if (!extra.LoadFromMemory(testing_uir::BuildPackage(ExtraDocument() + '\0', {{100, SheetPng()}}))) {
        std::fprintf(stderr, "gallery: cannot load its own package\n");
        return 3;
    }
    CHBitmap strip;
    PaintToolStrip(strip);

    CHWindow::RegisterWindowClass(instance);
    if (options.backdrop)
        ShowBackdrop(instance);
    GalleryFrame frame(options);
    frame.Create(nullptr, 0, 0, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, L"control gallery", WS_EX_APPWINDOW);
    BuildGallery(frame, skin, extra, strip);
    frame.CenterWindow();
    frame.MakeLayered();
    ShowWindow(frame.GetHandle(), SW_SHOW);
    SetWindowPos(frame.GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (CHWindow::PreTranslate(&message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
