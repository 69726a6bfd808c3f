#include "ui/ui_object.h"

#include <commctrl.h>

#include "ui/controls/control_factory.h"
#include "ui/resource/ui_resource.h"

namespace {

POINT PointFromLParam(LPARAM lParam)
{
    // Both words are taken as unsigned numbers, as the window sends them.
    POINT point = {static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    return point;
}

bool IsEnabledAndVisible(const UIObject* element)
{
    return element != nullptr && element->IsEnabled() && element->IsVisible();
}

}  // namespace

HFONT UIObject::GuiFont()
{
    static HFONT font = [] {
        LOGFONTW logFont = {};
        SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof logFont, &logFont, 0);
        logFont.lfWeight = FW_NORMAL;
        return CreateFontIndirectW(&logFont);
    }();
    return font;
}

UIObject::UIObject()
{
    GuiFont();
}

UIObject::~UIObject()
{
    for (UIObject* child : m_children)
        delete child;
    m_children.clear();
    m_timers.clear();
    ReleaseBackBuffer();
}

// ---- Slots with their base behaviour -----------------------------------------------------------

HDC UIObject::GetMemDC()
{
    if (m_hWnd != nullptr) {
        EnsureBackBuffer();
        return m_memDC;
    }
    return m_parent != nullptr ? m_parent->GetMemDC() : nullptr;
}

void UIObject::Relayout()
{
    if (m_parent == nullptr || m_layoutW <= 0 || m_layoutH <= 0)
        return;
    const RECT& outer = m_parent->m_rect;
    if (EqualRect(&m_rect, &outer))
        return;
    m_rect.left = (m_layoutX < 0 ? outer.right : outer.left) + m_layoutX;
    m_rect.top = (m_layoutY < 0 ? outer.bottom : outer.top) + m_layoutY;
    m_rect.right = m_rect.left + m_layoutW;
    m_rect.bottom = m_rect.top + m_layoutH;
    for (UIObject* child : m_children)
        if (child->m_layoutW > 0 && child->m_layoutH > 0)
            child->Relayout();
}

HWND UIObject::GetHostWindow()
{
    if (m_hWnd != nullptr)
        return m_hWnd;
    return m_parent != nullptr ? m_parent->GetHostWindow() : nullptr;
}

void UIObject::DrawElement(HDC, const RECT*, const RECT*) {}

int UIObject::LoadFromResource(IUIResource*, const char*, const JsonValue*)
{
    return 0;
}

UIObject* UIObject::DeepestHoveredDescendant() const
{
    UIObject* deepest = m_hoverChild;
    while (deepest != nullptr && deepest->m_hoverChild != nullptr)
        deepest = deepest->m_hoverChild;
    return deepest;
}

int UIObject::ElementLButtonUp(UINT flags, POINT* point)
{
    UIObject* target = DeepestHoveredDescendant();
    return IsEnabledAndVisible(target) ? target->ElementLButtonUp(flags, point) : 0;
}

int UIObject::ElementLButtonDown(UINT, POINT*)
{
    return 0;
}

int UIObject::ElementLButtonDblClk(UINT flags, POINT* point)
{
    UIObject* target = DeepestHoveredDescendant();
    return IsEnabledAndVisible(target) ? target->ElementLButtonDblClk(flags, point) : 0;
}

int UIObject::ElementRButtonUp(UINT flags, POINT* point)
{
    UIObject* target = DeepestHoveredDescendant();
    return IsEnabledAndVisible(target) ? target->ElementRButtonUp(flags, point) : 0;
}

int UIObject::ElementRButtonDown(UINT flags, POINT* point)
{
    UIObject* target = DeepestHoveredDescendant();
    return IsEnabledAndVisible(target) ? target->ElementRButtonDown(flags, point) : 0;
}

int UIObject::ElementMouseMove(UINT, POINT*)
{
    return 0;
}

