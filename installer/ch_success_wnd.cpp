#include "installer/ch_success_wnd.h"

#include <shellapi.h>

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

LRESULT CHSuccessWnd::OnCreate(WPARAM wParam, LPARAM lParam)
{
    SetWindowSize(670, 320);
    CenterWindow();
    MakeLayered();
    return Default(WM_CREATE, wParam, lParam);
}

int CHSuccessWnd::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    const JsonValue* node = resource->FindNode(path, start);
    m_commandId = resource->GetInt("id", node);
    RECT size = resource->GetRect("size", node);
    m_layoutX = size.left;
    m_layoutY = size.top;
    m_layoutW = size.right;
    m_layoutH = size.bottom;
    m_background = resource->GetImageStyle("bkgnd", node);
    CreateControl("SuccessWindow/Button1", resource, kControlButton, this);
    CreateControl("SuccessWindow/SysBtns/Close", resource, kControlButton, this);
    return 1;
}

void CHSuccessWnd::DrawElement(HDC dc, const RECT*, const RECT*)
{
    DrawImageStyle(m_rect, m_background, dc);
}

LRESULT CHSuccessWnd::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    bool overChild = false;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        if ((*it)->IsVisible() && PtInRect(&(*it)->GetRect(), point)) {
            overChild = true;
            break;
        }
    }
    // Anywhere on the picture but the buttons drags the window.
    if (!overChild)
        PostMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    return UIObject::OnLButtonDown(wParam, lParam);
}

LRESULT CHSuccessWnd::OnCommand(WPARAM wParam, LPARAM)
{
    if (LOWORD(wParam) == kStartButtonId && !m_programPath.empty())
        ShellExecuteW(nullptr, L"open", m_programPath.c_str(), nullptr, nullptr, SW_SHOW);
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}
