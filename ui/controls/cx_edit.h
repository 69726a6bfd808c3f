#pragma once

// CXEdit: the single-line editable box (the installer's folder box). It adds to UIEditBox a
// flashing caret, selection by dragging the mouse, select-all on double-click, a few editing keys
// and typing of the printable ASCII characters "!" to "}". There is no clipboard, no undo and no
// vertical movement. Every change of the text is reported to the parent element's
// OnChildCommand as WM_COMMAND with EN_UPDATE in the high word (id 0); nothing goes to the host
// window.
//
// Positions are UTF-16 indices. The selection is [start, end) with start <= end; equal means none.
// Indices beyond the text (SetText may shorten the text under a selection) are clamped whenever
// the text is read, measured or changed.
//
// Keys:  Backspace  removes the selection or the character before the caret (nothing at all
//                   while the caret is at 0)
//        Delete     removes the selection or the character at the caret
//        Left/Right collapse a selection onto its start, then move the caret by one
//        Home/End   caret and empty selection to the start / end
// Only Backspace and Delete report a change; typing reports each inserted character.

#include <windows.h>

#include <string>

#include "ui/controls/ui_edit_box.h"

class CXEdit : public UIEditBox {
public:
    // A negative maximum other than kNoLimit, or 0, refuses all typing; the limit applies to
    // typing only, never to SetText.
    static constexpr int kNoLimit = -1;
    explicit CXEdit(int maximumLength = kNoLimit);
    ~CXEdit() override;

    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    int ElementLButtonUp(UINT flags, POINT* point) override;
    int ElementLButtonDown(UINT flags, POINT* point) override;
    int ElementLButtonDblClk(UINT flags, POINT* point) override;
    int ElementMouseMove(UINT flags, POINT* point) override;
    void ElementTimer(UINT_PTR timerId) override;
    int ElementKeyDown(UINT key, LPARAM lParam) override;
    int ElementChar(UINT character, LPARAM lParam) override;
    int ElementKillFocus(UIObject* newFocus) override;
    int ElementSetFocus(UIObject* previousFocus) override;
    BOOL ElementSetCursor() override;

    // Replaces the text, reports the change and repaints. A text that differs moves the caret to
    // its end; the selection is kept. False, with nothing changed, for a null text.
    bool SetText(const wchar_t* text);

    // The character index a point (host client coordinates) falls on, measured with the DC's
    // current font: the nearer edge of the character under the point; 0 left of or above/below the
    // text, the length right of it.
    int HitTest(HDC dc, POINT point) const;

    int GetCaret() const { return m_caret; }
    int GetSelectionStart() const { return m_selectionStart; }
    int GetSelectionEnd() const { return m_selectionEnd; }
    bool HasSelection() const { return m_selectionStart != m_selectionEnd; }
    bool IsCaretShown() const { return m_caretShown != 0; }
    int GetMaximumLength() const { return m_maximumLength; }
    // The caret's blink timer on the host window, -1 while the box has no focus.
    int GetBlinkTimerId() const { return m_blinkTimerId; }

    // EN_UPDATE in the high word of the change notification's wParam.
    static constexpr WPARAM kChangeNotification = static_cast<WPARAM>(EN_UPDATE) << 16;
    static constexpr UINT kBlinkInterval = 500;
    // The selection's background, opaque ARGB.
    static constexpr DWORD kSelectionColor = 0xFF3399FF;
    static constexpr DWORD kCaretColor = 0xFE000000;

protected:
    int Length() const { return static_cast<int>(m_text.size()); }
    int Clamp(int index) const;
    // Characters [from, to) with both ends clamped into the text.
    std::wstring Piece(int from, int to) const;
    // Removes characters [start, end), clamped, and puts the caret and the selection's end on start.
    void RemoveSelection();
    void NotifyChange();
    void Repaint() { Invalidate(nullptr, TRUE); }
    void DragSelect(const POINT& start);

    int m_caretShown = 0;
    int m_caret = 0;
    int m_maximumLength = kNoLimit;
    int m_selectionStart = 0;
    int m_selectionEnd = 0;
    int m_blinkTimerId = -1;
};
