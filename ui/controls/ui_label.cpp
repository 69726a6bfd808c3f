#include "ui/controls/ui_label.h"

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

UILabel::UILabel()
{
    m_controlType = kControlLabel;
    m_captionTransparent = true;
    m_style.format = kTextCentre | kTextVerticalCentre | kTextSingleLine;
    InitializeCriticalSection(&m_textLock);
}

UILabel::~UILabel()
{
    DeleteCriticalSection(&m_textLock);
}

void UILabel::LockText()
{
    EnterCriticalSection(&m_textLock);
    InterlockedIncrement(&m_lockEntries);
}

void UILabel::UnlockText()
{
    // The count guards against leaving a section that this call never entered.
    if (m_lockEntries > 0) {
        InterlockedDecrement(&m_lockEntries);
        LeaveCriticalSection(&m_textLock);
    }
}

void UILabel::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    const RECT layout = *ownRect;
    LockText();
    if (!m_style.text.empty())
        DrawStyledText(layout, nullptr, nullptr, dc, m_style);
    UnlockText();
}

int UILabel::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
{
    if (resource == nullptr)
        return 0;
    const JsonValue* node = resource->FindNode(path, start);
    if (node == nullptr)
        return 0;

    TextStyle style = resource->GetTextStyle("text", node);
    LockText();
    m_style = std::move(style);
    UnlockText();
    const RECT size = resource->GetRect("size", node);
    m_layoutX = size.left;
    m_layoutY = size.top;
    m_layoutW = size.right;
    m_layoutH = size.bottom;
    return 1;
}

void UILabel::SetText(const wchar_t* text)
{
    // The copy is made before the lock is taken, so a painting thread waits only for the swap.
    std::wstring replacement = text != nullptr ? text : L"";
    LockText();
    m_style.text.swap(replacement);
    UnlockText();
    // The old text is freed here, outside the lock, and the repaint is requested after it;
    // from another thread Invalidate posts the paint instead of waiting for it.
    replacement.clear();
    Invalidate(nullptr, TRUE);
}

std::wstring UILabel::GetText()
{
    LockText();
    std::wstring copy = m_style.text;
    UnlockText();
    return copy;
}

TextStyle UILabel::GetTextStyle()
{
    LockText();
    TextStyle copy = m_style;
    UnlockText();
    return copy;
}
