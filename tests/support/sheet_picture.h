// A sprite sheet made for tests: every pixel of cell `id` tells where it belongs, (id, x, y) in
// red, green and blue with x, y inside the cell, so a wrong cut, offset or order shows in any
// pixel. Margin and spacing are opaque white, a colour no cell holds (cells stay below 200 wide).
#pragma once
#include <cstdint>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/images.h"
#include "worldfiles/spritesheet.h"

struct TestSheet {
    int columns = 1, rows = 1;
    wf::SheetLayout layout;
    std::vector<int> transparent;  // ids of the wholly transparent cells
    int extraRight = 0, extraBottom = 0;  // pixels after the last cell (part of no cell)
};

inline uint8_t& SheetByte(plat::Pixels& p, int x, int y, int channel) {
    return p.rgba[(static_cast<size_t>(y) * p.width + x) * 4 + channel];
}

inline plat::Pixels MakeSheetPicture(const TestSheet& s) {
    const wf::SheetLayout& l = s.layout;
    plat::Pixels p;
    p.width = 2 * l.margin + s.columns * l.tileWidth + (s.columns - 1) * l.spacing + s.extraRight;
    p.height = 2 * l.margin + s.rows * l.tileHeight + (s.rows - 1) * l.spacing + s.extraBottom;
    p.rgba.assign(static_cast<size_t>(p.width) * p.height * 4, 255);
    for (int row = 0; row < s.rows; ++row) {
        for (int column = 0; column < s.columns; ++column) {
            const int id = row * s.columns + column;
            const int left = l.margin + column * (l.tileWidth + l.spacing);
            const int top = l.margin + row * (l.tileHeight + l.spacing);
            for (int y = 0; y < l.tileHeight; ++y) {
                for (int x = 0; x < l.tileWidth; ++x) {
                    SheetByte(p, left + x, top + y, 0) = static_cast<uint8_t>(id);
                    SheetByte(p, left + x, top + y, 1) = static_cast<uint8_t>(x);
                    SheetByte(p, left + x, top + y, 2) = static_cast<uint8_t>(y);
                    SheetByte(p, left + x, top + y, 3) = std::count(s.transparent.begin(), s.transparent.end(), id) != 0 ? 0 : 255;
                }
            }
        }
    }
    return p;
}

// Whether `cell` holds exactly the pixels MakeSheetPicture gave cell `id`; the first wrong
// pixel is described in `why`.
inline bool IsSheetCell(const plat::Pixels& cell, int id, int width, int height, std::string& why) {
    if (cell.width != width || cell.height != height) {
        why = "size " + std::to_string(cell.width) + "x" + std::to_string(cell.height);
        return false;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* px = &cell.rgba[(static_cast<size_t>(y) * width + x) * 4];
            if (px[0] != static_cast<uint8_t>(id) || px[1] != x || px[2] != y || px[3] != 255) {
                why = "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is " + std::to_string(px[0]) + " " +
                      std::to_string(px[1]) + " " + std::to_string(px[2]) + " " + std::to_string(px[3]);
                return false;
            }
        }
    }
    return true;
}
