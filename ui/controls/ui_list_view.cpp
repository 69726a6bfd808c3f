#include "ui/controls/ui_list_view.h"

#include <algorithm>

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

// ---- UIHeader ----------------------------------------------------------------------------------------

UIHeader::UIHeader()
{
    m_controlType = kControlHeader;
}

UIHeader::~UIHeader() = default;

int UIHeader::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    // A missing node leaves the header as it was; querying with a null node would search from
    // the top of the document instead.
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr)
        return 1;
    m_textStyle = resource->GetTextStyle("text", node);
    m_background = resource->GetImageStyle("bkgnd", node);
    m_splitter = resource->GetImageStyle("splitter", node);
    m_height = resource->GetInt("height", node);
    return 1;
}

void UIHeader::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    const RECT& area = ownRect != nullptr ? *ownRect : m_rect;
    DrawImageStyle(area, m_background, dc);
    int x = area.left;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        Column& column = m_columns[i];
        column.rect = RECT{x, area.top, x + column.width, area.bottom};
        // The splitter straddles the border between a column and the one before it.
        if (i > 0)
            DrawImageStyle(RECT{x - 1, area.top, x + 1, area.bottom}, m_splitter, dc);
        DrawStyledText(column.rect, column.title.c_str(), nullptr, dc, m_textStyle);
        x += column.width;
    }
}

int UIHeader::AddColumn(const wchar_t* title, int width)
{
    Column column;
    column.title = title != nullptr ? title : L"";
    // A negative width would put every later column to the left of its neighbour.
    column.width = std::max(width, 0);
    m_columns.push_back(column);
    Invalidate(nullptr, TRUE);
    return static_cast<int>(m_columns.size()) - 1;
}

bool UIHeader::SetColumnWidth(int index, int width)
{
    if (index < 0 || index >= static_cast<int>(m_columns.size()))
        return false;
    m_columns[index].width = std::max(width, 0);
    Invalidate(nullptr, TRUE);
    return true;
}

void UIHeader::RemoveAllColumns()
{
    m_columns.clear();
    Invalidate(nullptr, TRUE);
}

const UIHeader::Column* UIHeader::GetColumn(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_columns.size()))
        return nullptr;
    return &m_columns[index];
}

// ---- UIListView --------------------------------------------------------------------------------------

UIListView::UIListView()
{
    m_controlType = kControlListView;
    m_header = new UIHeader();
    m_scrollBar = new UIScrollBar();
    // The bar shows only once the rows are taller than their area.
    m_scrollBar->SetVisible(false);
    AddChild(m_header);
    AddChild(m_scrollBar);
}

// The header and the bar go with the children.
UIListView::~UIListView() = default;

int UIListView::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    // The skin gives no "size": the list sits at its parent's corner until its owner places it.
    SetLayout(0, 0, 200, 200);
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr)
        return 1;
    if (resource->FindNode("Header", node) != nullptr)
        m_header->LoadFromResource(resource, "Header", node);
    if (resource->FindNode("ScrollBar", node) != nullptr)
        m_scrollBar->LoadFromResource(resource, "ScrollBar", node);
    m_oddRowImage = resource->GetImageStyle("Item/odd", node);
    m_evenRowImage = resource->GetImageStyle("Item/even", node);
    m_selectedRowImage = resource->GetImageStyle("Item/selected", node);
    m_rowHeight = resource->GetInt("Item/height", node);
    return 1;
}

