// A layered window with alpha-shaped elements, for screenshots: a rounded panel whose corners
// are transparent and whose body is translucent, a solid round badge and a GDI+ caption. It writes
// "ready" to the file named by its first argument after its first paint and ends when the file
// named by its second argument appears.

#include <windows.h>
#include <shellapi.h>

#include <cmath>
#include <string>

#include "package/conversion_pool.h"
#include "package/file_io.h"
#include "ui/ch_bitmap.h"
#include "ui/drawing.h"
#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

namespace {

// A 32-bit premultiplied image of a rounded rectangle (radius r) in one colour and alpha.
void PaintRoundedRect(CHBitmap& bitmap, int size, int radius, COLORREF colour, BYTE alpha)
{
    bitmap.Create(size, size, 32);
    BYTE* pixels = static_cast<BYTE*>(bitmap.Pixels());
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int dx = x < radius ? radius - x : (x >= size - radius ? x - (size - radius - 1) : 0);
            int dy = y < radius ? radius - y : (y >= size - radius ? y - (size - radius - 1) : 0);
            double outside = std::sqrt(double(dx * dx + dy * dy)) - radius;
            double cover = outside <= -1 ? 1.0 : (outside >= 0 ? 0.0 : -outside);
            BYTE a = static_cast<BYTE>(alpha * cover);
            BYTE* p = pixels + (size - 1 - y) * bitmap.Stride() + 4 * x;
            p[0] = static_cast<BYTE>(GetBValue(colour) * a / 255);
            p[1] = static_cast<BYTE>(GetGValue(colour) * a / 255);
            p[2] = static_cast<BYTE>(GetRValue(colour) * a / 255);
            p[3] = a;
        }
    }
}

class SkinElement : public UIObject {
public:
    SkinElement(const ImageStyle& style, int x, int y, int w, int h) : m_style(style)
    {
        m_layoutX = x;
        m_layoutY = y;
        m_layoutW = w;
        m_layoutH = h;
    }
    void DrawElement(HDC dc, const RECT* ownRect, const RECT*) override { DrawImageStyle(*ownRect, m_style, dc); }

private:
    ImageStyle m_style;
};

class CaptionElement : public UIObject {
public:
    CaptionElement(int x, int y, int w, int h)
    {
        m_layoutX = x;
        m_layoutY = y;
        m_layoutW = w;
        m_layoutH = h;
        m_style.color = RGB(255, 255, 255);
        m_style.format = kTextCentre | kTextVerticalCentre | kTextSingleLine;
        m_style.text = L"Varnholt手机助手苹果版 安装程序";
    }
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override
    {
        DrawStyledText(*ownRect, nullptr, clip, dc, m_style);
    }

private:
    TextStyle m_style;
};

class DemoWindow : public UIObject {
public:
    std::wstring readyFile, stopFile;
    bool reported = false;

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = UIObject::OnMessage(message, wParam, lParam);
        if (message == WM_LAYERED_PAINT && !reported) {
            reported = true;
            WriteWholeFile(readyFile, "ready");
            SetTimer(m_hWnd, 1, 100, nullptr);
        }
        return result;
    }
    LRESULT OnTimer(WPARAM, LPARAM) override
    {
        if (GetFileAttributesW(stopFile.c_str()) != INVALID_FILE_ATTRIBUTES)
            DestroyWindow(m_hWnd);
        return 0;
    }
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam) override
    {
        PostQuitMessage(0);
        return UIObject::OnDestroy(wParam, lParam);
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count < 3)
        return 2;
    CHWindow::RegisterWindowClass(instance);

    CHBitmap panel, badge;
    PaintRoundedRect(panel, 64, 24, RGB(31, 111, 235), 230);
    PaintRoundedRect(badge, 48, 24, RGB(255, 160, 0), 255);
    ImageStyle panelStyle;
    panelStyle.bgImage = &panel;
    panelStyle.bgW = panelStyle.bgH = 64;
    panelStyle.marginLeft = panelStyle.marginTop = panelStyle.marginRight = panelStyle.marginBottom = 24;
    ImageStyle badgeStyle;
    badgeStyle.fgImage = &badge;
    badgeStyle.fgW = badgeStyle.fgH = 48;

    DemoWindow window;
    window.readyFile = args[1];
    window.stopFile = args[2];
    window.Create(nullptr, 0, 0, WS_POPUP, L"layered demo", WS_EX_TOOLWINDOW);
    window.SetWindowSize(400, 240);
    window.CenterWindow();
    window.AddChild(new SkinElement(panelStyle, 0, 0, 400, 240));
    window.AddChild(new SkinElement(badgeStyle, 24, 24, 48, 48));
    window.AddChild(new CaptionElement(0, 150, 400, 40));
    window.MakeLayered();
    ShowWindow(window.GetHandle(), SW_SHOWNOACTIVATE);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    LocalFree(args);
    return 0;
}
