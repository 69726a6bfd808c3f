#pragma once

// The two plain records that carry the look of every skinned element, one per state.
//
// ImageStyle: which part of which sprite-sheet image to draw for one state, how to stretch it
// (nine-grid margins), and an optional foreground image placed inside it. Twenty 32-bit fields,
// filled from an image style object by UIResource::GetImageStyle and drawn by DrawImageStyle.
//
// TextStyle: the font, DrawText-style format flags, colour, offset and text of one state's
// caption, filled from a text style object by UIResource::GetTextStyle and drawn by
// DrawStyledText.
//
// Both are copied by value. The images and the font they point to belong to the UIResource that
// produced them, which outlives every window, so a record never releases anything. A zeroed
// ImageStyle draws nothing; a zeroed TextStyle draws with the DC's font, black, left and top.

#include <windows.h>

#include <cstdint>
#include <string>

class CHBitmap;

// Index of a state in a control's set of five records.
enum SkinState : int {
    kSkinNormal = 0,   // "normal": enabled, not hovered, not pressed
    kSkinGrayed = 1,   // "grayed": disabled
    kSkinLighted = 2,  // "lighted": hovered
    kSkinPressed = 3,  // "pressed": pressed, or checked for check boxes
    kSkinFocused = 4,  // "focused": loaded, never drawn
};
constexpr int kSkinStateCount = 5;

// The resource key of each state, indexed by SkinState.
extern const char* const kSkinStateNames[kSkinStateCount];

struct ImageStyle {
    int32_t bgX = 0;             // "bg" [x, y, w, h]: the part of the background image
    int32_t bgY = 0;
    int32_t bgW = 0;
    int32_t bgH = 0;
    COLORREF bgKey = 0;          // "bc" [r, g, b]: transparent colour of a 24-bit image; 0 for none
    int32_t marginLeft = 0;      // "mg" [l, t, r, b]: borders that are not stretched
    int32_t marginTop = 0;
    int32_t marginRight = 0;
    int32_t marginBottom = 0;
    int32_t mode = 0;            // "md": kept for the controls; drawing does not read it
    CHBitmap* bgImage = nullptr; // "bi"
    int32_t fgX = 0;             // "fg" [x, y, w, h]: the part of the foreground image
    int32_t fgY = 0;
    int32_t fgW = 0;
    int32_t fgH = 0;
    COLORREF fgKey = 0;          // "fc": the foreground's transparent colour; 0 means black
    CHBitmap* fgImage = nullptr; // "fi"
    int32_t fgAlign = 0;         // "al": where the foreground sits (see DrawImageStyle)
    int32_t fgOffsetX = 0;       // "of" [x, y]: added to the foreground's position
    int32_t fgOffsetY = 0;
};

// Eighteen 32-bit numbers and two image pointers: twenty 32-bit fields in the 32-bit program.
static_assert(sizeof(ImageStyle) == 18 * 4 + 2 * sizeof(CHBitmap*), "ImageStyle has no padding");

// Format flags of TextStyle::format that the drawing honours; the rest have no effect.
constexpr UINT kTextCentre = 0x1;
constexpr UINT kTextRight = 0x2;
constexpr UINT kTextVerticalCentre = 0x4;   // only together with kTextSingleLine
constexpr UINT kTextSingleLine = 0x20;
constexpr UINT kTextWordEllipsis = 0x40000;

struct TextStyle {
    HFONT font = nullptr;   // "ft": null draws with the font selected in the DC
    UINT format = 0;        // "al": kText* flags; the package uses 36 and 37
    COLORREF color = 0;     // "cr"
    int32_t offsetX = 0;    // "of" [x, y]: kept for the controls
    int32_t offsetY = 0;
    std::wstring text;      // "tx", converted from UTF-8
};