void UIListView::Relayout()
{
    UIObject::Relayout();
    if (IsRectEmpty(&m_rect))
        return;

    const bool barShown = m_scrollBar->IsVisible();
    const int headerHeight = m_header->GetHeight();
    m_rowsArea = RECT{m_rect.left, m_rect.top + headerHeight, barShown ? m_rect.right - kBarStrip : m_rect.right,
                      m_rect.bottom};
    // A header taller than the list, or a list narrower than the bar's strip, leaves an empty
    // area rather than an inverted one.
    if (m_rowsArea.top > m_rowsArea.bottom)
        m_rowsArea.top = m_rowsArea.bottom;
    if (m_rowsArea.right < m_rowsArea.left)
        m_rowsArea.right = m_rowsArea.left;

    m_header->SetLayout(0, 0, m_rowsArea.right - m_rowsArea.left, headerHeight);
    if (barShown) {
        // A negative width from the skin would reach back over the rows, so it counts as none.
        const int barWidth = std::max<int>(m_scrollBar->GetTrackImage().bgW, 0);
        m_scrollBar->SetLayout(m_rowsArea.right - m_rect.left, headerHeight, barWidth,
                               std::max<int>(m_rect.bottom - m_rect.top - headerHeight, 0));
    }

    LayoutRows();

    const int areaHeight = m_rowsArea.bottom - m_rowsArea.top;
    const int contentHeight = m_rows.empty() ? 0 : m_rows.back().rect.bottom - m_rows.front().rect.top;
    if (m_rows.empty()) {
        if (m_scrollBar->IsVisible()) {
            ResetScroll();
            m_scrollBar->SetRange(0);
            m_scrollBar->SetVisible(false);
            Relayout();
        }
    } else if (areaHeight < contentHeight) {
        if (!m_scrollBar->IsVisible()) {
            ResetScroll();
            m_scrollBar->SetVisible(true);
            // Again, now that the bar takes its strip.
            Relayout();
        }
        m_scrollBar->SetPage(areaHeight);
        m_scrollBar->SetRange(contentHeight);
    } else if (m_scrollBar->IsVisible()) {
        ResetScroll();
        m_scrollBar->SetVisible(false);
        Relayout();
    }
}

void UIListView::LayoutRows()
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        const int top = m_rowsArea.top + static_cast<int>(i) * m_rowHeight;
        row.rect = RECT{m_rowsArea.left, top, m_rowsArea.right, top + m_rowHeight};
        int left = m_rowsArea.left;
        for (size_t k = 0; k < row.cells.size(); ++k) {
            // Cells follow the header's columns; one past the last column has no width.
            const UIHeader::Column* column = m_header->GetColumn(static_cast<int>(k));
            const int width = column != nullptr ? column->width : 0;
            int right = std::min<int>(left + width, m_rowsArea.right);
            // A cell that starts past the area's right edge is empty, not inverted.
            if (right < left)
                right = left;
            row.cells[k].rect = RECT{left, row.rect.top, right, row.rect.bottom};
            left += width;
        }
    }
}

void UIListView::DrawElement(HDC dc, const RECT*, const RECT*)
{
    // The stripes stay put while the rows scroll over them.
    if (m_rowHeight > 0) {
        int index = 0;
        for (int y = m_rowsArea.top; y < m_rowsArea.bottom; y += m_rowHeight, ++index) {
            const RECT stripe = {m_rowsArea.left, y, m_rowsArea.right, y + m_rowHeight};
            DrawImageStyle(stripe, index % 2 == 0 ? m_evenRowImage : m_oddRowImage, dc);
        }
    }

    for (size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        RECT rowRect = row.rect;
        OffsetRect(&rowRect, 0, -m_scrollOffset);
        if (!RectVisible(dc, &rowRect))
            continue;
        ::SetTextColor(dc, m_textColor);
        const ImageStyle& image = static_cast<int>(i) == m_selectedRow ? m_selectedRowImage
                                  : i % 2 == 0                         ? m_evenRowImage
                                                                       : m_oddRowImage;
        DrawImageStyle(rowRect, image, dc);
        for (const Cell& cell : row.cells) {
            RECT cellRect = cell.rect;
            OffsetRect(&cellRect, 0, -m_scrollOffset);
            DrawTextW(dc, cell.text.c_str(), -1, &cellRect, m_textFormat);
        }
    }
}

int UIListView::RowAt(const POINT& point) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        RECT rowRect = m_rows[i].rect;
        OffsetRect(&rowRect, 0, -m_scrollOffset);
        if (PtInRect(&rowRect, point))
            return static_cast<int>(i);
    }
    return -1;
}

int UIListView::ElementLButtonDown(UINT, POINT* point)
{
    if (!m_enabled || !m_visible || point == nullptr)
        return 1;
    const int row = RowAt(*point);
    if (row >= 0) {
        m_selectedRow = row;
        Invalidate(nullptr, TRUE);
    }
    return 1;
}

int UIListView::ElementMouseMove(UINT, POINT*)
{
    return 1;
}

int UIListView::ElementMouseWheel(UINT, UINT delta, POINT*)
{
    // A hidden bar may still hold the range of rows that have since gone; the rows fit then, and
    // there is nothing to scroll.
    if (!m_scrollBar->IsVisible())
        return 1;
    const int minimum = m_scrollBar->GetMinimum();
    const int maximum = m_scrollBar->GetMaximum();
    if (maximum - minimum <= kWheelMinimumRange)
        return 1;
    const int page = m_scrollBar->GetPage();
    const int step = page / 8;
    int position = m_scrollBar->GetPosition();
    // Only the direction counts: one step per wheel message, however far the wheel turned.
    if ((delta & 0x8000) == 0) {
        position = std::max(position - step, minimum);
    } else {
        const int bottom = std::max(maximum - page + 1, minimum);
        position = std::min(position + step, bottom);
    }
    ScrollTo(position);
    return 1;
}

