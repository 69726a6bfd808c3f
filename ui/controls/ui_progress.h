#pragma once

// UIProgress: the skinned horizontal progress bar. A windowless element without input that
// draws its background over the whole element and its foreground over a left part whose width
// grows with the position. The process window moves it through 10, 80, 90 and 100 on a 0 to 100
// range while the install or uninstall runs.
//
// The fill is (width × position) ÷ (maximum − minimum): the position itself is scaled, not its
// distance from the minimum, so a bar whose range starts above 0 already shows a fill at its
// minimum. Nothing is clamped; a fill wider than the bar is cut off by the element's clip, and the
// drawn foreground ends at GDI's coordinate limit at the latest.

#include <windows.h>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIProgress : public UIObject {
public:
    UIProgress();
    ~UIProgress() override;

    // Slot 60: the background over the element, then the foreground over the filled part.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: "id", "size", "bkgnd" and "frgnd". 1 when the node was found; 0, with nothing
    // read, when it is missing.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;

    // Both store the values as given and repaint.
    void SetRange(int minimum, int maximum);
    void SetPos(int position);

    int GetPos() const { return m_position; }
    int GetMinimum() const { return m_minimum; }
    int GetMaximum() const { return m_maximum; }
    // The width of the filled part for a bar of the given width: negative for a negative
    // position, 0 when the range is empty, saturated at the 32-bit limits.
    int FillWidth(int barWidth) const;

private:
    int m_position = 0;
    int m_maximum = 0;
    int m_minimum = 0;
    ImageStyle m_background;
    ImageStyle m_foreground;
};
