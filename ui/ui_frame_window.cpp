#include "ui/ui_frame_window.h"

#include "ui/controls/ui_button.h"
#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

namespace {

// The corner and edge bands of a resizable frame, in pixels.
constexpr int kCornerSize = 4;
constexpr int kTopEdgeRows = 2;

// Where each strip's two skins live below the window node, indexed by FrameSide.
const char* const kFrameSkinPaths[kFrameSideCount][2] = {
    {"Frames/Top/normal", "Frames/Top/grayed"},
    {"Frames/Left/normal", "Frames/Left/grayed"},
    {"Frames/Right/normal", "Frames/Right/grayed"},
    {"Frames/Bottom/normal", "Frames/Bottom/grayed"},
};

}  // namespace

UIFrameWindow::UIFrameWindow()
{
    m_controlType = kControlFrameWindow;
}

UIFrameWindow::~UIFrameWindow() = default;

LRESULT UIFrameWindow::OnNcPaint(WPARAM, LPARAM)
{
    return 0;
}

LRESULT UIFrameWindow::OnNcActivate(WPARAM, LPARAM)
{
    // Answering without the default keeps the system from drawing an active or inactive caption.
    return 1;
}

void UIFrameWindow::StripCaption()
{
    if (m_hWnd == nullptr)
        return;
    const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
    if ((style & WS_CAPTION) != 0)
        SetWindowLongW(m_hWnd, GWL_STYLE, style & ~static_cast<LONG>(WS_CAPTION));
}

LRESULT UIFrameWindow::OnCreate(WPARAM, LPARAM)
{
    StripCaption();
    return 0;
}

LRESULT UIFrameWindow::OnNcCalcSize(WPARAM wParam, LPARAM lParam)
{
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    // The proposed window rectangle, kept for calculations whose WINDOWPOS does not carry a size
    // or position (a frame change alone, for instance): its fields are then not the window's.
    const RECT proposed = params != nullptr && wParam ? params->rgrc[0] : RECT{0, 0, 0, 0};
    const LRESULT result = Default(WM_NCCALCSIZE, wParam, lParam);
    if (!wParam || params == nullptr)
        return result;
    const WINDOWPOS* position = params->lppos;
    if (position != nullptr && (position->flags & (SWP_NOSIZE | SWP_NOMOVE)) == 0)
        params->rgrc[0] = {position->x, position->y, position->x + position->cx, position->y + position->cy};
    else
        params->rgrc[0] = proposed;
    return result;
}

bool UIFrameWindow::ChildBlocksCaption(POINT point) const
{
    // Rectangles only: a hidden or disabled button still keeps the drag off its place, and an
    // unplaced one has an empty rectangle and never matches.
    for (const UIObject* child : m_children)
        if (!child->IsCaptionTransparent() && PtInRect(&child->GetRect(), point))
            return true;
    return false;
}

LRESULT UIFrameWindow::HitTopStrip(POINT point, bool resizable, LRESULT fallback) const
{
    if (ChildBlocksCaption(point))
        return fallback;
    if (!resizable)
        return HTCAPTION;
    const RECT& top = m_frames[kFrameTop].rect;
    if (point.y < top.top + kCornerSize) {
        if (point.x < top.left + kCornerSize)
            return HTTOPLEFT;
        if (point.x >= top.right - kCornerSize)
            return HTTOPRIGHT;
    }
    if (point.y < top.top + kTopEdgeRows)
        return HTTOP;
    return HTCAPTION;
}

LRESULT UIFrameWindow::OnNcHitTest(WPARAM wParam, LPARAM lParam)
{
    // Screen coordinates are signed: a window may reach past the left or top of the screen.
    POINT point = {static_cast<LONG>(static_cast<short>(LOWORD(lParam))),
                   static_cast<LONG>(static_cast<short>(HIWORD(lParam)))};
    ScreenToClient(m_hWnd, &point);
    const LRESULT fallback = Default(WM_NCHITTEST, wParam, lParam);
    const bool resizable = (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_THICKFRAME) != 0;

    if (PtInRect(&m_frames[kFrameTop].rect, point))
        return HitTopStrip(point, resizable, fallback);
    if (!resizable)
        return fallback;

    const RECT& left = m_frames[kFrameLeft].rect;
    if (PtInRect(&left, point))
        return point.y >= left.bottom - kCornerSize ? HTBOTTOMLEFT : HTLEFT;
    const RECT& right = m_frames[kFrameRight].rect;
    if (PtInRect(&right, point))
        return point.y >= right.bottom - kCornerSize ? HTBOTTOMRIGHT : HTRIGHT;
    const RECT& bottom = m_frames[kFrameBottom].rect;
    if (PtInRect(&bottom, point)) {
        if (point.y >= bottom.bottom - kCornerSize) {
            if (point.x < bottom.left + kCornerSize)
                return HTBOTTOMLEFT;
            if (point.x >= bottom.right - kCornerSize)
                return HTBOTTOMRIGHT;
        }
        return HTBOTTOM;
    }
    return fallback;
}

