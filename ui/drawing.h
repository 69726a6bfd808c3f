#pragma once

// Drawing of skin records into a DC: the nine-grid background and aligned foreground of an
// ImageStyle, single blits of a CHBitmap, and GDI+ text from a TextStyle.
//
// Blit rules, for a piece (sx, sy, sw, sh) of a source bitmap drawn to (dx, dy, dw, dh):
//   1. nothing when sw, sh, dw or dh is not positive, or the source has no DC attached;
//   2. a 32-bit source goes through AlphaBlend (per-pixel alpha, stretched when sizes differ);
//   3. with a colour key: same size TransparentBlt; otherwise DrawDibDraw (halftone) into a
//      temporary bitmap of dw × dh, then TransparentBlt from it;
//   4. without a key: same size BitBlt; otherwise DrawDibDraw (halftone) from the pixels.
// Background pieces use the key only when "bc" is not 0; the foreground always uses its key, so a
// 24-bit foreground without "fc" treats black as transparent.
//
// None of these clip to the destination rectangle: callers clip with the DC.

#include <windows.h>

#include "ui/ch_bitmap.h"
#include "ui/resource/skin_records.h"

// Draws the style's background over destination with the nine-grid rule and then its foreground,
// placed by "al" and moved by "of", unscaled. Nothing when the destination is empty.
//
//   al    x               y
//   1     L               T
//   2     centre          T
//   4     R - w           T
//   8     L               centre
//   16    R - w           centre
//   32    L               B - h
//   64    centre          B - h
//   128   R - w           B - h
//   else  centre          centre      (centre x = (L + R) / 2 - w / 2, likewise y)
void DrawImageStyle(const RECT& destination, const ImageStyle& style, HDC dc);

// One blit by rules 1, 2 and 4, stretching with DrawDib (halftone) on the destination DC. Attaches the
// bitmap's DC when needed and always detaches it afterwards. False when the bitmap is null or
// empty or the blit fails.
BOOL DrawBitmap(CHBitmap* bitmap, HDC dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh);

// Draws text (or the style's own text when text is null) with GDI+ in layout, clipped to clip
// when it is not null. The font is the style's, or the DC's when the style has none; the brush is
// the style's colour at alpha 254.
void DrawStyledText(const RECT& layout, const wchar_t* text, const RECT* clip, HDC dc, const TextStyle& style);

// The size GDI+ gives text (or the style's text) laid out from layout's left, top and width with
// unlimited height. Only centre alignment of the horizontal flags applies, and no line limit.
SIZE MeasureStyledText(HDC dc, const TextStyle& style, const RECT& layout, const wchar_t* text);

// The width of text in the DC's current font; with a null DC, in the screen DC's font.
int GetTextWidth(HDC dc, const wchar_t* text);

// The foreground's top-left corner inside destination for an alignment, before the offset; what
// DrawImageStyle uses.
POINT AlignForeground(const RECT& destination, int align, int width, int height);

// The ARGB colour of the text brush for a COLORREF: alpha 254 (not 255) and the colour's red,
// green and blue.
DWORD TextBrushColor(COLORREF color);
