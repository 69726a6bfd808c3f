#pragma once

// UIObject: the base of everything shown inside the program's windows. A window is a UIObject
// with a native window; its controls are UIObjects without one (windowless elements) that live in
// its child list, are placed by rules from the UI resource package, paint into the window's back
// buffer and receive the mouse, keyboard and timer events the window routes to them.
//
// Routing rules live here in one place: hover follows the topmost visible child under the mouse;
// presses, releases, keys and wheel turns go down the hover chain or to the focus element, and
// skip disabled or invisible elements.

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <vector>

#include "ui/ch_window.h"
#include "ui/control_type.h"

class IUIResource;
class JsonValue;

// The private message that repaints a layered window now; wParam is a RECT* in client
// coordinates or 0 for the whole client area.
constexpr UINT WM_LAYERED_PAINT = 0x6400;

class UIObject : public CHWindow {
public:
    UIObject();
    ~UIObject() override;

    // Slots 57 to 85, after the window wrapper's.
    virtual HDC GetMemDC();
    virtual void Relayout();
    virtual HWND GetHostWindow();
    virtual void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip);
    virtual void Invalidate(const RECT* rect, BOOL erase);
    virtual int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start);
    virtual int ElementLButtonUp(UINT flags, POINT* point);
    virtual int ElementLButtonDown(UINT flags, POINT* point);
    virtual int ElementLButtonDblClk(UINT flags, POINT* point);
    virtual int ElementRButtonUp(UINT flags, POINT* point);
    virtual int ElementRButtonDown(UINT flags, POINT* point);
    virtual int ElementMouseMove(UINT flags, POINT* point);
    virtual int ElementMouseEnter(UINT flags, POINT* point);
    virtual int ElementMouseLeave(UINT flags, POINT* point);
    virtual int ElementMouseWheel(UINT keys, UINT delta, POINT* point);
    virtual int ElementVisibleChanged(BOOL visible);
    virtual void ElementTooltipText(NMTTDISPINFOW* info);
    virtual void ElementTimer(UINT_PTR timerId);
    virtual int ElementKeyDown(UINT key, LPARAM lParam);
    virtual int ElementKeyUp(UINT key, LPARAM lParam);
    virtual int ElementChar(UINT character, LPARAM lParam);
    virtual int ElementKillFocus(UIObject* newFocus);
    virtual int ElementSetFocus(UIObject* previousFocus);
    virtual BOOL ElementSetCursor();
    virtual LRESULT SendToHost(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PostToHost(UINT message, WPARAM wParam, LPARAM lParam);
    virtual int OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnLayoutChanged();
    virtual void RelayToolTipEvent(MSG* message);

    // Window handlers that matter for window-level elements.
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnRButtonDown(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnChar(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnShowWindow(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* message) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The control factory: makes a control of the kind, lets it read its node, appends it to
    // parent's children (which then own it) and places it. Null for kinds it does not make.
    static UIObject* CreateControl(const char* path, IUIResource* resource, int type, UIObject* parent);
    // Appends an element made elsewhere the way the factory does: parent, child list, placement.
    void AddChild(UIObject* child);

    void SetLayout(int x, int y, int w, int h);
    void SetVisible(bool visible);
    void RelayoutTree();
    UINT_PTR SetElementTimer(UINT elapse);
    BOOL KillElementTimer(UINT_PTR timerId);

    // Painting of window-level elements.
    BOOL EnsureBackBuffer();
    int MakeLayered();
    BOOL LayeredPaint(const RECT* rect);
    void DrawChildren(HDC dc, UIObject* parent, const RECT* clip);

    // State read by controls and tests.
    int GetCommandId() const { return m_commandId; }
    int GetControlType() const { return m_controlType; }
    bool IsEnabled() const { return m_enabled; }
    void SetEnabledFlag(bool enabled) { m_enabled = enabled; }
    bool IsVisible() const { return m_visible; }
    bool IsHovered() const { return m_hovered; }
    bool IsCaptionTransparent() const { return m_captionTransparent; }
    const RECT& GetRect() const { return m_rect; }
    UIObject* GetParentElement() const { return m_parent; }
    UIObject* GetHoverChild() const { return m_hoverChild; }
    UIObject* GetFocusElement() const { return m_focusElement; }
    const std::vector<UIObject*>& GetChildren() const { return m_children; }
    // Follows the hover links to their end; null when nothing is hovered.
    UIObject* DeepestHoveredDescendant() const;
    bool IsLayered() const { return m_layered != 0; }

    // The process-wide GUI font selected into every back buffer.
    static HFONT GuiFont();

protected:
    int m_commandId = 0;
    int m_controlType = 0;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_hovered = false;
    bool m_captionTransparent = false;
    RECT m_rect = {0, 0, 0, 0};
    int m_layoutX = 0;
    int m_layoutY = 0;
    int m_layoutW = 0;
    int m_layoutH = 0;
    UIObject* m_parent = nullptr;
    UIObject* m_hoverChild = nullptr;
    UIObject* m_focusElement = nullptr;
    std::vector<UIObject*> m_children;
    std::map<UINT_PTR, UIObject*> m_timers;
    BOOL m_leaveRequested = FALSE;

    // Painting state of window-level elements.
    int m_layered = 0;
    BOOL m_firstLayeredPaintDone = FALSE;
    BOOL m_replacing = FALSE;
    HDC m_memDC = nullptr;
    HBITMAP m_bufferBitmap = nullptr;
    HGDIOBJ m_previousBitmap = nullptr;
    void* m_pixelBits = nullptr;
    int m_imageSize = 0;
    int m_stride = 0;
    int m_bufferWidth = 0;
    int m_bufferHeight = 0;

private:
    int UpdateHover(UINT flags, POINT* point);
    void LeaveHoverChain(UINT flags, POINT* point);
    UIObject* TimerHost();
    void ReleaseBackBuffer();
};
