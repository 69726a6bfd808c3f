#pragma once

// UILabel: skinned static text. A windowless element that draws one text with one text style
// and reacts to no input; whatever lies beneath it shows through, since it has no image.
//
// The download worker replaces the process window's status text while the user-interface thread
// may be painting it, so the text lives under the label's own lock: SetText swaps it in whole
// and painting reads it whole, and a paint shows either the old or the new text. The repaint
// request is made after the lock is released and does not wait for the paint when it comes
// from another thread.
//
// A label is caption-transparent: over a frame window's top strip, pressing on it drags the
// window.

#include <windows.h>

#include <string>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UILabel : public UIObject {
public:
    UILabel();
    ~UILabel() override;

    // Slot 60: the text in the element rectangle, with the label's style and no margin.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: "text" replaces the whole style (its "tx" becomes the text; a missing "al" gives
    // flags 0, not the centred default), then "size". 1 when the node was found; 0, with nothing
    // read, when it is missing.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;

    // Replaces the text (null empties it) and requests a repaint. Any thread.
    void SetText(const wchar_t* text);
    // A copy of the text, taken under the lock. Any thread.
    std::wstring GetText();
    // A copy of the style, taken under the lock.
    TextStyle GetTextStyle();

private:
    // The lock is taken once per call and never nested on one thread.
    void LockText();
    void UnlockText();

    // Centred on one line until a resource says otherwise.
    TextStyle m_style;
    volatile LONG m_lockEntries = 0;
    CRITICAL_SECTION m_textLock;
};
