#pragma once

// UIEditBox: a text drawn over a skinned background. It takes no keyboard input. In its scrolling
// mode it wraps the text at its width and scrolls it vertically with a child UIScrollBar and the
// mouse wheel; the installer shows its licence text this way. CXEdit (cx_edit.h) derives from it
// and adds single-line editing.
//
// Scroll bounds, with the bar's maximum (the content height), page (the text area height) and
// position:
//   line and page moves, SB_BOTTOM   stop at maximum - page - 1
//   the wheel and the thumb          reach maximum - page + 1
// and no move downwards ever goes above the top of the content (below the minimum).

#include <windows.h>

#include <string>

#include "ui/controls/ui_scroll_bar.h"
#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIEditBox : public UIObject {
public:
    UIEditBox();
    ~UIEditBox() override;

    void Relayout() override;
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    int ElementMouseWheel(UINT keys, UINT delta, POINT* point) override;
    int OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Replaces the text (null means empty) and repaints. In scrolling mode the range follows the
    // new text at the next Relayout, not now.
    void SetText(const wchar_t* text);
    std::wstring GetText() const { return m_text; }

    // Turns the wrapping and scrolling mode on or off and repaints; set it before the window is
    // sized, since the scroll range is computed when the box is laid out.
    void SetScrollMode(bool scrolling);
    bool IsScrollMode() const { return m_scrollMode != 0; }

    UIScrollBar* GetScrollBar() const { return m_scrollBar; }
    int GetScrollOffset() const { return m_scrollOffset; }
    const RECT& GetTextRect() const { return m_textRect; }
    // The text rectangle less the text margin: where the text is drawn.
    RECT TextArea() const;

    // How many pixels of content the wheel ignores: shorter content never scrolls by wheel.
    static constexpr int kWheelMinimumRange = 100;

protected:
    // Stores a new position in the bar and the offset, and repaints both.
    void ScrollTo(int position);
    // The text as drawn: the CR of each CR LF line break drawn as a space.
    std::wstring DisplayText() const;

    TextStyle m_textStyles[2];  // 0 "normal", 1 "grayed"; only "normal" is ever drawn
    ImageStyle m_background;
    int m_marginLeft = 0;
    int m_marginTop = 0;
    int m_marginRight = 0;
    int m_marginBottom = 0;
    std::wstring m_text;
    int m_scrollMode = 0;
    UIScrollBar* m_scrollBar = nullptr;  // a child, owned through the child list
    RECT m_textRect = {0, 0, 0, 0};
    int m_scrollOffset = 0;
};
