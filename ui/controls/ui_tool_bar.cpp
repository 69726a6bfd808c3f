#include "ui/controls/ui_tool_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

namespace {

// The rows of the image strip, top to bottom.
enum StripRow : int { kRowNormal = 0, kRowLighted = 1, kRowPressed = 2, kRowDisabled = 3 };

void RemoveTool(HWND tooltip, HWND owner, int id)
{
    if (tooltip == nullptr)
        return;
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner;
    tool.uId = static_cast<UINT>(id);
    SendMessageW(tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

UIToolBar::UIToolBar()
{
    m_controlType = kControlToolBar;
}

// The tooltip member destroys its window, if it still has one, before the element goes.
UIToolBar::~UIToolBar() = default;

int UIToolBar::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    // A missing node leaves the bar unplaced and unskinned; querying with a null node would
    // search from the top of the document instead.
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr)
        return 1;
    m_commandId = resource->GetInt("id", node);
    const RECT size = resource->GetRect("size", node);
    m_layoutX = size.left;
    m_layoutY = size.top;
    m_layoutW = size.right;
    m_layoutH = size.bottom;
    m_background = resource->GetImageStyle("bkgnd", node);
    m_separatorImage = resource->GetImageStyle("seperator", node);
    return 1;
}

void UIToolBar::Relayout()
{
    UIObject::Relayout();
    LayoutItems();
}

void UIToolBar::LayoutItems()
{
    m_layoutNeeded = 0;
    HWND host = GetHostWindow();
    HWND tooltip = m_tooltip.GetHandle();
    int x = m_insetLeft;
    for (Item& item : m_items) {
        // Separators never have a tool, so they never touch one that shares their id.
        if (!item.visible) {
            if (!item.separator)
                RemoveTool(tooltip, host, item.id);
            continue;
        }
        item.rect.left = m_rect.left + x + m_itemGap;
        item.rect.top = m_rect.top + (m_rect.bottom - m_cellHeight - m_rect.top) / 2 + m_insetTop;
        item.rect.bottom = m_cellHeight + item.rect.top - m_insetBottom;
        int width = m_cellWidth;
        if (item.separator)
            width = m_separatorImage.bgImage != nullptr ? m_separatorImage.bgW : 0;
        item.rect.right = item.rect.left + width;
        x += width + 2 * m_itemGap;

        if (tooltip == nullptr || item.separator)
            continue;
        // An item whose text was taken away loses its tool, or its old text would still show.
        if (item.text.empty())
            RemoveTool(tooltip, host, item.id);
        else
            m_tooltip.SetTool(host, static_cast<UINT>(item.id), &item.rect, item.text.c_str());
    }
}

void UIToolBar::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect != nullptr)
        DrawImageStyle(*ownRect, m_background, dc);
    if (m_layoutNeeded)
        LayoutItems();
    if (m_imageStrip == nullptr || m_imageStrip->IsEmpty())
        return;

    for (size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        if (!item.visible)
            continue;
        if (item.separator) {
            DrawImageStyle(item.rect, m_separatorImage, dc);
            continue;
        }
        int row = kRowNormal;
        if (!item.enabled)
            row = kRowDisabled;
        else if (static_cast<int>(i) == m_hotItem && m_hotState == kHotLighted)
            row = kRowLighted;
        else if (static_cast<int>(i) == m_hotItem && m_hotState == kHotPressed)
            row = kRowPressed;

        // The cell is copied unscaled; an item shorter than its cell (a bottom inset) shows the
        // cell's top part.
        const int width = std::min<int>(item.rect.right - item.rect.left, m_cellWidth);
        const int height = std::min<int>(item.rect.bottom - item.rect.top, m_cellHeight);
        const int sourceX = m_cellWidth * item.imageIndex;
        const int sourceY = m_cellHeight * row;
        // An image index past the strip would copy pixels from outside the bitmap.
        if (sourceX < 0 || sourceX + width > m_imageStrip->Width() || sourceY + height > m_imageStrip->Height())
            continue;
        DrawBitmap(m_imageStrip, dc, item.rect.left, item.rect.top, width, height, sourceX, sourceY, width, height);
    }
}

int UIToolBar::ItemAt(const POINT& point) const
{
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        if (item.visible && !item.separator && PtInRect(&item.rect, point))
            return static_cast<int>(i);
    }
    return -1;
}

void UIToolBar::UpdateCursor(int item)
{
    if (item < 0 || item >= static_cast<int>(m_items.size()))
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    else if (m_items[item].enabled)
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
}

int UIToolBar::ElementMouseMove(UINT, POINT* point)
{
    if (!AcceptsMouse() || point == nullptr)
        return 1;
    const int candidate = ItemAt(*point);
    UpdateCursor(candidate);
    if (candidate != m_hotItem) {
        m_hotItem = candidate;
        m_hotState = candidate < 0 ? kHotNone : kHotLighted;
        Invalidate(nullptr, TRUE);
    }
    return 1;
}

int UIToolBar::ElementMouseLeave(UINT, POINT*)
{
    if (m_hotItem >= 0 && m_hotItem < static_cast<int>(m_items.size()) && m_items[m_hotItem].staysLit)
        return 1;
    m_hotItem = -1;
    m_hotState = kHotNone;
    Invalidate(nullptr, TRUE);
    return 1;
}

