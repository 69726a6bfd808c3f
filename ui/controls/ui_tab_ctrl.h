#pragma once

// UITabCtrl: a skinned row (or column) of tabs. It draws a background, one skinned tab per
// visible item with the item's text centred on it, marks one item as selected, and selects an
// item when the left button is pressed on it, telling the parent (OnChildCommand) and the host
// window (WM_COMMAND) the item's id. Pressing the selected tab sends nothing.
//
// A horizontal tab is as wide as its text plus 35 pixels, and at least 80; a vertical one is as
// tall as the tab height. The tabs' rectangles are computed when the control paints, so a press
// before the first paint selects nothing, and a change to the items takes effect in the next
// paint. The skin gives only the images and text styles; the owner places the control and adds
// the items.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UITabCtrl : public UIObject {
public:
    struct Item {
        int id = 0;
        std::wstring text;
        RECT rect = {0, 0, 0, 0};
        int visible = 1;
    };

    // How much wider than its text a horizontal tab is, and its least width.
    static constexpr int kTextPadding = 35;
    static constexpr int kMinimumTabWidth = 80;

    UITabCtrl();
    ~UITabCtrl() override;

    // Slot 60: the background, then the tabs, computing their rectangles.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: "bkgnd", "Item/normal", "Item/pressed", "Text/normal" and "Text/pressed"; no "id"
    // and no "size". Returns 1.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    // Slot 64: selects the tab under the point.
    int ElementLButtonDown(UINT flags, POINT* point) override;

    // Appends a tab; returns its index.
    int AddItem(int id, const wchar_t* text);
    // Removes the tab; false for an index out of range. The selection follows its item, and is
    // cleared when that item goes.
    bool RemoveItem(int index);
    void RemoveAllItems();
    bool SetItemText(int index, const wchar_t* text);
    bool SetItemVisible(int index, bool visible);
    // Selects a tab from code, without telling anyone; -1 clears the selection. False for any
    // other index out of range.
    bool SetSelectedItem(int index);
    int GetSelectedItem() const { return m_selectedItem; }
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    // The item at index, or null.
    const Item* GetItem(int index) const;

    // Tabs top to bottom instead of left to right.
    void SetVertical(bool vertical);
    bool IsVertical() const { return m_vertical != 0; }
    void SetTabHeight(int height);
    int GetTabHeight() const { return m_tabHeight; }

protected:
    int m_selectedItem = -1;
    std::vector<Item> m_items;
    ImageStyle m_background;
    ImageStyle m_tabImage;
    ImageStyle m_selectedTabImage;
    TextStyle m_textStyle;
    TextStyle m_selectedTextStyle;
    int m_vertical = 0;
    int m_tabHeight = 30;
};