int UIObject::ElementMouseEnter(UINT, POINT*)
{
    return 0;
}

int UIObject::ElementMouseLeave(UINT, POINT*)
{
    return 0;
}

int UIObject::ElementMouseWheel(UINT, UINT, POINT*)
{
    return 0;
}

int UIObject::ElementVisibleChanged(BOOL)
{
    return 1;
}

void UIObject::ElementTooltipText(NMTTDISPINFOW*) {}

void UIObject::ElementTimer(UINT_PTR) {}

int UIObject::ElementKeyDown(UINT, LPARAM)
{
    return 0;
}

int UIObject::ElementKeyUp(UINT key, LPARAM lParam)
{
    UIObject* target = DeepestHoveredDescendant();
    return IsEnabledAndVisible(target) ? target->ElementKeyUp(key, lParam) : 0;
}

int UIObject::ElementChar(UINT, LPARAM)
{
    return 0;
}

int UIObject::ElementKillFocus(UIObject*)
{
    return 0;
}

int UIObject::ElementSetFocus(UIObject*)
{
    return 0;
}

BOOL UIObject::ElementSetCursor()
{
    UIObject* target = DeepestHoveredDescendant();
    return target != nullptr ? target->ElementSetCursor() : FALSE;
}

LRESULT UIObject::SendToHost(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hWnd != nullptr)
        return SendMessageW(m_hWnd, message, wParam, lParam);
    return m_parent != nullptr ? m_parent->SendToHost(message, wParam, lParam) : 0;
}

BOOL UIObject::PostToHost(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_hWnd != nullptr)
        return PostMessageW(m_hWnd, message, wParam, lParam);
    return m_parent != nullptr ? m_parent->PostToHost(message, wParam, lParam) : FALSE;
}

int UIObject::OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_parent != nullptr ? m_parent->OnChildCommand(sender, message, wParam, lParam) : 0;
}

void UIObject::OnLayoutChanged() {}

void UIObject::RelayToolTipEvent(MSG* message)
{
    for (UIObject* child : m_children)
        child->RelayToolTipEvent(message);
}

// ---- Window handlers ------------------------------------------------------------------------------

LRESULT UIObject::OnEraseBkgnd(WPARAM, LPARAM)
{
    return 1;
}

LRESULT UIObject::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (!m_leaveRequested) {
        TRACKMOUSEEVENT track = {};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 0;
        m_leaveRequested = _TrackMouseEvent(&track);
    }
    POINT point = PointFromLParam(lParam);
    UpdateHover(static_cast<UINT>(wParam), &point);
    return Default(WM_MOUSEMOVE, wParam, lParam);
}

int UIObject::UpdateHover(UINT flags, POINT* point)
{
    if (!PtInRect(&m_rect, *point)) {
        if (m_hovered) {
            m_hovered = false;
            ElementMouseLeave(flags, point);
            if (m_hoverChild != nullptr)
                m_hoverChild->UpdateHover(flags, point);
            m_hoverChild = nullptr;
        }
        return 0;
    }
    if (!m_hovered) {
        m_hovered = true;
        ElementMouseEnter(flags, point);
    }
    if (m_hoverChild != nullptr)
        m_hoverChild->UpdateHover(flags, point);
    UIObject* hit = nullptr;
    for (auto it = m_children.rbegin(); it != m_children.rend(); ++it) {
        if ((*it)->m_visible && PtInRect(&(*it)->m_rect, *point)) {
            hit = *it;
            break;
        }
    }
    if (hit != nullptr && hit == m_hoverChild)
        return 1;
    if (hit != nullptr)
        hit->UpdateHover(flags, point);
    m_hoverChild = hit;
    return ElementMouseMove(flags, point);
}

void UIObject::LeaveHoverChain(UINT flags, POINT* point)
{
    if (m_hovered) {
        m_hovered = false;
        ElementMouseLeave(flags, point);
    }
    if (m_hoverChild != nullptr)
        m_hoverChild->LeaveHoverChain(flags, point);
    m_hoverChild = nullptr;
}

