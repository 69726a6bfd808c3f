#include "ui/controls/ui_button.h"

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

UIButton::UIButton()
{
    m_controlType = kControlButton;
}

UIButton::~UIButton() = default;

int UIButton::GetDrawnState() const
{
    if (!m_enabled)
        return kSkinGrayed;
    if (m_visualState == kSkinLighted || m_visualState == kSkinPressed)
        return m_visualState;
    return kSkinNormal;
}

void UIButton::SetVisualState(int state)
{
    if (m_visualState == state)
        return;
    m_visualState = state;
    Invalidate(nullptr, TRUE);
}

void UIButton::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    const int index = GetDrawnState();
    DrawImageStyle(*ownRect, m_images[index], dc);
    if (m_text.empty())
        return;
    RECT caption = {ownRect->left + m_marginLeft, ownRect->top + m_marginTop, ownRect->right - m_marginRight,
                    ownRect->bottom - m_marginBottom};
    // Only an enabled, pressed button moves its caption, so that it looks pushed in.
    if (index == kSkinPressed)
        OffsetRect(&caption, 1, 1);
    DrawStyledText(caption, m_text.c_str(), nullptr, dc, m_textStyles[index]);
}

int UIButton::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    if (resource == nullptr)
        return 0;
    // Every key is read relative to the button's own node. Without a node, a query with a null
    // start would look from the top of the document instead, so nothing is read at all.
    const JsonValue* node = resource->FindNode(path, start);
    if (node == nullptr)
        return 0;

    m_commandId = resource->GetInt("id", node);
    const RECT size = resource->GetRect("size", node);
    m_layoutX = size.left;
    m_layoutY = size.top;
    m_layoutW = size.right;
    m_layoutH = size.bottom;
    for (int state = 0; state < kSkinStateCount; ++state)
        m_images[state] = resource->GetImageStyle(kSkinStateNames[state], node);

    const JsonValue* text = resource->FindNode("Text", node);
    if (text == nullptr)
        return 1;
    const RECT margin = resource->GetRect("margin", text);
    m_marginLeft = margin.left;
    m_marginTop = margin.top;
    m_marginRight = margin.right;
    m_marginBottom = margin.bottom;
    for (int state = 0; state < kSkinStateCount; ++state)
        m_textStyles[state] = resource->GetTextStyle(kSkinStateNames[state], text);
    return 1;
}

int UIButton::ElementLButtonUp(UINT, POINT*)
{
    // The pointer is still over the button after the release.
    SetVisualState(kSkinLighted);
    const WPARAM id = static_cast<WPARAM>(LOWORD(m_commandId));
    // The parent sees the click first: the frame window turns its system buttons into system
    // commands there. Whatever it answers, the host window is told as well.
    if (m_parent != nullptr)
        m_parent->OnChildCommand(this, WM_COMMAND, id, reinterpret_cast<LPARAM>(this));
    SendToHost(WM_COMMAND, id, reinterpret_cast<LPARAM>(GetHostWindow()));
    return 1;
}

int UIButton::ElementLButtonDown(UINT, POINT*)
{
    SetVisualState(kSkinPressed);
    return 1;
}

int UIButton::ElementLButtonDblClk(UINT flags, POINT* point)
{
    return UIButton::ElementLButtonDown(flags, point);
}

int UIButton::ElementMouseEnter(UINT, POINT*)
{
    if (m_enabled && m_visible)
        SetVisualState(kSkinLighted);
    return 1;
}

int UIButton::ElementMouseLeave(UINT, POINT*)
{
    SetVisualState(kSkinNormal);
    return 1;
}

int UIButton::ElementVisibleChanged(BOOL)
{
    // No repaint here: SetVisible repaints once after this hook.
    m_visualState = kSkinNormal;
    return 1;
}

void UIButton::SetText(const wchar_t* text)
{
    m_text = text != nullptr ? text : L"";
    Invalidate(nullptr, TRUE);
}
