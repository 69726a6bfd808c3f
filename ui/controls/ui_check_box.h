#pragma once

// UICheckBox: the skinned two-state check box. A click toggles its checked flag and tells the
// host window with WM_COMMAND carrying the box's id. One set of five state images serves both
// values; a checked box shows its "pressed" image.
//
// UICheckBoxEx: the same box with a second set of images, so checked and unchecked boxes have
// their own skins ("Checked/normal", "Unchecked/normal" and so on). Its checked flag picks the
// set; the visual state alone picks the image within the set.
//
// Visual states: 0 normal, 2 lighted (pointer over an unchecked box), 3 pressed (button held, or
// pointer over a checked box). A disabled box draws "grayed" and ignores the mouse.

#include <windows.h>

#include <string>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UICheckBox : public UIObject {
public:
    UICheckBox();
    ~UICheckBox() override;

    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    int ElementLButtonUp(UINT flags, POINT* point) override;
    int ElementLButtonDown(UINT flags, POINT* point) override;
    int ElementLButtonDblClk(UINT flags, POINT* point) override;
    int ElementMouseEnter(UINT flags, POINT* point) override;
    int ElementMouseLeave(UINT flags, POINT* point) override;
    int ElementVisibleChanged(BOOL visible) override;

    // Replaces the caption (null means none) and repaints.
    void SetText(const wchar_t* text);
    // Checks the box without telling anyone: only the user's toggles send WM_COMMAND.
    void SetChecked();
    bool IsChecked() const { return m_checked != 0; }

    int GetVisualState() const { return m_visualState; }
    const std::wstring& GetText() const { return m_caption; }

    enum VisualState : int { kStateNormal = 0, kStateLighted = 2, kStatePressed = 3 };

protected:
    // The caption's rectangle: the element rectangle less the text margin.
    RECT CaptionRect(const RECT& ownRect) const;
    void DrawCaption(HDC dc, const RECT& ownRect, int index);
    // Reads "id", "size" and the "Text" node; the state images are the caller's.
    void LoadCommon(IUIResource* resource, const JsonValue* node);
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
    void Toggle();
};

class UICheckBoxEx : public UICheckBox {
public:
    UICheckBoxEx();
    ~UICheckBoxEx() override;

    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;

protected:
    ImageStyle m_checkedImages[kSkinStateCount];
};
