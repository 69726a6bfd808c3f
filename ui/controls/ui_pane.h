#pragma once

// UIPane: the simplest skinned element. It draws one background image over its rectangle and
// may hold children, which the base draws over it.

#include <windows.h>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIPane : public UIObject {
public:
    UIPane();
    ~UIPane() override;

    // Slot 60: the background over the element rectangle.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: "id", "size" and "bkgnd". 1 when the node was found; 0, with nothing read, when
    // it is missing.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;

private:
    ImageStyle m_background;
};
