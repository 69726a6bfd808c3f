#include "tools/mkuir/sheet_packer.h"

#include <algorithm>
#include <numeric>

bool PackSheet(std::vector<PackItem>& items, int sheetWidth, int gutter, int maxHeight, PackResult& result,
               std::string& error)
{
    std::vector<size_t> order(items.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const PackItem& l = items[a];
        const PackItem& r = items[b];
        if (l.height != r.height)
            return l.height > r.height;
        if (l.width != r.width)
            return l.width > r.width;
        return l.name < r.name;
    });

    // Each shelf starts at the gutter and advances by the tallest piece on it plus one gutter.
    int shelfTop = gutter, shelfHeight = 0, cursor = gutter;
    for (size_t index : order) {
        PackItem& item = items[index];
        if (item.width + 2 * gutter > sheetWidth) {
            error = "piece \"" + item.name + "\" (" + std::to_string(item.width) + " px) is wider than the sheet (" +
                    std::to_string(sheetWidth) + " px with a " + std::to_string(gutter) + " px gutter)";
            return false;
        }
        if (cursor + item.width + gutter > sheetWidth) {
            shelfTop += shelfHeight + gutter;
            shelfHeight = 0;
            cursor = gutter;
        }
        item.x = cursor;
        item.y = shelfTop;
        cursor += item.width + gutter;
        shelfHeight = std::max(shelfHeight, item.height);
    }
    result.width = sheetWidth;
    result.height = items.empty() ? 1 : shelfTop + shelfHeight + gutter;
    if (result.height > maxHeight) {
        error = "the pieces need a sheet " + std::to_string(result.height) + " px tall, more than " +
                std::to_string(maxHeight);
        return false;
    }
    return true;
}
