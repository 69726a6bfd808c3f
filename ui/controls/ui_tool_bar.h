#pragma once

// UIToolBar: a row of command items drawn from an image strip, with separators, hover and pressed
// looks, a hand cursor over enabled items, one tooltip per item with a text, and WM_COMMAND with
// the item's id when an item is clicked.
//
// The image strip holds one column per image index and four rows per column, each cell
// cell-width × cell-height pixels:
//
//   row 0  normal       row 1  lighted (the hot item)
//   row 2  pressed      row 3  disabled
//
// Without a strip the bar draws only its background, not even its separators. The strip, the
// item gap, the cell size and the inset are not in the skin: the owner sets them after creating
// the bar, adds the items, and calls CreateTooltip once the bar sits in a window if the items'
// texts should show as tooltips.
//
// Items are laid out at every Relayout and at the next paint after any change, from the left
// edge: each takes the gap on both sides, a cell takes the cell width and a separator the width
// of the separator image. Hidden items take no room. Rectangles are in host client coordinates.

#include <windows.h>

#include <string>
#include <vector>

#include "ui/ch_bitmap.h"
#include "ui/ch_window.h"
#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIToolBar : public UIObject {
public:
    // What the hot item shows: nothing (no hot item), lighted, or pressed.
    enum HotState : int { kHotNone = 0, kHotLighted = 2, kHotPressed = 3 };

    // One item of the bar. Separators are never hot and never clicked.
    struct Item {
        int id = 0;
        int imageIndex = 0;
        RECT rect = {0, 0, 0, 0};
        int visible = 1;
        int enabled = 1;
        std::wstring text;
        int staysLit = 0;
        int separator = 0;
    };

    UIToolBar();
    ~UIToolBar() override;

    // Slot 58: places the bar, then its items.
    void Relayout() override;
    // Slot 60: the background, then every visible item's cell or separator.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: "id", "size", "bkgnd" and "seperator" (so spelled in the skin). Returns 1.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    // Slot 63: the click on the hot item.
    int ElementLButtonUp(UINT flags, POINT* point) override;
    // Slot 64: the pressed look of the hot item. Returns 0.
    int ElementLButtonDown(UINT flags, POINT* point) override;
    // Slot 65: a double click is a second press.
    int ElementLButtonDblClk(UINT flags, POINT* point) override;
    // Slot 68: follows the pointer from item to item.
    int ElementMouseMove(UINT flags, POINT* point) override;
    // Slot 70: drops the hot item unless it stays lit.
    int ElementMouseLeave(UINT flags, POINT* point) override;
    // Slot 85: lets the tooltip control see the message, then the children.
    void RelayToolTipEvent(MSG* message) override;

    // The strip is borrowed: images from the UIResource live as long as it does, and any other
    // strip must outlive the bar. Null removes it.
    void SetImageStrip(CHBitmap* strip);
    void SetItemGap(int gap);
    void SetCellSize(int width, int height);
    // left: where the first item's slot starts; top: added to every item's top; bottom: taken
    // from every item's bottom; right: kept but not used.
    void SetInset(int left, int top, int right, int bottom);

    // Appends an item showing column imageIndex of the strip; text (null for none) becomes its
    // tooltip. Returns its index.
    int AddItem(int id, int imageIndex, const wchar_t* text);
    // Appends a separator; returns its index.
    int AddSeparator();
    // Removes the item; false for an index out of range.
    bool RemoveItem(int index);
    void RemoveAllItems();
    // The setters return false for an index out of range.
    bool SetItemText(int index, const wchar_t* text);
    bool SetItemVisible(int index, bool visible);
    bool SetItemEnabled(int index, bool enabled);
    bool SetItemStaysLit(int index, bool staysLit);

    // Creates the tooltip window, owned by the host window; the items' tools are added at the
    // next layout. False when the bar has no host window yet or the window cannot be made. Does
    // nothing more when the window exists already.
    bool CreateTooltip();
    HWND GetTooltipWindow() const { return m_tooltip.GetHandle(); }

    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    // The item at index, or null.
    const Item* GetItem(int index) const;
    int GetHotItem() const { return m_hotItem; }
    int GetHotState() const { return m_hotState; }
    bool IsLayoutNeeded() const { return m_layoutNeeded != 0; }

protected:
    // Computes the items' rectangles and brings the tooltip's tools up to date.
    void LayoutItems();
    // The first visible, non-separator item whose rectangle holds the point, or -1.
    int ItemAt(const POINT& point) const;
    // Hand over an enabled item, arrow over no item, unchanged over a disabled one.
    void UpdateCursor(int item);
    // Marks the items for layout and repaints.
    void ItemsChanged();
    bool AcceptsMouse() const { return m_enabled && m_visible; }

    ImageStyle m_background;
    ImageStyle m_separatorImage;
    CHBitmap* m_imageStrip = nullptr;
    CHTooltip m_tooltip;
    int m_layoutNeeded = 1;
    int m_insetLeft = 0;
    int m_insetTop = 0;
    int m_insetRight = 0;
    int m_insetBottom = 0;
    int m_hotItem = -1;
    // Gap and cell size stay 0 until the owner sets them; with a cell size of 0 nothing is drawn.
    int m_itemGap = 0;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    int m_hotState = kHotNone;
    std::vector<Item> m_items;
};
