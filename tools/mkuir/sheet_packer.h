#pragma once

// Places the skin's pieces on one sprite sheet of a fixed width: shelves filled left to right,
// tallest pieces first, with a transparent gutter around every piece so that a stretched piece
// never picks up its neighbour's edge. The order is fixed by size and then by name, so the same
// pieces always land in the same places.

#include <string>
#include <vector>

struct PackItem {
    std::string name;
    int width = 0;
    int height = 0;
    // Filled by PackSheet.
    int x = 0;
    int y = 0;
};

struct PackResult {
    int width = 0;
    int height = 0;
};

// False with a reason when a piece is wider than the sheet allows or the sheet would grow taller
// than maxHeight.
bool PackSheet(std::vector<PackItem>& items, int sheetWidth, int gutter, int maxHeight, PackResult& result,
               std::string& error);
