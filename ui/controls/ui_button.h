#pragma once

// UIButton: the skinned push button. It is a windowless element drawn into its host window's
// back buffer, shows one of five skinned states with an optional caption over the state image,
// and reports a click to its parent element (OnChildCommand) and then to its host window as
// WM_COMMAND with its id in the low word.
//
// The button keeps its own visual state (normal, lighted or pressed); "grayed" follows from the
// element's enabled flag alone, and "focused" is loaded but never drawn. There is no mouse
// capture: a press that moves off the button returns it to normal, moving back lights it, and a
// release over it still clicks, wherever the press began.

#include <windows.h>

#include <string>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIButton : public UIObject {
public:
    UIButton();
    ~UIButton() override;

    // Slot 60: the state image over the element, then the caption inside the text margin.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: "id", "size", the five state images, then "Text" with "margin" and the five text
    // styles. 1 when the node was found; 0, with nothing read, when it is missing.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    // Slot 63: the click. Lights the button, offers WM_COMMAND to the parent, then sends it to
    // the host window.
    int ElementLButtonUp(UINT flags, POINT* point) override;
    // Slot 64: the pressed look.
    int ElementLButtonDown(UINT flags, POINT* point) override;
    // Slot 65: a double-click acts as a second press.
    int ElementLButtonDblClk(UINT flags, POINT* point) override;
    // Slot 69: lights an enabled, visible button.
    int ElementMouseEnter(UINT flags, POINT* point) override;
    // Slot 70: back to normal, also when disabled.
    int ElementMouseLeave(UINT flags, POINT* point) override;
    // Slot 72: back to normal; the base repaints after a visibility change.
    int ElementVisibleChanged(BOOL visible) override;

    // Replaces the caption (null empties it) and repaints.
    void SetText(const wchar_t* text);
    const std::wstring& GetText() const { return m_text; }

    // kSkinNormal, kSkinLighted or kSkinPressed.
    int GetVisualState() const { return m_visualState; }
    // The state record that DrawElement uses now: the visual state, or kSkinGrayed when disabled.
    int GetDrawnState() const;

protected:
    void SetVisualState(int state);

    ImageStyle m_images[kSkinStateCount];
    TextStyle m_textStyles[kSkinStateCount];
    int m_marginLeft = 0;
    int m_marginTop = 0;
    int m_marginRight = 0;
    int m_marginBottom = 0;
    int m_visualState = kSkinNormal;
    std::wstring m_text;
};
