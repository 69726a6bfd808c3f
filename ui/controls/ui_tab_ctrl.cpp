#include "ui/controls/ui_tab_ctrl.h"

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

namespace {

// DT_CENTER | DT_VCENTER | DT_SINGLELINE: every tab's text sits in its middle.
constexpr UINT kTabTextFormat = 0x25;

}  // namespace

UITabCtrl::UITabCtrl()
{
    m_controlType = kControlTabCtrl;
}

UITabCtrl::~UITabCtrl() = default;

int UITabCtrl::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    // A missing node leaves the control unskinned; querying with a null node would search from
    // the top of the document instead.
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr)
        return 1;
    m_background = resource->GetImageStyle("bkgnd", node);
    m_tabImage = resource->GetImageStyle("Item/normal", node);
    m_selectedTabImage = resource->GetImageStyle("Item/pressed", node);
    m_textStyle = resource->GetTextStyle("Text/normal", node);
    m_selectedTextStyle = resource->GetTextStyle("Text/pressed", node);
    return 1;
}

void UITabCtrl::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    const RECT& area = ownRect != nullptr ? *ownRect : m_rect;
    DrawImageStyle(area, m_background, dc);

    // Tabs are measured in the normal font, and their texts drawn with whatever font the DC
    // holds, so the selected tab's font is selected around its text only. Without a font of its
    // own a style uses the font the DC came with.
    HGDIOBJ originalFont = GetCurrentObject(dc, OBJ_FONT);
    HGDIOBJ normalFont = m_textStyle.font != nullptr ? m_textStyle.font : originalFont;
    HGDIOBJ selectedFont = m_selectedTextStyle.font != nullptr ? m_selectedTextStyle.font : originalFont;
    SelectObject(dc, normalFont);
    TextStyle drawing;
    drawing.format = kTabTextFormat;
    drawing.color = m_textStyle.color;

    int sum = 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        Item& item = m_items[i];
        if (!item.visible)
            continue;
        const int width = GetTextWidth(dc, item.text.c_str());
        item.rect = area;
        if (m_vertical) {
            item.rect.top = area.top + sum;
            item.rect.bottom = area.top + sum + m_tabHeight;
        } else {
            item.rect.left = area.left + sum;
            item.rect.right = item.rect.left + width + kTextPadding;
            if (item.rect.right < item.rect.left + kMinimumTabWidth)
                item.rect.right = item.rect.left + kMinimumTabWidth;
        }

        if (static_cast<int>(i) == m_selectedItem) {
            DrawImageStyle(item.rect, m_selectedTabImage, dc);
            SelectObject(dc, selectedFont);
            drawing.color = m_selectedTextStyle.color;
            DrawStyledText(item.rect, item.text.c_str(), nullptr, dc, drawing);
            SelectObject(dc, normalFont);
            drawing.color = m_textStyle.color;
        } else {
            DrawImageStyle(item.rect, m_tabImage, dc);
            DrawStyledText(item.rect, item.text.c_str(), nullptr, dc, drawing);
        }
        sum += m_vertical ? m_tabHeight : item.rect.right - item.rect.left;
    }
    SelectObject(dc, originalFont);
}

int UITabCtrl::ElementLButtonDown(UINT, POINT* point)
{
    if (!m_enabled || !m_visible || point == nullptr)
        return 1;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        if (!item.visible || !PtInRect(&item.rect, *point) || static_cast<int>(i) == m_selectedItem)
            continue;
        // The selection follows the press, not the release.
        m_selectedItem = static_cast<int>(i);
        Invalidate(nullptr, TRUE);
        const WPARAM id = static_cast<WPARAM>(LOWORD(item.id));
        if (m_parent != nullptr)
            m_parent->OnChildCommand(this, WM_COMMAND, id, reinterpret_cast<LPARAM>(this));
        SendToHost(WM_COMMAND, id, reinterpret_cast<LPARAM>(GetHostWindow()));
        break;
    }
    return 1;
}

int UITabCtrl::AddItem(int id, const wchar_t* text)
{
    Item item;
    item.id = id;
    item.text = text != nullptr ? text : L"";
    m_items.push_back(item);
    Invalidate(nullptr, TRUE);
    return static_cast<int>(m_items.size()) - 1;
}

bool UITabCtrl::RemoveItem(int index)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    m_items.erase(m_items.begin() + index);
    if (m_selectedItem == index)
        m_selectedItem = -1;
    else if (m_selectedItem > index)
        --m_selectedItem;
    Invalidate(nullptr, TRUE);
    return true;
}

void UITabCtrl::RemoveAllItems()
{
    m_items.clear();
    m_selectedItem = -1;
    Invalidate(nullptr, TRUE);
}

bool UITabCtrl::SetItemText(int index, const wchar_t* text)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    m_items[index].text = text != nullptr ? text : L"";
    Invalidate(nullptr, TRUE);
    return true;
}

bool UITabCtrl::SetItemVisible(int index, bool visible)
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    m_items[index].visible = visible ? 1 : 0;
    Invalidate(nullptr, TRUE);
    return true;
}

bool UITabCtrl::SetSelectedItem(int index)
{
    if (index < -1 || index >= static_cast<int>(m_items.size()))
        return false;
    m_selectedItem = index;
    Invalidate(nullptr, TRUE);
    return true;
}

const UITabCtrl::Item* UITabCtrl::GetItem(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_items.size()))
        return nullptr;
    return &m_items[index];
}

void UITabCtrl::SetVertical(bool vertical)
{
    m_vertical = vertical ? 1 : 0;
    Invalidate(nullptr, TRUE);
}

void UITabCtrl::SetTabHeight(int height)
{
    m_tabHeight = height;
    Invalidate(nullptr, TRUE);
}
