#include "ui/controls/ui_pane.h"

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

UIPane::UIPane()
{
    m_controlType = kControlPane;
}

UIPane::~UIPane() = default;

void UIPane::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect != nullptr)
        DrawImageStyle(*ownRect, m_background, dc);
}

int UIPane::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    if (resource == nullptr)
        return 0;
    const JsonValue* node = resource->FindNode(path, start);
    if (node == nullptr)
        return 0;
    m_commandId = resource->GetInt("id", node);
    const RECT size = resource->GetRect("size", node);
    m_layoutX = size.left;
    m_layoutY = size.top;
    m_layoutW = size.right;
    m_layoutH = size.bottom;
    m_background = resource->GetImageStyle("bkgnd", node);
    return 1;
}