LRESULT UIObject::OnMouseLeave(WPARAM wParam, LPARAM lParam)
{
    m_leaveRequested = FALSE;
    if (m_hovered) {
        POINT outside = {-1, -1};
        LeaveHoverChain(0, &outside);
    }
    return Default(WM_MOUSELEAVE, wParam, lParam);
}

LRESULT UIObject::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (ElementSetCursor())
        return 1;
    return Default(WM_SETCURSOR, wParam, lParam);
}

LRESULT UIObject::OnLButtonUp(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_LBUTTONUP, wParam, lParam);
    POINT point = PointFromLParam(lParam);
    UIObject* target = DeepestHoveredDescendant();
    if (target == nullptr)
        ElementLButtonUp(static_cast<UINT>(wParam), &point);
    else if (IsEnabledAndVisible(target))
        target->ElementLButtonUp(static_cast<UINT>(wParam), &point);
    return result;
}

LRESULT UIObject::OnLButtonDown(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_LBUTTONDOWN, wParam, lParam);
    SetFocus(GetHostWindow());
    POINT point = PointFromLParam(lParam);
    UIObject* target = DeepestHoveredDescendant();
    if (target == nullptr) {
        if (m_focusElement != nullptr)
            m_focusElement->ElementKillFocus(nullptr);
        m_focusElement = nullptr;
        ElementLButtonDown(static_cast<UINT>(wParam), &point);
    } else if (IsEnabledAndVisible(target)) {
        if (target != m_focusElement) {
            UIObject* previous = m_focusElement;
            if (previous != nullptr)
                previous->ElementKillFocus(target);
            m_focusElement = target;
            target->ElementSetFocus(previous);
        }
        target->ElementLButtonDown(static_cast<UINT>(wParam), &point);
    }
    return result;
}

LRESULT UIObject::OnLButtonDblClk(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_LBUTTONDBLCLK, wParam, lParam);
    POINT point = PointFromLParam(lParam);
    ElementLButtonDblClk(static_cast<UINT>(wParam), &point);
    return result;
}

LRESULT UIObject::OnRButtonUp(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_RBUTTONUP, wParam, lParam);
    POINT point = PointFromLParam(lParam);
    ElementRButtonUp(static_cast<UINT>(wParam), &point);
    return result;
}

LRESULT UIObject::OnRButtonDown(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_RBUTTONDOWN, wParam, lParam);
    POINT point = PointFromLParam(lParam);
    ElementRButtonDown(static_cast<UINT>(wParam), &point);
    return result;
}

LRESULT UIObject::OnCommand(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_COMMAND, wParam, lParam);
    HWND parent = GetParent(m_hWnd);
    if (parent != nullptr)
        SendMessageW(parent, WM_COMMAND, wParam, lParam);
    return result;
}

LRESULT UIObject::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_KEYUP, wParam, lParam);
    UIObject* target = m_focusElement != nullptr ? m_focusElement : this;
    target->ElementKeyUp(static_cast<UINT>(wParam), lParam);
    return result;
}

LRESULT UIObject::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_KEYDOWN, wParam, lParam);
    UIObject* target = m_focusElement != nullptr ? m_focusElement : this;
    target->ElementKeyDown(static_cast<UINT>(wParam), lParam);
    return result;
}

LRESULT UIObject::OnChar(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default(WM_CHAR, wParam, lParam);
    UIObject* target = m_focusElement != nullptr ? m_focusElement : this;
    target->ElementChar(static_cast<UINT>(wParam), lParam);
    return result;
}

LRESULT UIObject::OnNotify(WPARAM wParam, LPARAM lParam)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header != nullptr && header->code == TTN_GETDISPINFOW)
        ElementTooltipText(reinterpret_cast<NMTTDISPINFOW*>(lParam));
    return Default(WM_NOTIFY, wParam, lParam);
}

