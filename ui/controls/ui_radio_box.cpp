#include "ui/controls/ui_radio_box.h"

#include <vector>

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

namespace {

// Reads what a button, a check box, a radio box and a drop button share: "id", "size", the five
// state images, and the "Text" node's margin and five text styles when that node exists.
void LoadStates(IUIResource* resource, const JsonValue* node, int& commandId, int layout[4],
                ImageStyle images[kSkinStateCount], TextStyle textStyles[kSkinStateCount], int margin[4])
{
    commandId = resource->GetInt("id", node);
    const RECT size = resource->GetRect("size", node);
    layout[0] = size.left;
    layout[1] = size.top;
    layout[2] = size.right;
    layout[3] = size.bottom;
    for (int i = 0; i < kSkinStateCount; ++i)
        images[i] = resource->GetImageStyle(kSkinStateNames[i], node);
    const JsonValue* text = resource->FindNode("Text", node);
    if (text == nullptr)
        return;
    const RECT inset = resource->GetRect("margin", text);
    margin[0] = inset.left;
    margin[1] = inset.top;
    margin[2] = inset.right;
    margin[3] = inset.bottom;
    for (int i = 0; i < kSkinStateCount; ++i)
        textStyles[i] = resource->GetTextStyle(kSkinStateNames[i], text);
}

}  // namespace

// ---- UIRadioBox ------------------------------------------------------------------------------------

UIRadioBox::UIRadioBox()
{
    // Radio boxes find their siblings by this number.
    m_controlType = kControlRadioBox;
}

UIRadioBox::~UIRadioBox() = default;

int UIRadioBox::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    // A missing node leaves the box unplaced and unskinned; querying with a null node would
    // search from the top of the document instead.
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr)
        return 1;
    int layout[4] = {0, 0, 0, 0};
    int margin[4] = {m_marginLeft, m_marginTop, m_marginRight, m_marginBottom};
    LoadStates(resource, node, m_commandId, layout, m_images, m_textStyles, margin);
    m_layoutX = layout[0];
    m_layoutY = layout[1];
    m_layoutW = layout[2];
    m_layoutH = layout[3];
    m_marginLeft = margin[0];
    m_marginTop = margin[1];
    m_marginRight = margin[2];
    m_marginBottom = margin[3];
    return 1;
}

void UIRadioBox::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    // A checked box looks pressed, whether or not the pointer is over it.
    int index = kSkinNormal;
    if (m_visualState == kStateLighted)
        index = kSkinLighted;
    else if (m_visualState == kStatePressed || m_checked)
        index = kSkinPressed;
    if (!m_enabled)
        index = kSkinGrayed;
    DrawImageStyle(*ownRect, m_images[index], dc);
    if (m_caption.empty())
        return;
    const RECT caption = {ownRect->left + m_marginLeft, ownRect->top + m_marginTop, ownRect->right - m_marginRight,
                          ownRect->bottom - m_marginBottom};
    DrawStyledText(caption, m_caption.c_str(), nullptr, dc, m_textStyles[index]);
}

int UIRadioBox::ElementLButtonUp(UINT, POINT*)
{
    // A release after a press elsewhere finds an unchecked box lighted and leaves it alone.
    if (AcceptsMouse() && m_visualState != kStateLighted) {
        m_visualState = kStateLighted;
        Select();
    }
    return 1;
}

void UIRadioBox::Select()
{
    // A click on the checked box changes nothing, and the lighted state it was just given shows
    // only at the next repaint.
    if (m_checked)
        return;
    m_checked = 1;
    m_visualState = kStatePressed;
    OnSelect();
    Invalidate(nullptr, TRUE);
    const WPARAM id = static_cast<WPARAM>(LOWORD(m_commandId));
    if (m_parent != nullptr)
        m_parent->OnChildCommand(this, WM_COMMAND, id, reinterpret_cast<LPARAM>(this));
    SendToHost(WM_COMMAND, id, reinterpret_cast<LPARAM>(GetHostWindow()));
}

void UIRadioBox::OnSelect()
{
    if (m_parent == nullptr)
        return;
    // A copy: a repaint must not see the list change under it, nor this loop the repaint's.
    const std::vector<UIObject*> siblings = m_parent->GetChildren();
    for (UIObject* sibling : siblings) {
        if (sibling == this || sibling->GetControlType() != kControlRadioBox)
            continue;
        auto* radio = dynamic_cast<UIRadioBox*>(sibling);
        if (radio == nullptr || !radio->m_checked)
            continue;
        radio->m_checked = 0;
        radio->m_visualState = kStateNormal;
        radio->Invalidate(nullptr, TRUE);
    }
}

int UIRadioBox::ElementLButtonDown(UINT, POINT*)
{
    if (AcceptsMouse() && m_visualState != kStatePressed) {
        m_visualState = kStatePressed;
        Invalidate(nullptr, TRUE);
    }
    return 1;
}

