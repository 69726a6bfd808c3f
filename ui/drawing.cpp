#include "ui/drawing.h"

#include <objidl.h>
#include <gdiplus.h>
#include <vfw.h>

#include "ui/drawing_globals.h"

namespace gp = Gdiplus::DllExports;

namespace {

// Whether a piece drawn without per-pixel alpha treats its colour key as transparent.
enum class KeyUse { kOpaque, kKeyed };

// Every alpha blit: source over destination with the source's own per-pixel alpha.
constexpr BLENDFUNCTION kBlend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

BITMAPINFOHEADER* HeaderOf(const CHBitmap& bitmap)
{
    // DrawDibDraw takes a non-const header but does not write it.
    return const_cast<BITMAPINFOHEADER*>(&bitmap.Info()->bmiHeader);
}

// One piece by the blit rules; drawDibFlags is how a stretch without a key is drawn.
BOOL BlitPiece(const CHBitmap& source, HDC dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh,
               KeyUse keyUse, COLORREF key, UINT drawDibFlags)
{
    // A non-positive destination width would make DrawDib mirror the piece; nothing is drawn.
    HDC sourceDC = source.MemoryDC();
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || sourceDC == nullptr)
        return FALSE;
    if (source.BitsPerPixel() == 32)
        return AlphaBlend(dc, dx, dy, dw, dh, sourceDC, sx, sy, sw, sh, kBlend);

    const bool sameSize = dw == sw && dh == sh;
    if (keyUse == KeyUse::kKeyed) {
        if (sameSize)
            return TransparentBlt(dc, dx, dy, dw, dh, sourceDC, sx, sy, sw, sh, key);
        // Stretch first, then cut out the key, so the halftoned piece keeps its transparency.
        HDC tempDC = CreateCompatibleDC(dc);
        HBITMAP temp = tempDC != nullptr ? CreateCompatibleBitmap(dc, dw, dh) : nullptr;
        BOOL ok = FALSE;
        if (temp != nullptr) {
            HGDIOBJ previous = SelectObject(tempDC, temp);
            ok = DrawDibDraw(DrawDibHandle(), tempDC, 0, 0, dw, dh, HeaderOf(source), source.Pixels(), sx, sy, sw, sh,
                             DDF_HALFTONE) &&
                 TransparentBlt(dc, dx, dy, dw, dh, tempDC, 0, 0, dw, dh, key);
            SelectObject(tempDC, previous);
            DeleteObject(temp);
        }
        if (tempDC != nullptr)
            DeleteDC(tempDC);
        return ok;
    }
    if (sameSize)
        return BitBlt(dc, dx, dy, dw, dh, sourceDC, sx, sy, SRCCOPY);
    return DrawDibDraw(DrawDibHandle(), dc, dx, dy, dw, dh, HeaderOf(source), source.Pixels(), sx, sy, sw, sh,
                       drawDibFlags);
}

void DrawNineGrid(const RECT& d, const ImageStyle& s, HDC dc)
{
    const int L = d.left, T = d.top, R = d.right, B = d.bottom;
    const int W = R - L, H = B - T;
    const int bx = s.bgX, by = s.bgY, bw = s.bgW, bh = s.bgH;
    const int ml = s.marginLeft, mt = s.marginTop, mr = s.marginRight, mb = s.marginBottom;
    const KeyUse keyUse = s.bgKey != 0 ? KeyUse::kKeyed : KeyUse::kOpaque;
    const CHBitmap& image = *s.bgImage;
    auto piece = [&](int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
        BlitPiece(image, dc, dx, dy, dw, dh, sx, sy, sw, sh, keyUse, s.bgKey, DDF_HALFTONE);
    };

    const bool middleColumn = ml + mr < bw;
    const bool middleRow = mt + mb < bh;
    if (mt > 0) {
        if (ml > 0)
            piece(L, T, ml, mt, bx, by, ml, mt);
        if (middleColumn)
            piece(L + ml, T, W - ml - mr, mt, bx + ml, by, bw - ml - mr, mt);
        if (mr > 0)
            piece(R - mr, T, mr, mt, bx + bw - mr, by, mr, mt);
    }
    if (middleRow) {
        if (ml > 0)
            piece(L, T + mt, ml, H - mt - mb, bx, by + mt, ml, bh - mt - mb);
        if (middleColumn)
            piece(L + ml, T + mt, W - ml - mr, H - mt - mb, bx + ml, by + mt, bw - ml - mr, bh - mt - mb);
        if (mr > 0)
            piece(R - mr, T + mt, mr, H - mt - mb, bx + bw - mr, by + mt, mr, bh - mt - mb);
    }
    if (mb > 0) {
        if (ml > 0)
            piece(L, B - mb, ml, mb, bx, by + bh - mb, ml, mb);
        if (middleColumn)
            piece(L + ml, B - mb, W - ml - mr, mb, bx + ml, by + bh - mb, bw - ml - mr, mb);
        if (mr > 0)
            piece(R - mr, B - mb, mr, mb, bx + bw - mr, by + bh - mb, mr, mb);
    }
}

