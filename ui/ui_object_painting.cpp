// The painting half of UIObject: every window paints its whole element tree into a private back
// buffer and copies it to the screen in one step. A layered window's buffer is a 32-bit DIB
// handed to UpdateLayeredWindow, so the alpha of the skin shapes and blends the window's edges.

#include "ui/ui_object.h"

#include <algorithm>

namespace {

bool IntersectRects(RECT& out, const RECT& a, const RECT& b)
{
    return IntersectRect(&out, &a, &b) != FALSE;
}

// Saves the DC state and clips to a rectangle for the lifetime of the object.
class ClipScope {
public:
    ClipScope(HDC dc, const RECT& clip) : m_dc(dc), m_saved(SaveDC(dc))
    {
        HRGN region = CreateRectRgnIndirect(&clip);
        SelectClipRgn(dc, region);
        DeleteObject(region);
    }
    ~ClipScope() { RestoreDC(m_dc, m_saved); }

private:
    HDC m_dc;
    int m_saved;
};

}  // namespace

void UIObject::ReleaseBackBuffer()
{
    if (m_memDC != nullptr) {
        if (m_previousBitmap != nullptr)
            SelectObject(m_memDC, m_previousBitmap);
        DeleteDC(m_memDC);
    }
    if (m_bufferBitmap != nullptr)
        DeleteObject(m_bufferBitmap);
    m_memDC = nullptr;
    m_bufferBitmap = nullptr;
    m_previousBitmap = nullptr;
    m_pixelBits = nullptr;
}

BOOL UIObject::EnsureBackBuffer()
{
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    if (m_memDC != nullptr && m_bufferWidth == width && m_bufferHeight == height &&
        (m_pixelBits != nullptr) == (m_layered != 0))
        return FALSE;

    HDC windowDC = GetDC(m_hWnd);
    if (m_memDC != nullptr) {
        SelectObject(m_memDC, m_previousBitmap);
        DeleteObject(m_bufferBitmap);
        m_bufferBitmap = nullptr;
        m_pixelBits = nullptr;
    } else {
        m_memDC = CreateCompatibleDC(windowDC);
        SetBkMode(m_memDC, TRANSPARENT);
        SelectObject(m_memDC, GuiFont());
    }
    m_bufferWidth = width;
    m_bufferHeight = height;
    m_stride = 0;
    m_imageSize = 0;
    if (m_layered) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // bottom-up rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bufferBitmap = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (m_bufferBitmap != nullptr && bits != nullptr) {
            m_pixelBits = bits;
            m_stride = width * 4;
            m_imageSize = height * m_stride;
        }
    } else {
        m_bufferBitmap = CreateCompatibleBitmap(windowDC, width, height);
    }
    m_previousBitmap = SelectObject(m_memDC, m_bufferBitmap);
    ReleaseDC(m_hWnd, windowDC);
    return TRUE;
}

LRESULT UIObject::OnPaint(WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    if (!m_layered && !IsRectEmpty(&paint.rcPaint)) {
        EnsureBackBuffer();
        {
            ClipScope clip(m_memDC, paint.rcPaint);
            DrawElement(m_memDC, &m_rect, &paint.rcPaint);
            DrawChildren(m_memDC, this, &paint.rcPaint);
        }
        BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
               paint.rcPaint.bottom - paint.rcPaint.top, m_memDC, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
    }
    EndPaint(m_hWnd, &paint);
    return 0;
}

void UIObject::DrawChildren(HDC dc, UIObject* parent, const RECT* clip)
{
    for (UIObject* child : parent->m_children) {
        if (!child->m_visible)
            continue;
        RECT inParent, visible;
        if (!IntersectRects(inParent, parent->m_rect, *clip) || !IntersectRects(visible, inParent, child->m_rect))
            continue;
        {
            ClipScope scope(dc, visible);
            child->DrawElement(dc, &child->m_rect, &visible);
        }
        DrawChildren(dc, child, &visible);
    }
}