LRESULT UIFrameWindow::OnSysCommand(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = Default(WM_SYSCOMMAND, wParam, lParam);
    if (m_maximizeButton == nullptr)
        return result;
    // SC_CLOSE may have destroyed the window by now; an unbound window counts as not maximised.
    const bool zoomed = m_hWnd != nullptr && IsZoomed(m_hWnd);
    if (zoomed) {
        if (m_maximizeButton->IsVisible())
            m_maximizeButton->SetVisible(false);
        if (m_restoreButton != nullptr && !m_restoreButton->IsVisible())
            m_restoreButton->SetVisible(true);
    } else {
        if (m_restoreButton != nullptr)
            m_restoreButton->SetVisible(false);
        m_maximizeButton->SetVisible(true);
    }
    return result;
}

void UIFrameWindow::DrawElement(HDC dc, const RECT*, const RECT*)
{
    DrawImageStyle(m_clientRect, m_clientSkin, dc);
    for (const FrameStrip& strip : m_frames)
        DrawImageStyle(strip.rect, strip.normal, dc);
}

int UIFrameWindow::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr) {
        // Zero skins: no strips, and the client area is the whole window.
        OnLayoutChanged();
        return 0;
    }

    m_clientSkin = resource->GetImageStyle("Client/bkgnd", node);
    for (int side = 0; side < kFrameSideCount; ++side) {
        m_frames[side].normal = resource->GetImageStyle(kFrameSkinPaths[side][0], node);
        m_frames[side].grayed = resource->GetImageStyle(kFrameSkinPaths[side][1], node);
    }

    struct SystemButton {
        const char* path;
        UIButton** slot;
    };
    const SystemButton buttons[] = {
        {"SysBtns/Close", &m_closeButton},
        {"SysBtns/Restore", &m_restoreButton},
        {"SysBtns/Maximize", &m_maximizeButton},
        {"SysBtns/Minimize", &m_minimizeButton},
    };
    for (const SystemButton& entry : buttons) {
        *entry.slot = nullptr;
        if (resource->FindNode(entry.path, node) == nullptr)
            continue;
        auto* button = new UIButton;
        button->LoadFromResource(resource, entry.path, node);
        AddChild(button);
        *entry.slot = button;
    }
    // A window starts restored, so only its maximise button shows.
    if (m_restoreButton != nullptr)
        m_restoreButton->SetVisible(false);

    OnLayoutChanged();
    return 1;
}

int UIFrameWindow::OnChildCommand(UIObject* sender, UINT message, WPARAM, LPARAM)
{
    if (message != WM_COMMAND || sender == nullptr)
        return 0;
    WPARAM command = 0;
    if (sender == m_closeButton)
        command = SC_CLOSE;
    else if (sender == m_maximizeButton)
        command = SC_MAXIMIZE;
    else if (sender == m_minimizeButton)
        command = SC_MINIMIZE;
    else if (sender == m_restoreButton)
        command = SC_RESTORE;
    if (command != 0 && m_hWnd != nullptr)
        SendMessageW(m_hWnd, WM_SYSCOMMAND, command, 0);
    // Always 0: the button goes on to send its own WM_COMMAND to the host.
    return 0;
}

void UIFrameWindow::OnLayoutChanged()
{
    const LONG R = m_rect.right;
    const LONG B = m_rect.bottom;
    const LONG topHeight = m_frames[kFrameTop].normal.bgH;
    const LONG leftWidth = m_frames[kFrameLeft].normal.bgW;
    const LONG rightWidth = m_frames[kFrameRight].normal.bgW;
    const LONG bottomHeight = m_frames[kFrameBottom].normal.bgH;

    m_clientRect = {leftWidth, topHeight, R - rightWidth, B - bottomHeight};
    m_frames[kFrameTop].rect = {0, 0, R, topHeight};
    m_frames[kFrameLeft].rect = {0, topHeight, leftWidth, B - bottomHeight};
    m_frames[kFrameRight].rect = {R - rightWidth, topHeight, R, B - bottomHeight};
    m_frames[kFrameBottom].rect = {0, B - bottomHeight, R, B};
    ApplyWindowRegion();
}

void UIFrameWindow::ApplyWindowRegion()
{
    if (m_hWnd == nullptr || !IsWindow(m_hWnd))
        return;
    // A layered window is shaped by the alpha of its skin, so a region would only cut it.
    if (m_layered) {
        SetWindowRgn(m_hWnd, nullptr, FALSE);
        return;
    }
    HRGN region = CreateRectRgn(0, 0, m_rect.right + 1, m_rect.bottom + 1);
    // The window system owns the region only when it took it.
    if (region != nullptr && !SetWindowRgn(m_hWnd, region, FALSE))
        DeleteObject(region);
}