// Attaches a bitmap's DC for one scope, detaching it again at the end only if this scope
// attached it.
class AttachedDC {
public:
    explicit AttachedDC(CHBitmap& bitmap) : m_bitmap(bitmap), m_attached(bitmap.AttachDC()) {}
    ~AttachedDC()
    {
        if (m_attached)
            m_bitmap.DetachDC();
    }
    AttachedDC(const AttachedDC&) = delete;
    AttachedDC& operator=(const AttachedDC&) = delete;

private:
    CHBitmap& m_bitmap;
    bool m_attached;
};

// The GDI+ objects that text drawing and measuring build, deleted together.
struct TextObjects {
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::GpFont* font = nullptr;
    Gdiplus::GpStringFormat* format = nullptr;

    ~TextObjects()
    {
        if (format != nullptr)
            gp::GdipDeleteStringFormat(format);
        if (font != nullptr)
            gp::GdipDeleteFont(font);
        if (graphics != nullptr)
            gp::GdipDeleteGraphics(graphics);
    }
};

enum class FormatUse { kDraw, kMeasure };

// Graphics, font and string format for a style. Measuring applies only centre alignment and no
// line limit, so that the measured box is the text's natural extent.
bool BuildTextObjects(HDC dc, const TextStyle& style, FormatUse use, TextObjects& objects)
{
    if (!StartGdiplus())
        return false;
    if (gp::GdipCreateFromHDC(dc, &objects.graphics) != Gdiplus::Ok || objects.graphics == nullptr)
        return false;

    LOGFONTA logFont;
    if (style.font != nullptr && GetObjectA(style.font, sizeof logFont, &logFont) != 0)
        gp::GdipCreateFontFromLogfontA(dc, &logFont, &objects.font);
    else
        gp::GdipCreateFontFromDC(dc, &objects.font);

    gp::GdipCreateStringFormat(0, 0, &objects.format);
    if (objects.format != nullptr) {
        const UINT flags = style.format;
        Gdiplus::StringAlignment horizontal = Gdiplus::StringAlignmentNear;
        if ((flags & kTextCentre) != 0)
            horizontal = Gdiplus::StringAlignmentCenter;
        else if ((flags & kTextRight) != 0 && use == FormatUse::kDraw)
            horizontal = Gdiplus::StringAlignmentFar;
        gp::GdipSetStringFormatAlign(objects.format, horizontal);
        if ((flags & kTextSingleLine) != 0) {
            if (use == FormatUse::kDraw)
                gp::GdipSetStringFormatFlags(objects.format, Gdiplus::StringFormatFlagsLineLimit);
            if ((flags & kTextVerticalCentre) != 0)
                gp::GdipSetStringFormatLineAlign(objects.format, Gdiplus::StringAlignmentCenter);
        }
        if ((flags & kTextWordEllipsis) != 0)
            gp::GdipSetStringFormatTrimming(objects.format, Gdiplus::StringTrimmingEllipsisWord);
    }
    return objects.font != nullptr;
}

}  // namespace

POINT AlignForeground(const RECT& d, int align, int width, int height)
{
    // Division truncates towards zero, as the placement is defined.
    const int centreX = (d.left + d.right) / 2 - width / 2;
    const int centreY = (d.top + d.bottom) / 2 - height / 2;
    switch (align) {
    case 1:
        return {d.left, d.top};
    case 2:
        return {centreX, d.top};
    case 4:
        return {d.right - width, d.top};
    case 8:
        return {d.left, centreY};
    case 16:
        return {d.right - width, centreY};
    case 32:
        return {d.left, d.bottom - height};
    case 64:
        return {centreX, d.bottom - height};
    case 128:
        return {d.right - width, d.bottom - height};
    default:
        return {centreX, centreY};
    }
}

