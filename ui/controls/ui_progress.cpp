#include "ui/controls/ui_progress.h"

#include <algorithm>
#include <cstdint>

#include "ui/drawing.h"
#include "ui/resource/ui_resource.h"

namespace {

// GDI works in 27-bit signed coordinates. A foreground stretched to a right edge far beyond them
// came out in the wrong colours, so the filled rectangle ends there at the latest; everything past
// the bar's own edge is clipped away in any case.
constexpr int64_t kMaxCoordinate = (int64_t{1} << 27) - 1;

int32_t SaturateTo32(int64_t value)
{
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

UIProgress::UIProgress()
{
    m_controlType = kControlProgress;
}

UIProgress::~UIProgress() = default;

int UIProgress::FillWidth(int barWidth) const
{
    if (m_maximum <= m_minimum)
        return 0;
    // Worked in 64 bits: for any sensible range this is the 32-bit result, and positions far
    // outside the range saturate instead of overflowing. Division truncates toward zero.
    const int64_t span = static_cast<int64_t>(m_maximum) - m_minimum;
    return SaturateTo32(static_cast<int64_t>(barWidth) * m_position / span);
}

void UIProgress::DrawElement(HDC dc, const RECT* ownRect, const RECT*)
{
    if (ownRect == nullptr)
        return;
    DrawImageStyle(*ownRect, m_background, dc);
    const int fill = FillWidth(ownRect->right - ownRect->left);
    if (fill <= 0)
        return;
    RECT filled = *ownRect;
    filled.right = static_cast<LONG>(std::min<int64_t>(static_cast<int64_t>(ownRect->left) + fill, kMaxCoordinate));
    DrawImageStyle(filled, m_foreground, dc);
}

int UIProgress::LoadFromResource(IUIResource* resource, const char* path, const JsonValue* start)
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
    m_foreground = resource->GetImageStyle("frgnd", node);
    return 1;
}

void UIProgress::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    Invalidate(nullptr, TRUE);
}

void UIProgress::SetPos(int position)
{
    m_position = position;
    Invalidate(nullptr, TRUE);
}