int UIToolBar::ElementLButtonDown(UINT, POINT*)
{
    if (AcceptsMouse()) {
        m_hotState = kHotPressed;
        // A disabled item keeps the arrow, as it does while the pointer moves over it.
        UpdateCursor(m_hotItem);
        Invalidate(nullptr, TRUE);
    }
    return 0;
}

int UIToolBar::ElementLButtonDblClk(UINT flags, POINT* point)
{
    return UIToolBar::ElementLButtonDown(flags, point);
}

int UIToolBar::ElementLButtonUp(UINT flags, POINT* point)
{
    // Like every element, the bar first hands the release to whatever it holds under the pointer.
    const int result = UIObject::ElementLButtonUp(flags, point);
    if (!AcceptsMouse())
        return result;
    m_hotState = kHotLighted;
    UpdateCursor(m_hotItem);
    Invalidate(nullptr, TRUE);

    if (m_hotItem < 0 || m_hotItem >= static_cast<int>(m_items.size()))
        return result;
    const Item& item = m_items[m_hotItem];
    if (!item.enabled || !item.visible || item.separator)
        return result;
    m_hotState = kHotNone;
    Invalidate(nullptr, TRUE);
    // The id is taken before anyone is told: a command handler may change the items.
    const WPARAM id = static_cast<WPARAM>(LOWORD(item.id));
    const LPARAM host = reinterpret_cast<LPARAM>(GetHostWindow());
    if (m_parent != nullptr)
        m_parent->OnChildCommand(this, WM_COMMAND, id, host);
    SendToHost(WM_COMMAND, id, host);
    return result;
}

void UIToolBar::RelayToolTipEvent(MSG* message)
{
    // The tools are added without subclassing the host, so the tooltip control learns about the
    // pointer only from the messages relayed here.
    if (m_tooltip.GetHandle() != nullptr && message != nullptr)
        SendMessageW(m_tooltip.GetHandle(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
    UIObject::RelayToolTipEvent(message);
}

bool UIToolBar::CreateTooltip()
{
    if (m_tooltip.GetHandle() != nullptr)
        return true;
    HWND host = GetHostWindow();
    if (host == nullptr)
        return false;
    // Always-tip: the bar's window need not be active for the tips to show.
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, host, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr)
        return false;
    if (!m_tooltip.Attach(window)) {
        DestroyWindow(window);
        return false;
    }
    LayoutItems();
    return true;
}

void UIToolBar::ItemsChanged()
{
    m_layoutNeeded = 1;
    Invalidate(nullptr, TRUE);
}

void UIToolBar::SetImageStrip(CHBitmap* strip)
{
    m_imageStrip = strip;
    Invalidate(nullptr, TRUE);
}

void UIToolBar::SetItemGap(int gap)
{
    m_itemGap = gap;
    ItemsChanged();
}

void UIToolBar::SetCellSize(int width, int height)
{
    m_cellWidth = width;
    m_cellHeight = height;
    ItemsChanged();
}

void UIToolBar::SetInset(int left, int top, int right, int bottom)
{
    m_insetLeft = left;
    m_insetTop = top;
    m_insetRight = right;
    m_insetBottom = bottom;
    ItemsChanged();
}

int UIToolBar::AddItem(int id, int imageIndex, const wchar_t* text)
{
    Item item;
    item.id = id;
    item.imageIndex = imageIndex;
    item.text = text != nullptr ? text : L"";
    m_items.push_back(item);
    ItemsChanged();
    return static_cast<int>(m_items.size()) - 1;
}

int UIToolBar::AddSeparator()
{
    Item item;
    item.separator = 1;
    m_items.push_back(item);
    ItemsChanged();
    return static_cast<int>(m_items.size()) - 1;
}

const UIToolBar::Item* UIToolBar::GetItem(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return nullptr;
    return &m_items[index];
}

bool UIToolBar::RemoveItem(int index)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    // The layout only removes the tools of hidden items, so a removed item's tool goes here.
    if (!m_items[index].separator)
        RemoveTool(m_tooltip.GetHandle(), GetHostWindow(), m_items[index].id);
    m_items.erase(m_items.begin() + index);
    if (m_hotItem == index) {
        m_hotItem = -1;
        m_hotState = kHotNone;
    } else if (m_hotItem > index) {
        --m_hotItem;
    }
    ItemsChanged();
    return true;
}

void UIToolBar::RemoveAllItems()
{
    while (!m_items.empty())
        RemoveItem(static_cast<int>(m_items.size()) - 1);
    ItemsChanged();
}

bool UIToolBar::SetItemText(int index, const wchar_t* text)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    m_items[index].text = text != nullptr ? text : L"";
    ItemsChanged();
    return true;
}

bool UIToolBar::SetItemVisible(int index, bool visible)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    m_items[index].visible = visible ? 1 : 0;
    // A hidden item cannot stay hot: it could still be clicked through its old rectangle.
    if (!visible && m_hotItem == index) {
        m_hotItem = -1;
        m_hotState = kHotNone;
    }
    ItemsChanged();
    return true;
}

bool UIToolBar::SetItemEnabled(int index, bool enabled)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    m_items[index].enabled = enabled ? 1 : 0;
    Invalidate(nullptr, TRUE);
    return true;
}

bool UIToolBar::SetItemStaysLit(int index, bool staysLit)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    m_items[index].staysLit = staysLit ? 1 : 0;
    return true;
}
