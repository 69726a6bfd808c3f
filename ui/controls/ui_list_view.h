#pragma once

// UIHeader: the column titles of a list view, drawn over a skinned background with a splitter
// image at the left edge of every column but the first. It has no mouse behaviour: columns can
// be neither resized nor clicked. Its column widths decide where the list view's cells go.
//
// UIListView: a skinned, single-selection list of rows under a UIHeader child, with a UIScrollBar
// child that shows only while the rows are taller than the area below the header. Rows are drawn
// on alternating stripes ("Item/even" for the first, "Item/odd" for the second, and so on); the
// stripes fill the whole area whether or not rows exist there, and the selected row has its own
// image. A press on a row selects it silently; the list scrolls with the bar and the wheel.
//
//   +-------------------------------+---+
//   | header (height from the skin) |   |     with the bar visible, the header and the rows
//   +-------------------------------+ b |     give up a strip of kBarStrip pixels on the right
//   | row 0            (even)       | a |
//   | row 1            (odd)        | r |
//   +-------------------------------+---+
//
// The owner adds columns and rows; every change lays the list out again, so the rows'
// rectangles and the bar follow at once. Rectangles are in host client coordinates; the rows'
// are before scrolling (the drawing and the hit test move them up by the scroll offset).

#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls/ui_scroll_bar.h"
#include "ui/resource/skin_records.h"
#include "ui/ui_object.h"

class UIHeader : public UIObject {
public:
    struct Column {
        std::wstring title;
        RECT rect = {0, 0, 0, 0};
        int width = 0;
    };

    UIHeader();
    ~UIHeader() override;

    // Slot 60: the background, then each column's splitter and title.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: "text", "bkgnd", "splitter" and "height" (0 when absent, as every integer the skin
    // leaves out). Returns 1.
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;

    // Appends a column; a negative width counts as 0. Returns its index.
    int AddColumn(const wchar_t* title, int width);
    bool SetColumnWidth(int index, int width);
    void RemoveAllColumns();
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    // The column at index, or null. Its rectangle is the one of the last paint.
    const Column* GetColumn(int index) const;

    int GetHeight() const { return m_height; }
    void SetHeight(int height) { m_height = height; }

protected:
    int m_height = 32;
    TextStyle m_textStyle;
    ImageStyle m_background;
    ImageStyle m_splitter;
    std::vector<Column> m_columns;
};

class UIListView : public UIObject {
public:
    struct Cell {
        RECT rect = {0, 0, 0, 0};
        std::wstring text;
    };
    struct Row {
        RECT rect = {0, 0, 0, 0};
        std::vector<Cell> cells;
    };

    // What the rows and the header give up on the right while the bar shows.
    static constexpr int kBarStrip = 30;
    // How many pixels of content the wheel ignores: shorter content never scrolls by wheel.
    static constexpr int kWheelMinimumRange = 100;

    UIListView();
    ~UIListView() override;

    // Slot 58: places the list, the header, the bar and every row and cell, and shows or hides
    // the bar.
    void Relayout() override;
    // Slot 60: the stripes, then the visible rows with their cells' texts.
    void DrawElement(HDC dc, const RECT* ownRect, const RECT* clip) override;
    // Slot 62: a 200 × 200 rule at the parent's corner, "Header", "ScrollBar" and "Item".
    int LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start) override;
    // Slot 64: selects the row under the point; no notification.
    int ElementLButtonDown(UINT flags, POINT* point) override;
    // Slot 68: nothing; returns 1.
    int ElementMouseMove(UINT flags, POINT* point) override;
    // Slot 71: one step of an eighth of the page per wheel message.
    int ElementMouseWheel(UINT keys, UINT delta, POINT* point) override;
    // Slot 83: WM_VSCROLL from the bar scrolls the rows. Returns 0.
    int OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Appends a column to the header and lays the list out again. Returns its index.
    int AddColumn(const wchar_t* title, int width);
    // Appends a row with these cell texts (any number, also more than there are columns) and
    // lays the list out again. Returns its index.
    int AddRow(const std::vector<std::wstring>& cells);
    // Replaces a cell's text, adding empty cells up to it when the row has fewer; false for a
    // row or column index out of range.
    bool SetCellText(int row, int column, const wchar_t* text);
    // Removes a row; false for an index out of range. The selection follows its row, and is
    // cleared when that row goes.
    bool RemoveRow(int index);
    void RemoveAllRows();

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    // The row at index, or null.
    const Row* GetRow(int index) const;
    // The text of a cell; empty when there is no such cell.
    std::wstring GetCellText(int row, int column) const;
    // -1 when no row is selected.
    int GetSelectedRow() const { return m_selectedRow; }
    // Selects a row from code and repaints; -1 clears the selection. False for any other index
    // out of range.
    bool SetSelectedRow(int index);

    void SetTextColor(COLORREF color);
    // DrawTextW flags for the cells' texts.
    void SetTextFormat(UINT format);

    UIHeader* GetHeader() const { return m_header; }
    UIScrollBar* GetScrollBar() const { return m_scrollBar; }
    const RECT& GetRowsArea() const { return m_rowsArea; }
    int GetScrollOffset() const { return m_scrollOffset; }
    int GetRowHeight() const { return m_rowHeight; }

protected:
    // Row i's rectangle and its cells', from the header's column widths.
    void LayoutRows();
    // Stores a new position in the bar and the offset, and repaints both.
    void ScrollTo(int position);
    // Back to the top, in the offset and in the bar alike.
    void ResetScroll();
    // The row under the point once the rows are scrolled, or -1.
    int RowAt(const POINT& point) const;

    UIHeader* m_header = nullptr;        // a child, owned through the child list
    UIScrollBar* m_scrollBar = nullptr;  // a child, owned through the child list
    ImageStyle m_oddRowImage;
    ImageStyle m_evenRowImage;
    ImageStyle m_selectedRowImage;
    RECT m_rowsArea = {0, 0, 0, 0};
    int m_scrollOffset = 0;
    int m_selectedRow = -1;
    int m_rowHeight = 28;
    COLORREF m_textColor = RGB(255, 255, 255);
    UINT m_textFormat = DT_WORD_ELLIPSIS | DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    std::vector<Row> m_rows;
};