int UIRadioBox::ElementLButtonDblClk(UINT flags, POINT* point)
{
    return UIRadioBox::ElementLButtonDown(flags, point);
}

int UIRadioBox::ElementMouseEnter(UINT, POINT*)
{
    if (AcceptsMouse() && m_visualState != kStateLighted) {
        m_visualState = m_checked ? kStatePressed : kStateLighted;
        Invalidate(nullptr, TRUE);
    }
    return 1;
}

int UIRadioBox::ElementMouseLeave(UINT, POINT*)
{
    if (AcceptsMouse() && m_visualState != kStateNormal) {
        m_visualState = kStateNormal;
        Invalidate(nullptr, TRUE);
    }
    return 1;
}

int UIRadioBox::ElementVisibleChanged(BOOL)
{
    m_visualState = kStateNormal;
    return 1;
}

void UIRadioBox::SetText(const wchar_t* text)
{
    m_caption = text != nullptr ? text : L"";
    Invalidate(nullptr, TRUE);
}

void UIRadioBox::SetChecked(bool checked)
{
    m_checked = checked ? 1 : 0;
    Invalidate(nullptr, TRUE);
}

// ---- UIDropButton ----------------------------------------------------------------------------------

UIDropButton::UIDropButton()
{
    m_controlType = kControlDropButton;
}

UIDropButton::~UIDropButton() = default;

int UIDropButton::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node != nullptr) {
        int layout[4] = {0, 0, 0, 0};
        int margin[4] = {m_marginLeft, m_marginTop, m_marginRight, m_marginBottom};
        LoadStates(resource, node, m_commandId, layout, m_images, m_textStyles, margin);
        m_layoutX = layout[0];
        m_layoutY = layout[1];
        m_layoutW = layout[2];
        m_layoutH = layout[3];
        m_marginLeft = margin[0];
        m_marginTop = margin[1];
        m_marginRight = margin[2];
        m_marginBottom = margin[3];
    }
    // The caption leaves room for the drop-down arrow on the right, so it is always one line from
    // the left, whatever alignment the skin asks for.
    for (TextStyle& style : m_textStyles)
        style.format = kCaptionFormat;
    return 1;
}

void UIDropButton::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    int index = kSkinNormal;
    if (m_visualState == kStateLighted || m_visualState == kStatePressed)
        index = m_visualState;
    if (!m_enabled)
        index = kSkinGrayed;
    DrawImageStyle(*ownRect, m_images[index], dc);
    if (m_text.empty())
        return;
    // Unlike a push button's, the caption stays put while pressed.
    const RECT caption = {ownRect->left + m_marginLeft, ownRect->top + m_marginTop, ownRect->right - m_marginRight,
                          ownRect->bottom - m_marginBottom};
    DrawStyledText(caption, m_text.c_str(), nullptr, dc, m_textStyles[index]);
}

void UIDropButton::SetVisualState(int state)
{
    if (m_visualState == state)
        return;
    m_visualState = state;
    Invalidate(nullptr, TRUE);
}

int UIDropButton::ElementLButtonUp(UINT, POINT*)
{
    m_dropping = 1;
    OnDrop();
    m_dropping = 0;
    // The action may have run a menu for a while: where the pointer is now decides the look.
    POINT cursor = {0, 0};
    GetCursorPos(&cursor);
    if (HWND host = GetHostWindow())
        ScreenToClient(host, &cursor);
    m_visualState = PtInRect(&m_rect, cursor) ? kStateLighted : kStateNormal;
    Invalidate(nullptr, TRUE);
    return 1;
}

void UIDropButton::OnDrop()
{
    SendToHost(WM_COMMAND, static_cast<WPARAM>(LOWORD(m_commandId)), 0);
}

int UIDropButton::ElementLButtonDown(UINT, POINT*)
{
    SetVisualState(kStatePressed);
    return 1;
}

int UIDropButton::ElementLButtonDblClk(UINT flags, POINT* point)
{
    return UIDropButton::ElementLButtonDown(flags, point);
}

int UIDropButton::ElementMouseEnter(UINT, POINT*)
{
    if (m_enabled && m_visible)
        SetVisualState(kStateLighted);
    return 1;
}

int UIDropButton::ElementMouseLeave(UINT, POINT*)
{
    // A menu shown by the drop-down action takes the pointer away; the button stays pressed
    // until the action returns.
    if (!m_dropping)
        SetVisualState(kStateNormal);
    return 1;
}

int UIDropButton::ElementVisibleChanged(BOOL)
{
    m_visualState = kStateNormal;
    return 1;
}

void UIDropButton::SetText(const wchar_t* text)
{
    m_text = text != nullptr ? text : L"";
    Invalidate(nullptr, TRUE);
}