void UIObject::Invalidate(const RECT* rect, BOOL erase)
{
    if (m_hWnd == nullptr) {
        if (m_parent != nullptr)
            m_parent->Invalidate(rect != nullptr ? rect : &m_rect, erase);
        return;
    }
    if (!IsWindowVisible(m_hWnd) || m_replacing)
        return;
    if (m_layered) {
        if (GetWindowThreadProcessId(m_hWnd, nullptr) == GetCurrentThreadId()) {
            // On this window's own thread the send paints before it returns, which is how a
            // sequence running inside a click handler still shows every change.
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(m_hWnd, WM_LAYERED_PAINT, reinterpret_cast<WPARAM>(rect), 0, SMTO_BLOCK, 0,
                                &ignored);
        } else {
            // Another thread never waits for the paint: the window's thread runs it when it next
            // handles its messages. (A zero send time-out is not enough for that everywhere: Wine
            // blocks the sender until the message is handled.) The rectangle is an element's own,
            // so it outlives the wait.
            PostMessageW(m_hWnd, WM_LAYERED_PAINT, reinterpret_cast<WPARAM>(rect), 0);
        }
    } else {
        InvalidateRect(m_hWnd, rect, erase);
    }
}

BOOL UIObject::LayeredPaint(const RECT* rect)
{
    if (!m_layered)
        return FALSE;
    RECT client;
    GetClientRect(m_hWnd, &client);
    RECT area = client;
    if (rect != nullptr && !IntersectRects(area, client, *rect))
        return FALSE;
    if (IsRectEmpty(&area))
        return FALSE;
    EnsureBackBuffer();
    if (m_pixelBits != nullptr) {
        // Clear the alpha of the update area: what GDI draws without alpha stays transparent.
        auto* bytes = static_cast<BYTE*>(m_pixelBits);
        const LONG right = std::min<LONG>(area.right, m_bufferWidth);
        const LONG bottom = std::min<LONG>(area.bottom, m_bufferHeight);
        for (LONG y = std::max<LONG>(area.top, 0); y < bottom; ++y) {
            BYTE* row = bytes + m_imageSize - m_stride * (y + 1);
            for (LONG x = std::max<LONG>(area.left, 0); x < right; ++x)
                row[4 * x + 3] = 0;
        }
    }
    BOOL result;
    {
        ClipScope clip(m_memDC, area);
        DrawElement(m_memDC, &m_rect, &area);
        DrawChildren(m_memDC, this, &area);
        RECT window;
        GetWindowRect(m_hWnd, &window);
        POINT position = {window.left, window.top};
        SIZE size = {window.right - window.left, window.bottom - window.top};
        POINT source = {0, 0};
        BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        result = UpdateLayeredWindow(m_hWnd, nullptr, &position, &size, m_memDC, &source, 0, &blend, ULW_ALPHA);
    }
    return result;
}

int UIObject::MakeLayered()
{
    if (m_hWnd == nullptr || !IsWindow(m_hWnd) || (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD))
        return 0;
    if (m_layered != 1) {
        ModifyExStyle(0, WS_EX_LAYERED);
        m_layered = (GetWindowLongW(m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED) ? 1 : 0;
        Invalidate(nullptr, TRUE);
    }
    return m_layered;
}

LRESULT UIObject::OnShowWindow(WPARAM wParam, LPARAM lParam)
{
    if (wParam && m_layered && !m_firstLayeredPaintDone) {
        m_firstLayeredPaintDone = TRUE;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(m_hWnd, WM_LAYERED_PAINT, 0, 0, SMTO_BLOCK, 0, &ignored);
    }
    return Default(WM_SHOWWINDOW, wParam, lParam);
}

LRESULT UIObject::OnWindowPosChanged(WPARAM wParam, LPARAM lParam)
{
    auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
    if (position != nullptr && (position->flags & (SWP_NOSIZE | SWP_NOCOPYBITS)) == 0) {
        RECT client;
        GetClientRect(m_hWnd, &client);
        if (!EqualRect(&client, &m_rect)) {
            m_rect = client;
            m_replacing = TRUE;
            RelayoutTree();
            OnLayoutChanged();
        }
    }
    LRESULT result = Default(WM_WINDOWPOSCHANGED, wParam, lParam);
    if (m_replacing) {
        m_replacing = FALSE;
        if (m_layered)
            Invalidate(nullptr, TRUE);
    }
    return result;
}
