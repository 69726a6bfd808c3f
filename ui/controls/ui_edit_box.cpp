#include "ui/controls/ui_edit_box.h"

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

UIEditBox::UIEditBox()
{
    m_controlType = kControlEditBox;
    // The bar stays unplaced (an empty rectangle, never drawn or hit) until scrolling mode lays
    // it out beside the text.
    m_scrollBar = new UIScrollBar();
    m_scrollBar->SetMinThumbLength(30);
    AddChild(m_scrollBar);
}

UIEditBox::~UIEditBox() = default;

int UIEditBox::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    // A missing node leaves the box unplaced and unskinned; querying with a null node would
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
    if (const JsonValue* text = resource->FindNode("Text", node)) {
        const RECT margin = resource->GetRect("margin", text);
        m_marginLeft = margin.left;
        m_marginTop = margin.top;
        m_marginRight = margin.right;
        m_marginBottom = margin.bottom;
        m_textStyles[0] = resource->GetTextStyle("normal", text);
        m_textStyles[1] = resource->GetTextStyle("grayed", text);
    }
    if (resource->FindNode("ScrollBar", node) != nullptr)
        m_scrollBar->LoadFromResource(resource, "ScrollBar", node);
    return 1;
}

RECT UIEditBox::TextArea() const
{
    return RECT{m_textRect.left + m_marginLeft, m_textRect.top + m_marginTop, m_textRect.right - m_marginRight,
                m_textRect.bottom - m_marginBottom};
}

void UIEditBox::Relayout()
{
    UIObject::Relayout();
    if (IsRectEmpty(&m_rect))
        return;
    m_textRect = m_rect;
    if (!m_scrollMode || !m_scrollBar->IsVisible())
        return;

    // The bar is as wide as its track image and takes that strip off the text's right side. A
    // negative width from the package would widen the text past the box, so it counts as none.
    int barWidth = m_scrollBar->GetTrackImage().bgW;
    if (barWidth < 0)
        barWidth = 0;
    m_textRect.right -= barWidth;
    m_scrollBar->SetLayout(m_textRect.right - m_rect.left, 0, barWidth, m_rect.bottom - m_rect.top);

    // The range is the wrapped text's height; the position and the offset stay where they are,
    // so the next scroll clamps them.
    const RECT area = TextArea();
    int contentHeight = 0;
    if (HDC dc = GetMemDC())
        contentHeight = MeasureStyledText(dc, m_textStyles[0], area, DisplayText().c_str()).cy;
    m_scrollBar->SetRange(contentHeight);
    m_scrollBar->SetPage(area.bottom - area.top);
    m_scrollBar->UpdateThumb();
    m_scrollBar->Invalidate(nullptr, TRUE);
}

void UIEditBox::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    DrawImageStyle(*ownRect, m_background, dc);
    if (m_text.empty())
        return;
    // The "normal" style is drawn even while disabled.
    const RECT area = TextArea();
    const RECT layout = {area.left, area.top - m_scrollOffset, area.right, area.bottom};
    DrawStyledText(layout, DisplayText().c_str(), &area, dc, m_textStyles[0]);
}

void UIEditBox::SetText(const wchar_t* text)
{
    m_text = text != nullptr ? text : L"";
    Invalidate(nullptr, TRUE);
}

void UIEditBox::SetScrollMode(bool scrolling)
{
    m_scrollMode = scrolling ? 1 : 0;
    Invalidate(nullptr, TRUE);
}

void UIEditBox::ScrollTo(int position)
{
    m_scrollBar->SetPosition(position);
    m_scrollBar->UpdateThumb();
    m_scrollBar->Invalidate(nullptr, TRUE);
    m_scrollOffset = position;
    Invalidate(nullptr, TRUE);
}

int UIEditBox::OnChildCommand(UIObject* sender, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_VSCROLL || sender != m_scrollBar)
        return 0;
    const int minimum = m_scrollBar->GetMinimum();
    const int maximum = m_scrollBar->GetMaximum();
    const int page = m_scrollBar->GetPage();
    const int position = m_scrollBar->GetPosition();
    // Content shorter than the view would put the last line's bound above the top; scrolling
    // down then stops at the top instead of pushing the text down into the box.
    int top = maximum - page - 1;
    if (top < minimum)
        top = minimum;

    int next = position;
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        next = position - 1 < minimum ? minimum : position - 1;
        break;
    case SB_LINEDOWN:
        next = position + 1 > top ? top : position + 1;
        break;
    case SB_PAGEUP:
        next = position - page < minimum ? minimum : position - page;
        break;
    case SB_PAGEDOWN:
        next = position + page > top ? top : position + page;
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

int UIEditBox::ElementMouseWheel(UINT, UINT delta, POINT*)
{
    if (!m_scrollMode)
        return 0;
    const int minimum = m_scrollBar->GetMinimum();
    const int maximum = m_scrollBar->GetMaximum();
    if (maximum - minimum <= kWheelMinimumRange)
        return 1;
    const int page = m_scrollBar->GetPage();
    const int step = page / 8;
    int position = m_scrollBar->GetPosition();
    // Only the direction counts: one step per wheel message, however far the wheel turned.
    if ((delta & 0x8000) == 0) {
        position -= step;
        if (position < minimum)
            position = minimum;
    } else {
        int bottom = maximum - page + 1;
        if (bottom < minimum)
            bottom = minimum;
        position += step;
        if (position > bottom)
            position = bottom;
    }
    ScrollTo(position);
    return 1;
}

std::wstring UIEditBox::DisplayText() const
{
    // Line feeds alone break lines; a carriage return before one would be drawn as a box by
    // renderers that do not treat it as part of the break. It becomes an invisible space, which
    // also keeps empty lines from being dropped by such renderers.
    std::wstring shown = m_text;
    for (size_t i = 0; i + 1 < shown.size(); ++i)
        if (shown[i] == L'\r' && shown[i + 1] == L'\n')
            shown[i] = L' ';
    return shown;
}
