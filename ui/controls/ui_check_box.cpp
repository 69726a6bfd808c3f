#include "ui/controls/ui_check_box.h"

#include <string>

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

UICheckBox::UICheckBox()
{
    m_controlType = kControlCheckBox;
}

UICheckBox::~UICheckBox() = default;

void UICheckBox::LoadCommon(IUIResource* resource, const JsonValue* node)
{
    m_commandId = resource->GetInt("id", node);
    const RECT size = resource->GetRect("size", node);
    m_layoutX = size.left;
    m_layoutY = size.top;
    m_layoutW = size.right;
    m_layoutH = size.bottom;

    // Without a "Text" node the caption still draws when set, with zeroed styles and no margin.
    const JsonValue* text = resource->FindNode("Text", node);
    if (text == nullptr)
        return;
    const RECT margin = resource->GetRect("margin", text);
    m_marginLeft = margin.left;
    m_marginTop = margin.top;
    m_marginRight = margin.right;
    m_marginBottom = margin.bottom;
    for (int i = 0; i < kSkinStateCount; ++i)
        m_textStyles[i] = resource->GetTextStyle(kSkinStateNames[i], text);
}

int UICheckBox::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    // A missing node leaves the box unplaced and unskinned; querying with a null node would
    // search from the top of the document instead.
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr)
        return 1;
    LoadCommon(resource, node);
    for (int i = 0; i < kSkinStateCount; ++i)
        m_images[i] = resource->GetImageStyle(kSkinStateNames[i], node);
    return 1;
}

RECT UICheckBox::CaptionRect(const RECT& ownRect) const
{
    return RECT{ownRect.left + m_marginLeft, ownRect.top + m_marginTop, ownRect.right - m_marginRight,
                ownRect.bottom - m_marginBottom};
}

void UICheckBox::DrawCaption(HDC dc, const RECT& ownRect, int index)
{
    // Unlike a button's, the caption never shifts while the box is pressed.
    if (m_caption.empty())
        return;
    DrawStyledText(CaptionRect(ownRect), m_caption.c_str(), nullptr, dc, m_textStyles[index]);
}

void UICheckBox::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    // A checked box looks pressed, so it never shows "lighted" once the pointer has entered it.
    int index = kSkinNormal;
    if (m_visualState == kStateLighted)
        index = kSkinLighted;
    else if (m_visualState == kStatePressed || m_checked)
        index = kSkinPressed;
    if (!m_enabled)
        index = kSkinGrayed;
    DrawImageStyle(*ownRect, m_images[index], dc);
    DrawCaption(dc, *ownRect, index);
}

int UICheckBox::ElementLButtonUp(UINT, POINT*)
{
    // A release after a press elsewhere finds the box lighted and leaves it alone.
    if (AcceptsMouse() && m_visualState != kStateLighted) {
        m_visualState = kStateLighted;
        Toggle();
    }
    return 1;
}

void UICheckBox::Toggle()
{
    m_checked = m_checked ? 0 : 1;
    if (m_checked)
        m_visualState = kStatePressed;
    Invalidate(nullptr, TRUE);
    SendToHost(WM_COMMAND, LOWORD(m_commandId), reinterpret_cast<LPARAM>(GetHostWindow()));
}

int UICheckBox::ElementLButtonDown(UINT, POINT*)
{
    if (AcceptsMouse() && m_visualState != kStatePressed) {
        m_visualState = kStatePressed;
        Invalidate(nullptr, TRUE);
    }
    return 1;
}

int UICheckBox::ElementLButtonDblClk(UINT flags, POINT* point)
{
    // The second click of a double click is a press like the first.
    return UICheckBox::ElementLButtonDown(flags, point);
}

int UICheckBox::ElementMouseEnter(UINT, POINT*)
{
    if (AcceptsMouse() && m_visualState != kStateLighted) {
        m_visualState = m_checked ? kStatePressed : kStateLighted;
        Invalidate(nullptr, TRUE);
    }
    return 1;
}

int UICheckBox::ElementMouseLeave(UINT, POINT*)
{
    if (AcceptsMouse() && m_visualState != kStateNormal) {
        m_visualState = kStateNormal;
        Invalidate(nullptr, TRUE);
    }
    return 1;
}

int UICheckBox::ElementVisibleChanged(BOOL)
{
    m_visualState = kStateNormal;
    return 1;
}

void UICheckBox::SetText(const wchar_t* text)
{
    m_caption = text != nullptr ? text : L"";
    Invalidate(nullptr, TRUE);
}

void UICheckBox::SetChecked()
{
    m_checked = 1;
    m_visualState = kStateNormal;
    Invalidate(nullptr, TRUE);
}

// ---- UICheckBoxEx --------------------------------------------------------------------------------

UICheckBoxEx::UICheckBoxEx()
{
    m_controlType = kControlCheckBoxEx;
}

UICheckBoxEx::~UICheckBoxEx() = default;

int UICheckBoxEx::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    const JsonValue* node = resource != nullptr ? resource->FindNode(path, start) : nullptr;
    if (node == nullptr)
        return 1;
    LoadCommon(resource, node);
    for (int i = 0; i < kSkinStateCount; ++i) {
        const std::string unchecked = std::string("Unchecked/") + kSkinStateNames[i];
        m_images[i] = resource->GetImageStyle(unchecked.c_str(), node);
    }
    for (int i = 0; i < kSkinStateCount; ++i) {
        const std::string checked = std::string("Checked/") + kSkinStateNames[i];
        m_checkedImages[i] = resource->GetImageStyle(checked.c_str(), node);
    }
    return 1;
}

void UICheckBoxEx::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    // The checked flag chooses the set of images, so it does not enter the index here.
    int index = kSkinNormal;
    if (m_visualState == kStateLighted)
        index = kSkinLighted;
    else if (m_visualState == kStatePressed)
        index = kSkinPressed;
    if (!m_enabled)
        index = kSkinGrayed;
    DrawImageStyle(*ownRect, m_checked ? m_checkedImages[index] : m_images[index], dc);
    DrawCaption(dc, *ownRect, index);
}
