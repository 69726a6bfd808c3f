#include "ui/controls/cx_edit.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

#include "ui/drawing.h"
#include "ui/drawing_globals.h"

namespace gp = Gdiplus::DllExports;

namespace {

int WidthOf(HDC dc, const std::wstring& text)
{
    if (dc == nullptr || text.empty())
        return 0;
    SIZE size = {0, 0};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// A GDI+ surface over a DC for one drawing step. The brushes and pens are made per paint rather
// than kept: GDI+ shuts down when the last bitmap dies, and an object kept across that would be
// left dangling.
class GdiplusSurface {
public:
    explicit GdiplusSurface(HDC dc)
    {
        if (dc != nullptr && StartGdiplus())
            gp::GdipCreateFromHDC(dc, &m_graphics);
    }
    ~GdiplusSurface()
    {
        if (m_graphics != nullptr)
            gp::GdipDeleteGraphics(m_graphics);
    }
    GdiplusSurface(const GdiplusSurface&) = delete;
    GdiplusSurface& operator=(const GdiplusSurface&) = delete;

    void FillRect(DWORD argb, int x, int y, int width, int height)
    {
        Gdiplus::GpSolidFill* brush = nullptr;
        if (m_graphics == nullptr || gp::GdipCreateSolidFill(argb, &brush) != Gdiplus::Ok || brush == nullptr)
            return;
        gp::GdipFillRectangleI(m_graphics, brush, x, y, width, height);
        gp::GdipDeleteBrush(brush);
    }
    void Line(DWORD argb, int x1, int y1, int x2, int y2)
    {
        Gdiplus::GpPen* pen = nullptr;
        if (m_graphics == nullptr || gp::GdipCreatePen1(argb, 1.0f, Gdiplus::UnitWorld, &pen) != Gdiplus::Ok ||
            pen == nullptr)
            return;
        gp::GdipDrawLineI(m_graphics, pen, x1, y1, x2, y2);
        gp::GdipDeletePen(pen);
    }

private:
    Gdiplus::GpGraphics* m_graphics = nullptr;
};

}  // namespace

CXEdit::CXEdit(int maximumLength) : m_maximumLength(maximumLength) {}

CXEdit::~CXEdit()
{
    // The host's timer map points at this box while its blink timer runs.
    if (m_blinkTimerId != -1)
        KillElementTimer(static_cast<UINT_PTR>(m_blinkTimerId));
}

int CXEdit::Clamp(int index) const
{
    return std::max(0, std::min(index, Length()));
}

std::wstring CXEdit::Piece(int from, int to) const
{
    const int start = Clamp(from);
    const int end = Clamp(to);
    if (end <= start)
        return std::wstring();
    return m_text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
}

void CXEdit::RemoveSelection()
{
    const int start = Clamp(m_selectionStart);
    const int end = Clamp(m_selectionEnd);
    if (end > start)
        m_text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
    // A selection left beyond a shortened text collapses onto the text's end, so that start
    // never passes end.
    m_caret = m_selectionStart = m_selectionEnd = start;
}

void CXEdit::NotifyChange()
{
    if (m_parent != nullptr)
        m_parent->OnChildCommand(this, WM_COMMAND, kChangeNotification, 0);
}

bool CXEdit::SetText(const wchar_t* text)
{
    if (text == nullptr)
        return false;
    if (m_text != text)
        m_caret = static_cast<int>(wcslen(text));
    m_text = text;
    NotifyChange();
    Repaint();
    return true;
}

int CXEdit::HitTest(HDC dc, POINT point) const
{
    // The text of a CXEdit starts at its own left edge plus the margin.
    const int left = m_rect.left + m_marginLeft;
    const RECT hit = {left, m_rect.top, left + WidthOf(dc, m_text), m_rect.bottom};
    if (!PtInRect(&hit, point))
        return point.x >= hit.right ? Length() : 0;
    int previous = 0;
    for (int i = 1; i <= Length(); ++i) {
        const int width = WidthOf(dc, m_text.substr(0, static_cast<size_t>(i)));
        const RECT character = {left, m_rect.top, left + width, m_rect.bottom};
        if (PtInRect(&character, point)) {
            // The nearer edge wins; a tie goes to the left one.
            const int toRight = left + width - point.x;
            const int toLeft = point.x - (left + previous);
            return toRight < toLeft ? i : i - 1;
        }
        previous = width;
    }
    return 0;
}

void CXEdit::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    DrawImageStyle(*ownRect, m_background, dc);

    const RECT area = TextArea();
    const int top = area.top - m_scrollOffset;
    auto drawPiece = [&](int x, const std::wstring& piece, COLORREF color) {
        if (piece.empty())
            return;
        TextStyle style = m_textStyles[0];
        style.color = color;
        DrawStyledText(RECT{x, top, area.right, area.bottom}, piece.c_str(), &area, dc, style);
    };

    if (m_selectionStart == m_selectionEnd) {
        drawPiece(area.left, m_text, RGB(0, 0, 0));
        if (m_caretShown == 1) {
            const int x = area.left + WidthOf(dc, Piece(0, m_caret)) + 2;
            const int y = top + (area.bottom - top - 16) / 2;
            GdiplusSurface(dc).Line(kCaretColor, x, y, x, y + 14);
        }
        return;
    }