int UIListView::OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_VSCROLL || sender != m_scrollBar)
        return 0;
    const int minimum = m_scrollBar->GetMinimum();
    const int maximum = m_scrollBar->GetMaximum();
    const int page = m_scrollBar->GetPage();
    const int position = m_scrollBar->GetPosition();
    // Content shorter than a page would put the bound above the top; it stops at the top then.
    const int top = std::max(maximum - page - 1, minimum);

    int next = position;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        next = std::max(position - 1, minimum);
        break;
    case SB_LINEDOWN:
        next = std::min(position + 1, top);
        break;
    case SB_PAGEUP:
        next = std::max(position - page, minimum);
        break;
    case SB_PAGEDOWN:
        next = std::min(position + page, top);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        next = m_scrollBar->GetTrackPosition();
        break;
    case SB_TOP:
        next = minimum;
        break;
    case SB_BOTTOM:
        next = top;
        break;
    default:
        break;
    }
    ScrollTo(next);
    return 0;
}

void UIListView::ScrollTo(int position)
{
    m_scrollBar->SetPosition(position);
    m_scrollBar->UpdateThumb();
    m_scrollBar->Invalidate(nullptr, TRUE);
    m_scrollOffset = position;
    Invalidate(nullptr, TRUE);
}

void UIListView::ResetScroll()
{
    // The bar's position goes back with the offset, or a bar shown again later would put its
    // thumb where the rows are not.
    m_scrollOffset = 0;
    m_scrollBar->SetPosition(0);
}

int UIListView::AddColumn(const wchar_t* title, int width)
{
    const int index = m_header->AddColumn(title, width);
    Relayout();
    Invalidate(nullptr, TRUE);
    return index;
}

int UIListView::AddRow(const std::vector<std::wstring>& cells)
{
    Row row;
    for (const std::wstring& text : cells) {
        Cell cell;
        cell.text = text;
        row.cells.push_back(cell);
    }
    m_rows.push_back(row);
    Relayout();
    Invalidate(nullptr, TRUE);
    return static_cast<int>(m_rows.size()) - 1;
}

bool UIListView::SetCellText(int row, int column, const wchar_t* text)
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || column < 0)
        return false;
    std::vector<Cell>& cells = m_rows[row].cells;
    // A row may gain cells up to the header's last column, not without bound.
    const int limit = std::max(static_cast<int>(cells.size()), m_header->GetColumnCount());
    if (column >= limit)
        return false;
    if (column >= static_cast<int>(cells.size()))
        cells.resize(static_cast<size_t>(column) + 1);
    cells[column].text = text != nullptr ? text : L"";
    Relayout();
    Invalidate(nullptr, TRUE);
    return true;
}

bool UIListView::RemoveRow(int index)
{
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return false;
    m_rows.erase(m_rows.begin() + index);
    if (m_selectedRow == index)
        m_selectedRow = -1;
    else if (m_selectedRow > index)
        --m_selectedRow;
    Relayout();
    Invalidate(nullptr, TRUE);
    return true;
}

void UIListView::RemoveAllRows()
{
    m_rows.clear();
    m_selectedRow = -1;
    Relayout();
    Invalidate(nullptr, TRUE);
}

const UIListView::Row* UIListView::GetRow(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return nullptr;
    return &m_rows[index];
}

std::wstring UIListView::GetCellText(int row, int column) const
{
    const Row* found = GetRow(row);
    if (found == nullptr || column < 0 || column >= static_cast<int>(found->cells.size()))
        return std::wstring();
    return found->cells[column].text;
}

bool UIListView::SetSelectedRow(int index)
{
    if (index < -1 || index >= static_cast<int>(m_rows.size()))
        return false;
    m_selectedRow = index;
    Invalidate(nullptr, TRUE);
    return true;
}

void UIListView::SetTextColor(COLORREF color)
{
    m_textColor = color;
    Invalidate(nullptr, TRUE);
}

void UIListView::SetTextFormat(UINT format)
{
    m_textFormat = format;
    Invalidate(nullptr, TRUE);
}
