#pragma once

// SkinCompiler turns the skin document (skin/skin.json) and its art into the UI resource package
// the program carries as its "UIR" 129 resource (format in ui/resource/ui_package.h).
//
// The skin document:
//
//   "sheet":  {"id": 100, "name": "Quorvil.png", "width": 1024, "gutter": 2}
//             the sprite sheet record; "width" and "gutter" are optional.
//   "fonts":  [{"id": 101, "name": "Default", "record": {"Weight": 700, ...}}, ...]
//             font description records, stored as compact JSON ending in a line feed.
//   "pieces": {"button.install.normal": {"svg": "art/button.svg", "vars": {...},
//                                        "crop": [x, y, w, h], "mg": [l, t, r, b]},
//              "button.install.lighted": {"like": "button.install.normal", "vars": {...}}, ...}
//             named pictures: an SVG template, its values, optionally the part of the rendering
//             to keep and the nine-grid margins. "like" starts from another piece and overrides
//             what it gives (its "vars" are merged).
//   "icon":   {"svg": "art/icon.svg", "vars": {...}, "sizes": [16, 32, 48, 256]}   (optional)
//   "cfg":    the window and element nodes exactly as the program reads them, except that image
//             style objects name pieces instead of giving rectangles:
//               {"piece": "name"}     becomes "bi" (the sheet's id), "bg" (where the piece was
//                                     placed) and "mg" (the piece's margins, unless the style
//                                     gives its own)
//               {"fgPiece": "name"}   becomes "fi" and "fg" the same way
//               {"skin": "family"}    on an element adds a state style {"piece": "family.STATE"}
//                                     for every STATE of normal, grayed, lighted, pressed and
//                                     focused that has such a piece
//               "cr": "#RRGGBB"       becomes the COLORREF integer the program reads
//             "bi", "bg", "fi" and "fg" written by hand are refused: rectangles are the tool's.
//
// Pieces that no style names are refused (unless another piece is "like" them), so the sheet
// carries nothing dead. Pieces with identical pixels share one place on the sheet.

#include <string>

struct CompileOptions {
    std::string skinPath;                    // the skin document
    std::string rsvgConvert = "rsvg-convert";
    bool renderIcon = false;                 // also render the document's "icon"
};

struct CompileOutput {
    std::string package;   // the .uir bytes
    std::string sheetPng;  // the sprite sheet as stored in the package
    std::string icon;      // the .ico bytes, when asked for
    int sheetWidth = 0;
    int sheetHeight = 0;
    int pieceCount = 0;    // distinct pictures on the sheet
};

// False with a one-line reason on any error in the document, the art or the rendering.
bool CompileSkin(const CompileOptions& options, CompileOutput& output, std::string& error);
