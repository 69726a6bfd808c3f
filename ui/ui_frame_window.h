#pragma once

// UIFrameWindow: the skinned top-level window and the base of the installer's windows. The whole
// window is client area: four skinned strips (top, left, right, bottom) frame a skinned client
// background, the system buttons (close, restore, maximise, minimise) are ordinary UIButton
// children, and the window is dragged by its top strip.
//
// The strip thicknesses come from the "normal" skins: the top and bottom skins' source heights
// and the left and right skins' source widths. The "grayed" skins are loaded but never drawn, so
// the frame looks the same whether the window is active or not.
//
// Resource node of a window:
//   "Client" {"bkgnd"}
//   "Frames" {"Top", "Left", "Right", "Bottom"}, each {"normal", "grayed"}
//   "SysBtns" {"Close", "Restore", "Maximize", "Minimize"}, each a button node

#include <windows.h>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIButton;

// The strips of the frame, in drawing order.
enum FrameSide : int { kFrameTop = 0, kFrameLeft = 1, kFrameRight = 2, kFrameBottom = 3 };
constexpr int kFrameSideCount = 4;

class UIFrameWindow : public UIObject {
public:
    UIFrameWindow();
    ~UIFrameWindow() override;

    // Slot 2: nothing of the non-client area is painted.
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam) override;
    // Slot 5: the top strip drags the window; with WS_THICKFRAME the strips also resize it.
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam) override;
    // Slot 14: the client area is the whole window.
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam) override;
    // Slot 42: the default procedure, then the maximise and restore buttons swap.
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam) override;
    // Slot 43: answered 1 without painting.
    LRESULT OnNcActivate(WPARAM wParam, LPARAM lParam) override;
    // Slot 44: strips both caption bits from the style. Derived windows that override OnCreate
    // call StripCaption first.
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam) override;
    // Slot 60: the client skin, then the top, left, right and bottom strips.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: the client and frame skins and the system buttons of the window node; the restore
    // button starts hidden. 1 when the node was found; 0 when it is missing, which leaves the
    // skins empty and creates no buttons.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    // Slot 83: a click on a system button becomes the matching WM_SYSCOMMAND; always 0, so the
    // button then sends its WM_COMMAND as well.
    int OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Slot 84: recomputes the strip and client rectangles and the window region.
    void OnLayoutChanged() override;

    // Removes WS_CAPTION (both of its bits) from the window's style when either is set.
    void StripCaption();

    const RECT& GetClientArea() const { return m_clientRect; }
    const RECT& GetFrameRect(FrameSide side) const { return m_frames[side].rect; }
    UIButton* GetCloseButton() const { return m_closeButton; }
    UIButton* GetRestoreButton() const { return m_restoreButton; }
    UIButton* GetMaximizeButton() const { return m_maximizeButton; }
    UIButton* GetMinimizeButton() const { return m_minimizeButton; }

protected:
    struct FrameStrip {
        ImageStyle normal;
        ImageStyle grayed;
        RECT rect = {0, 0, 0, 0};
    };

    // Indexed by FrameSide.
    FrameStrip m_frames[kFrameSideCount];
    UIButton* m_closeButton = nullptr;
    UIButton* m_restoreButton = nullptr;
    UIButton* m_maximizeButton = nullptr;
    UIButton* m_minimizeButton = nullptr;
    ImageStyle m_clientSkin;
    RECT m_clientRect = {0, 0, 0, 0};

private:
    // The hit-test answer for a client point inside the top strip, given the default answer.
    LRESULT HitTopStrip(POINT point, bool resizable, LRESULT fallback) const;
    bool ChildBlocksCaption(POINT point) const;
    void ApplyWindowRegion();
};