void DrawImageStyle(const RECT& destination, const ImageStyle& style, HDC dc)
{
    if (destination.right - destination.left <= 0 || destination.bottom - destination.top <= 0)
        return;

    if (style.bgImage != nullptr && style.bgW > 0 && style.bgH > 0) {
        style.bgImage->AttachDC();
        DrawNineGrid(destination, style, dc);
        style.bgImage->DetachDC();
    }

    if (style.fgImage != nullptr && style.fgW > 0 && style.fgH > 0) {
        style.fgImage->AttachDC();
        POINT at = AlignForeground(destination, style.fgAlign, style.fgW, style.fgH);
        at.x += style.fgOffsetX;
        at.y += style.fgOffsetY;
        BlitPiece(*style.fgImage, dc, at.x, at.y, style.fgW, style.fgH, style.fgX, style.fgY, style.fgW, style.fgH,
                  KeyUse::kKeyed, style.fgKey, DDF_HALFTONE);
        style.fgImage->DetachDC();
    }
}

BOOL DrawBitmap(CHBitmap* bitmap, HDC dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh)
{
    if (bitmap == nullptr || bitmap->IsEmpty())
        return FALSE;
    bitmap->AttachDC();
    // DDF_SAME_HDC would tell DrawDib to reuse the DC of its previous call, which is another DC
    // whenever the same bitmap was last stretched elsewhere; the piece would land there.
    BOOL result = BlitPiece(*bitmap, dc, dx, dy, dw, dh, sx, sy, sw, sh, KeyUse::kOpaque, 0, DDF_HALFTONE);
    bitmap->DetachDC();
    return result;
}

DWORD TextBrushColor(COLORREF color)
{
    return (DWORD{254} << 24) | (DWORD{GetRValue(color)} << 16) | (DWORD{GetGValue(color)} << 8) | GetBValue(color);
}

void DrawStyledText(const RECT& layout, const wchar_t* text, const RECT* clip, HDC dc, const TextStyle& style)
{
    TextObjects objects;
    if (!BuildTextObjects(dc, style, FormatUse::kDraw, objects))
        return;
    Gdiplus::GpSolidFill* brush = nullptr;
    gp::GdipCreateSolidFill(TextBrushColor(style.color), &brush);
    if (clip != nullptr)
        gp::GdipSetClipRectI(objects.graphics, clip->left, clip->top, clip->right - clip->left,
                             clip->bottom - clip->top, Gdiplus::CombineModeReplace);
    const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(layout.left), static_cast<Gdiplus::REAL>(layout.top),
                             static_cast<Gdiplus::REAL>(layout.right - layout.left),
                             static_cast<Gdiplus::REAL>(layout.bottom - layout.top));
    const wchar_t* drawn = text != nullptr ? text : style.text.c_str();
    if (brush != nullptr)
        gp::GdipDrawString(objects.graphics, drawn, -1, objects.font, &box, objects.format, brush);
    if (brush != nullptr)
        gp::GdipDeleteBrush(brush);
}

SIZE MeasureStyledText(HDC dc, const TextStyle& style, const RECT& layout, const wchar_t* text)
{
    SIZE size = {0, 0};
    const int saved = SaveDC(dc);
    {
        TextObjects objects;
        if (BuildTextObjects(dc, style, FormatUse::kMeasure, objects)) {
            const Gdiplus::RectF box(static_cast<Gdiplus::REAL>(layout.left), static_cast<Gdiplus::REAL>(layout.top),
                                     static_cast<Gdiplus::REAL>(layout.right - layout.left), 4294967296.0f);
            Gdiplus::RectF bounds(0, 0, 0, 0);
            const wchar_t* measured = text != nullptr ? text : style.text.c_str();
            gp::GdipMeasureString(objects.graphics, measured, -1, objects.font, &box, objects.format, &bounds,
                                  nullptr, nullptr);
            size.cx = static_cast<LONG>(bounds.Width);
            size.cy = static_cast<LONG>(bounds.Height);
        }
    }
    if (saved != 0)
        RestoreDC(dc, saved);
    return size;
}

int GetTextWidth(HDC dc, const wchar_t* text)
{
    if (text == nullptr)
        return 0;
    HDC used = dc != nullptr ? dc : ::GetDC(nullptr);
    if (used == nullptr)
        return 0;
    SIZE size = {0, 0};
    GetTextExtentPoint32W(used, text, static_cast<int>(wcslen(text)), &size);
    if (dc == nullptr)
        ReleaseDC(nullptr, used);
    return size.cx;
}
