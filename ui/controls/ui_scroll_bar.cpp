#include "ui/controls/ui_scroll_bar.h"

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

UIScrollBar::UIScrollBar()
{
    m_controlType = kControlScrollBar;
}

UIScrollBar::~UIScrollBar() = default;

void UIScrollBar::Relayout()
{
    UIObject::Relayout();
    UpdateThumb();
}

int UIScrollBar::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr)
        return 1;
    m_thumbImage = resource->GetImageStyle("thumb", node);
    m_trackImage = resource->GetImageStyle("trackbar", node);
    return 1;
}

void UIScrollBar::DrawElement(HDC dc, const RECT*, const RECT*)
{
    DrawImageStyle(m_track, m_trackImage, dc);
    DrawImageStyle(m_thumb, m_thumbImage, dc);
}

void UIScrollBar::SetRange(int maximum)
{
    m_minimum = 0;
    m_maximum = maximum;
    UpdateThumb();
    Invalidate(nullptr, TRUE);
}

void UIScrollBar::UpdateThumb()
{
    const LONG L = m_rect.left, T = m_rect.top, R = m_rect.right, B = m_rect.bottom;
    // The bar has no arrow buttons: both line areas are empty strips at the ends of the track.
    m_lineUp = RECT{L, T, R, T};
    m_lineDown = RECT{L, B, R, B};
    m_track = RECT{L, m_lineUp.bottom, R, m_lineDown.top};

    const int range = m_maximum - m_minimum;
    const int trackLength = B - T;
    // Without a range there is nothing to scale by, so the thumb stays where it was.
    if (range > 0) {
        if (m_page == 0) {
            // A fixed thumb that only jumps once the new place is a whole thumb length away, so
            // small position changes do not make it jitter.
            const int thumbLength = m_minThumbLength;
            const int offset = MulDiv(m_position - m_minimum, trackLength - thumbLength, range);
            RECT candidate = {L, T + offset, R, T + offset + thumbLength};
            if (candidate.top < T)
                OffsetRect(&candidate, 0, T - candidate.top);
            else if (candidate.bottom > B)
                OffsetRect(&candidate, 0, B - candidate.bottom);
            const LONG moved = candidate.top > m_thumb.top ? candidate.top - m_thumb.top : m_thumb.top - candidate.top;
            if (IsRectEmpty(&m_thumb) || moved >= m_minThumbLength)
                m_thumb = candidate;
        } else {
            int offset = MulDiv(m_position - m_minimum, trackLength, range);
            int thumbLength = range < m_page ? trackLength : MulDiv(m_page - 1, trackLength, range);
            if (thumbLength < m_minThumbLength) {
                // Drawn at the minimum length, the thumb travels over a correspondingly shorter
                // stretch of the track.
                offset = MulDiv(m_position - m_minimum, trackLength - m_minThumbLength + thumbLength, range);
                const int travel = trackLength - m_minThumbLength;
                if (offset > travel)
                    offset = travel;
                if (offset < 0)
                    offset = 0;
                thumbLength = m_minThumbLength;
            }
            m_thumb = RECT{L, T + offset, R, T + offset + thumbLength};
            if (m_thumb.bottom > B)
                m_thumb.bottom = B;
        }
    }
    if (m_thumb.bottom - m_thumb.top > B - T)
        m_thumb = RECT{m_thumb.left, T, m_thumb.right, B};
    m_pageUp = RECT{L, T, R, m_thumb.top};
    m_pageDown = RECT{L, m_thumb.bottom, R, B};
}

void UIScrollBar::Notify(WPARAM code)
{
    if (m_parent != nullptr)
        m_parent->OnChildCommand(this, WM_VSCROLL, code, 0);
}

int UIScrollBar::ElementLButtonDown(UINT, POINT* point)
{
    if (point == nullptr)
        return 1;
    // First area that holds the point wins; one notification per press, none while held.
    if (PtInRect(&m_lineUp, *point))
        Notify(SB_LINEUP);
    else if (PtInRect(&m_lineDown, *point))
        Notify(SB_LINEDOWN);
    else if (PtInRect(&m_pageUp, *point))
        Notify(SB_PAGEUP);
    else if (PtInRect(&m_pageDown, *point))
        Notify(SB_PAGEDOWN);
    else if (PtInRect(&m_thumb, *point))
        DragThumb(*point);
    return 1;
}

void UIScrollBar::DragThumb(const POINT& start)
{
    HWND host = GetHostWindow();
    if (host == nullptr)
        return;
    m_lastDragY = start.y - m_rect.top;
    SetCapture(host);
    UpdateWindow(host);

    // The drag runs its own loop so that the thumb follows the pointer even outside the window;
    // mouse moves and the release are taken here and never reach the window.
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The quit ends the drag, and is posted again so the program's own loop still ends.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        if (GetCapture() != host)
            break;
        if (message.message == WM_KEYDOWN) {
            if (message.wParam == VK_ESCAPE)
                break;
            continue;
        }
        if (message.message == WM_MOUSEMOVE) {
            DragStep(message.lParam);
            continue;
        }
        if (message.message == WM_LBUTTONUP)
            break;
        DispatchMessageW(&message);
    }
    ReleaseCapture();
    Invalidate(nullptr, TRUE);
}

void UIScrollBar::DragStep(LPARAM pointerWords)
{
    // The pointer's words are unsigned, so a pointer above or left of the window's client area
    // arrives as a large number and falls outside the track.
    const int x = static_cast<int>(LOWORD(pointerWords)) - m_rect.left;
    const int y = static_cast<int>(HIWORD(pointerWords)) - m_rect.top;
    RECT track = m_track;
    OffsetRect(&track, -m_rect.left, -m_rect.top);
    RECT thumb = m_thumb;
    OffsetRect(&thumb, -m_rect.left, -m_rect.top);

    if (y > track.bottom || y < track.top || x < track.left - kDragSlack || x > track.right + kDragSlack)
        return;

    const int delta = y - m_lastDragY;
    RECT moved = thumb;
    OffsetRect(&moved, 0, delta);
    if (moved.top < track.top)
        OffsetRect(&moved, 0, track.top - moved.top);
    if (moved.bottom > track.bottom)
        OffsetRect(&moved, 0, track.bottom - moved.bottom);

    const int thumbOffset = moved.top - track.top;
    const int thumbLength = moved.bottom - moved.top;
    const int numerator = (m_maximum - m_minimum) - m_page + 1;
    const int travel = (track.bottom - track.top) - thumbLength;
    // A thumb that fills its track has no travel to scale over; MulDiv would answer -1 there.
    m_trackPosition = numerator > 0 && travel > 0 ? MulDiv(thumbOffset, numerator, travel) : 0;
    if (m_trackPosition != m_lastSentTrackPosition)
        Notify(MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(m_trackPosition & 0xFFFF)));
    m_lastSentTrackPosition = m_trackPosition;
    m_lastDragY = y;
}
