#pragma once

// UIRadioBox: a check box whose checked state is exclusive among its sibling radio boxes. A click
// on an unchecked box checks it, unchecks every other radio box with the same parent element, and
// tells the parent (OnChildCommand) and the host window (WM_COMMAND). A click never unchecks a
// box, and a click on a checked box sends nothing. Radio boxes recognise each other by their
// control type (kControlRadioBox); check boxes beside them are left alone, and boxes under
// different parents never affect each other.
//
// UIDropButton: a push button whose click runs a drop-down action, OnDrop, which a window or a
// derived class replaces (to show a pop-up menu while the button stays pressed, for instance).
// By default OnDrop sends WM_COMMAND with the id to the host window. While the action runs,
// leaving the button does not reset its pressed look; afterwards the button shows "lighted" if
// the pointer is over it and "normal" otherwise. Its caption is always one line, left aligned,
// cut with an ellipsis at a word, and never shifts when pressed.
//
// Both draw their five skinned states as the button and the check box do: "grayed" when
// disabled, "focused" loaded but never drawn.

#include <windows.h>

#include <string>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIRadioBox : public UIObject {
public:
    enum VisualState : int { kStateNormal = 0, kStateLighted = 2, kStatePressed = 3 };

    UIRadioBox();
    ~UIRadioBox() override;

    // Slot 60: as the check box: "pressed" while pressed or checked.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: as the check box: "id", "size", the five images, then "Text". Returns 1.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    int ElementLButtonUp(UINT flags, POINT* point) override;
    int ElementLButtonDown(UINT flags, POINT* point) override;
    int ElementLButtonDblClk(UINT flags, POINT* point) override;
    int ElementMouseEnter(UINT flags, POINT* point) override;
    int ElementMouseLeave(UINT flags, POINT* point) override;
    int ElementVisibleChanged(BOOL visible) override;
    // Slot 86: unchecks the checked sibling radio boxes and repaints them.
    virtual void OnSelect();

    // Replaces the caption (null empties it) and repaints.
    void SetText(const wchar_t* text);
    const std::wstring& GetText() const { return m_caption; }
    // Stores the value and repaints; tells nobody and leaves the siblings alone. A window that
    // checks a box from code and wants the group kept exclusive calls OnSelect as well.
    void SetChecked(bool checked);
    bool IsChecked() const { return m_checked != 0; }
    int GetVisualState() const { return m_visualState; }

protected:
    bool AcceptsMouse() const { return m_enabled && m_visible; }

    ImageStyle m_images[kSkinStateCount];
    TextStyle m_textStyles[kSkinStateCount];
    int m_checked = 0;
    int m_visualState = kStateNormal;
    std::wstring m_caption;
    int m_marginLeft = 0;
    int m_marginTop = 0;
    int m_marginRight = 0;
    int m_marginBottom = 0;

private:
    void Select();
};

class UIDropButton : public UIObject {
public:
    enum VisualState : int { kStateNormal = 0, kStateLighted = 2, kStatePressed = 3 };

    // The caption format forced on every state: DT_WORD_ELLIPSIS | DT_SINGLELINE | DT_VCENTER.
    static constexpr UINT kCaptionFormat = 0x40024;

    UIDropButton();
    ~UIDropButton() override;

    // Slot 60: as the button, but the caption never shifts when pressed.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: as the button, then every text style gets kCaptionFormat. Returns 1.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    // Slot 63: runs the drop-down action, then shows whether the pointer is still over it.
    int ElementLButtonUp(UINT flags, POINT* point) override;
    int ElementLButtonDown(UINT flags, POINT* point) override;
    int ElementLButtonDblClk(UINT flags, POINT* point) override;
    int ElementMouseEnter(UINT flags, POINT* point) override;
    // Slot 70: back to normal, except while the drop-down action runs.
    int ElementMouseLeave(UINT flags, POINT* point) override;
    int ElementVisibleChanged(BOOL visible) override;
    // Slot 86: the drop-down action; by default WM_COMMAND (id, 0) to the host window.
    virtual void OnDrop();

    void SetText(const wchar_t* text);
    const std::wstring& GetText() const { return m_text; }
    int GetVisualState() const { return m_visualState; }
    bool IsDropping() const { return m_dropping != 0; }
    // The text style of a state; state 0's for an index out of range.
    const TextStyle& GetTextStyle(int state) const
    {
        return m_textStyles[state >= 0 && state < kSkinStateCount ? state : 0];
    }

protected:
    void SetVisualState(int state);

    ImageStyle m_images[kSkinStateCount];
    TextStyle m_textStyles[kSkinStateCount];
    int m_marginLeft = 0;
    int m_marginTop = 0;
    int m_marginRight = 0;
    int m_marginBottom = 0;
    int m_visualState = kStateNormal;
    std::wstring m_text;
    int m_dropping = 0;
};