    // No caret while a selection exists.
    const int start = Clamp(m_selectionStart);
    const int end = Clamp(m_selectionEnd);
    int x = area.left;
    if (start >= 1) {
        const std::wstring before = Piece(0, start);
        drawPiece(x, before, RGB(0, 0, 0));
        x += WidthOf(dc, before);
    }
    const std::wstring selected = Piece(start, end);
    const int selectedWidth = WidthOf(dc, selected);
    GdiplusSurface(dc).FillRect(kSelectionColor, x + 2, top + (area.bottom - top - 18) / 2, selectedWidth, 17);
    drawPiece(x, selected, RGB(255, 255, 255));
    x += selectedWidth;
    if (end != Length())
        drawPiece(x, Piece(end, Length()), RGB(0, 0, 0));
}

int CXEdit::ElementLButtonUp(UINT, POINT*)
{
    // The box is not a button: a release sends nothing.
    return 1;
}

int CXEdit::ElementMouseMove(UINT, POINT*)
{
    return 1;
}

int CXEdit::ElementLButtonDblClk(UINT, POINT*)
{
    m_selectionStart = 0;
    m_caret = m_selectionEnd = Length();
    m_caretShown = 1;
    Repaint();
    return 1;
}

int CXEdit::ElementLButtonDown(UINT, POINT* point)
{
    if (point != nullptr)
        DragSelect(*point);
    return 0;
}

void CXEdit::DragSelect(const POINT& start)
{
    HWND host = GetHostWindow();
    const int anchor = HitTest(GetMemDC(), start);
    m_caret = m_selectionStart = m_selectionEnd = anchor;

    // Without a window there is no capture to end the loop, so there is no drag either.
    if (host != nullptr) {
        SetCapture(host);
        int applied = anchor;
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
            if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE)
                break;
            if (message.message == WM_MOUSEMOVE) {
                // The selection follows the pointer; the caret stays at the anchor.
                const POINT at = {static_cast<short>(LOWORD(message.lParam)),
                                  static_cast<short>(HIWORD(message.lParam))};
                const int index = HitTest(GetMemDC(), at);
                if (index != applied) {
                    applied = index;
                    m_selectionStart = std::min(anchor, index);
                    m_selectionEnd = std::max(anchor, index);
                    Repaint();
                }
                continue;
            }
            // Timers and paints keep running during the drag, so the caret keeps flashing.
            DispatchMessageW(&message);
            if (message.message == WM_LBUTTONUP)
                break;
        }
        ReleaseCapture();
    }
    m_caretShown = 1;
    Repaint();
}

void CXEdit::ElementTimer(UINT_PTR timerId)
{
    // A tick of any other timer (one left from an earlier focus) is stopped, not taken as a blink.
    if (m_blinkTimerId != -1 && timerId == static_cast<UINT_PTR>(m_blinkTimerId)) {
        m_caretShown = m_caretShown ? 0 : 1;
        Repaint();
        return;
    }
    KillElementTimer(timerId);
}

int CXEdit::ElementSetFocus(UIObject*)
{
    m_caretShown = 1;
    const UINT_PTR id = SetElementTimer(kBlinkInterval);
    m_blinkTimerId = id != 0 ? static_cast<int>(id) : -1;
    Repaint();
    return 0;
}

int CXEdit::ElementKillFocus(UIObject*)
{
    m_caretShown = 0;
    if (m_blinkTimerId != -1)
        KillElementTimer(static_cast<UINT_PTR>(m_blinkTimerId));
    m_blinkTimerId = -1;
    Repaint();
    return 1;
}

BOOL CXEdit::ElementSetCursor()
{
    SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
    return TRUE;
}

int CXEdit::ElementKeyDown(UINT key, LPARAM)
{
    switch (key) {
    case VK_BACK:
        // At the start nothing happens, even to a selection made rightwards from there.
        if (m_caret <= 0)
            return 0;
        if (HasSelection()) {
            RemoveSelection();
        } else {
            m_caret = Clamp(m_caret - 1);
            if (m_caret < Length())
                m_text.erase(static_cast<size_t>(m_caret), 1);
        }
        NotifyChange();
        Repaint();
        break;
    case VK_DELETE:
        if (HasSelection()) {
            RemoveSelection();
        } else {
            const int at = Clamp(m_caret);
            if (at < Length())
                m_text.erase(static_cast<size_t>(at), 1);
        }
        NotifyChange();
        Repaint();
        break;
    case VK_LEFT:
    case VK_RIGHT:
        // Arrows never extend a selection: they collapse it onto its start first.
        if (HasSelection())
            m_caret = m_selectionStart = m_selectionEnd = Clamp(m_selectionStart);
        m_caret = key == VK_LEFT ? std::max(m_caret - 1, 0) : std::min(m_caret + 1, Length());
        Repaint();
        break;
    case VK_HOME:
        m_caret = m_selectionStart = m_selectionEnd = 0;
        Repaint();
        break;
    case VK_END:
        m_caret = m_selectionStart = m_selectionEnd = Length();
        Repaint();
        break;
    default:
        break;
    }
    return 0;
}

int CXEdit::ElementChar(UINT character, LPARAM)
{
    // Only "!" to "}": no spaces, no control characters, no "~", nothing beyond ASCII.
    if (character < 0x21 || character > 0x7D)
        return 0;
    const bool removed = HasSelection();
    if (removed)
        RemoveSelection();
    const bool roomLeft =
        m_maximumLength == kNoLimit || (m_maximumLength > 0 && Length() < m_maximumLength);
    if (!roomLeft) {
        // The selection is gone even when the character is refused; say so and show it.
        if (removed) {
            NotifyChange();
            Repaint();
        }
        return 0;
    }
    const int at = Clamp(m_caret);
    m_text.insert(static_cast<size_t>(at), 1, static_cast<wchar_t>(character));
    m_caret = at + 1;
    NotifyChange();
    Repaint();
    return 0;
}
