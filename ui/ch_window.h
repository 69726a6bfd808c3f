#pragma once

// CHWindow binds one object to one native window and turns the window's messages into calls of
// virtual handlers, one per message. The binding lives in the window property "CHWindow", so any
// window, including one created elsewhere and attached later, finds its object without a table.
//
// The virtual slots come in a fixed order that derived windows and elements rely on: handlers
// for the listed messages, then the hooks after them. Every default handler forwards to the
// default procedure: DefWindowProcW, or the previous procedure of an attached foreign window.

#include <windows.h>

class CHWindow {
public:
    CHWindow();
    CHWindow(const CHWindow&) = delete;
    CHWindow& operator=(const CHWindow&) = delete;

    // Slot 0. Detaches, then destroys a window that is still bound; none of this object's
    // handlers sees that destruction.
    virtual ~CHWindow();

    // Slots 1 to 48: one message each, (wParam, lParam) in, the message result out.
    virtual LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcMouseMove(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcRButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcRButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcRButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRButtonUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRButtonDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnRButtonDblClk(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKeyUp(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnHScroll(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnChar(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDropFiles(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnShowWindow(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcActivate(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcCreate(WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam);

    // Slots 49 to 56.
    virtual void OnAttached();
    virtual void OnDetached();
    // After WM_WINDOWPOSCHANGED when the size may have changed.
    virtual void OnSized();
    // A WM_NOTIFY that this object's window sent to its parent; non-zero when handled.
    virtual LRESULT OnReflectNotify(NMHDR* header);
    virtual void SetLastModal(HWND dialog);
    virtual void ClearLastModal();
    // Offered every message the message loop retrieves; true consumes it.
    virtual BOOL PreTranslateMessage(MSG* message);
    // Every message without a slot of its own.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool Create(HWND parent, int x, int y, DWORD style, const wchar_t* title, DWORD exStyle);
    bool Attach(HWND window);
    HWND Detach();
    void CenterWindow();
    void SetWindowSize(int width, int height);
    bool ModifyExStyle(DWORD remove, DWORD add);

    HWND GetHandle() const { return m_hWnd; }

    // Registers the "CHWindow" class for the instance (common controls first); the class atom,
    // 0 on failure.
    static ATOM RegisterWindowClass(HINSTANCE instance);
    // The object bound to a window, or null.
    static CHWindow* FromHandle(HWND window);
    // Offers a retrieved message to the bound objects from its window up through the parents;
    // true when one of them consumed it.
    static bool PreTranslate(MSG* message);

    static constexpr const wchar_t* kClassName = L"CHWindow";
    static constexpr const wchar_t* kBindingProperty = L"CHWindow";
    static constexpr const wchar_t* kLastModalProperty = L"PropLastModal";

protected:
    // Calls the default procedure with this window's handle.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    WNDPROC m_defaultProc = DefWindowProcW;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
};

// A standard tooltip control owned by a tool bar.
class CHTooltip : public CHWindow {
public:
    // Adds the tool, or updates it when the control already has one with this owner and id.
    void SetTool(HWND owner, UINT toolId, const RECT* rect, const wchar_t* text);
};