LRESULT UIObject::OnTimer(WPARAM wParam, LPARAM)
{
    auto it = m_timers.find(static_cast<UINT_PTR>(wParam));
    if (it != m_timers.end())
        it->second->ElementTimer(it->first);
    else
        KillTimer(m_hWnd, wParam);
    return 0;
}

LRESULT UIObject::OnMouseWheel(WPARAM wParam, LPARAM lParam)
{
    UINT keys = LOWORD(wParam);
    UINT delta = HIWORD(wParam);  // unsigned: 0x8000 set means a turn towards the user
    POINT point = {static_cast<LONG>(static_cast<short>(LOWORD(lParam))),
                   static_cast<LONG>(static_cast<short>(HIWORD(lParam)))};
    UIObject* target = DeepestHoveredDescendant();
    if (target == nullptr) {
        ElementMouseWheel(keys, delta, &point);
    } else if (IsEnabledAndVisible(target)) {
        if (target->m_parent != nullptr)
            target->m_parent->ElementMouseWheel(keys, delta, &point);
        target->ElementMouseWheel(keys, delta, &point);
    }
    return Default(WM_MOUSEWHEEL, wParam, lParam);
}

BOOL UIObject::PreTranslateMessage(MSG* message)
{
    RelayToolTipEvent(message);
    return FALSE;
}

LRESULT UIObject::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LAYERED_PAINT) {
        LayeredPaint(reinterpret_cast<const RECT*>(wParam));
        return 0;
    }
    return Default(message, wParam, lParam);
}

// ---- Tree, layout, visibility and timers --------------------------------------------------------

UIObject* UIObject::CreateControl(const char* path, IUIResource* resource, int type, UIObject* parent)
{
    UIObject* control = NewControlOfType(type);
    if (control == nullptr)
        return nullptr;
    if (resource != nullptr)
        control->LoadFromResource(resource, path, nullptr);
    if (parent != nullptr) {
        control->m_parent = parent;
        parent->m_children.push_back(control);
    }
    control->RelayoutTree();
    return control;
}

void UIObject::AddChild(UIObject* child)
{
    child->m_parent = this;
    m_children.push_back(child);
    child->RelayoutTree();
}

void UIObject::SetLayout(int x, int y, int w, int h)
{
    m_layoutX = x;
    m_layoutY = y;
    if (w >= 0)
        m_layoutW = w;
    if (h >= 0)
        m_layoutH = h;
    if (m_layoutW > 0 && m_layoutH > 0)
        Relayout();
    Invalidate(nullptr, TRUE);
}

void UIObject::SetVisible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    ElementVisibleChanged(visible);
    Invalidate(nullptr, TRUE);
}

void UIObject::RelayoutTree()
{
    if (m_layoutW > 0 && m_layoutH > 0)
        Relayout();
    for (UIObject* child : m_children)
        if (child->m_layoutW > 0 && child->m_layoutH > 0)
            child->Relayout();
}

UIObject* UIObject::TimerHost()
{
    for (UIObject* element = this; element != nullptr; element = element->m_parent)
        if (element->m_hWnd != nullptr)
            return element;
    return nullptr;
}

UINT_PTR UIObject::SetElementTimer(UINT elapse)
{
    UIObject* host = TimerHost();
    if (host == nullptr || !IsWindow(host->m_hWnd))
        return 0;
    UINT_PTR id = host->m_timers.empty() ? 1 : host->m_timers.rbegin()->first + 1;
    host->m_timers[id] = this;
    SetTimer(host->m_hWnd, id, elapse, nullptr);
    return id;
}

BOOL UIObject::KillElementTimer(UINT_PTR timerId)
{
    UIObject* host = TimerHost();
    if (host == nullptr || !IsWindowVisible(host->m_hWnd))
        return FALSE;
    host->m_timers.erase(timerId);
    return KillTimer(host->m_hWnd, timerId);
}
