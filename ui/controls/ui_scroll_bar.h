#pragma once

// UIScrollBar: the skinned vertical scroll bar, a track image with a thumb image over it. It keeps
// a range (minimum always 0), a page and a position, computes the thumb from them, and turns
// presses on the track and drags of the thumb into WM_VSCROLL notifications to its parent
// element's OnChildCommand. It never moves its own position: the parent decides, stores the new
// position with SetPosition and calls UpdateThumb.
//
// Notifications (sender = the bar, message = WM_VSCROLL, lParam = 0):
//   SB_PAGEUP / SB_PAGEDOWN       one per press on the track above / below the thumb
//   MAKEWPARAM(SB_THUMBTRACK, p)  during a thumb drag, whenever the track position changes; the
//                                 parent reads the full value from GetTrackPosition()
// The bar has no arrow buttons: its line areas are empty strips, so no line scrolls are sent.
// No notification marks the end of a drag.

#include <windows.h>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIScrollBar : public UIObject {
public:
    UIScrollBar();
    ~UIScrollBar() override;

    void Relayout() override;
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Reads "thumb" and "trackbar" from the bar's node; the owner places the bar.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    int ElementLButtonDown(UINT flags, POINT* point) override;

    // Minimum 0, maximum as given; recomputes the thumb and repaints.
    void SetRange(int maximum);
    // Plain stores: the owner calls UpdateThumb and repaints afterwards.
    void SetPage(int page) { m_page = page; }
    void SetPosition(int position) { m_position = position; }
    void SetMinThumbLength(int length) { m_minThumbLength = length; }
    // Recomputes the line, track, thumb and page areas from the range, page and position.
    void UpdateThumb();

    int GetMinimum() const { return m_minimum; }
    int GetMaximum() const { return m_maximum; }
    int GetPage() const { return m_page; }
    int GetPosition() const { return m_position; }
    int GetTrackPosition() const { return m_trackPosition; }
    int GetMinThumbLength() const { return m_minThumbLength; }
    const RECT& GetThumbRect() const { return m_thumb; }
    const RECT& GetTrackRect() const { return m_track; }
    const RECT& GetPageUpRect() const { return m_pageUp; }
    const RECT& GetPageDownRect() const { return m_pageDown; }
    // The owner sizes the bar by the width of this image's source rectangle.
    const ImageStyle& GetTrackImage() const { return m_trackImage; }
    const ImageStyle& GetThumbImage() const { return m_thumbImage; }

    // How far sideways from the track a drag may stray before the thumb stops following.
    static constexpr int kDragSlack = 96;

protected:
    void Notify(WPARAM code);
    void DragThumb(const POINT& start);
    void DragStep(LPARAM pointerWords);

    int m_minimum = 0;
    int m_maximum = 0;
    int m_page = 0;
    int m_position = 0;
    int m_trackPosition = 0;
    int m_lastDragY = 0;
    int m_lastSentTrackPosition = 0;
    RECT m_lineUp = {0, 0, 0, 0};
    RECT m_lineDown = {0, 0, 0, 0};
    RECT m_thumb = {0, 0, 0, 0};
    RECT m_track = {0, 0, 0, 0};
    RECT m_pageUp = {0, 0, 0, 0};
    RECT m_pageDown = {0, 0, 0, 0};
    int m_minThumbLength = 16;
    ImageStyle m_thumbImage;
    ImageStyle m_trackImage;
};
