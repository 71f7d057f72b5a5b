// BUILDERTILEMENU: drawing the thumbnails of the tile types into the tile window. The drawing
// is not kept by the window; it is redone after Tab, "Refresh" and every repaint request.
#include "builder/BUILDERTILEMENU.h"

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERRECORDS.h"
#include "platform/fault.h"
#include "platform/windows.h"
#include "worldfiles/convert.h"

namespace {

constexpr int kThumbSize = 48;   // pixels
constexpr int kThumbStep = 50;   // pixels from one cell to the next
constexpr int kRowMargin = 64;   // a new row starts when x passes client width - this

}  // namespace

void DrawThumbnails() {
    PLAT_MARK("BUILDERTILEMENU");
    if (!plat::WindowExists(kTileWindow)) return;
    const int clientWidth = plat::WindowClientWidth(kTileWindow);
    plat::FillWindowRect(kTileWindow, 0, 0, clientWidth, plat::WindowClientHeight(kTileWindow),
                         plat::Colour{200, 200, 200});
    int x = 0;
    int y = 0;
    for (size_t i = 0; i < gBuilder.tileLibrary.size(); ++i) {
        TileType& type = gBuilder.tileLibrary[i];
        type.thumbX = x;
        type.thumbY = y;
        if (!type.thumbnail.Valid()) continue;  // keeps the position but takes no cell
        plat::DrawWindowImage(kTileWindow, type.thumbnail, x, y, kThumbSize, kThumbSize);
        plat::DrawWindowText(kTileWindow, x, y, wf::IntText(static_cast<int64_t>(i)), plat::Colour{0, 255, 0},
                             plat::Colour{0, 0, 0});
        x += kThumbStep;
        if (x > clientWidth - kRowMargin) {
            x = 0;
            y += kThumbStep;
        }
    }
}

void SelectTileAtPointer() {
    PLAT_MARK("BUILDERTILEMENU");
    int mx = -1, my = -1;
    if (!plat::PointerInWindow(kTileWindow, mx, my)) return;
    // Every type is tested; when cells overlap the last hit wins.
    for (size_t i = 0; i < gBuilder.tileLibrary.size(); ++i) {
        const TileType& type = gBuilder.tileLibrary[i];
        if (!type.thumbnail.Valid()) continue;
        if (!(type.thumbX < mx && mx < type.thumbX + kThumbSize && type.thumbY < my && my < type.thumbY + kThumbSize)) {
            continue;
        }
        SelectTileType(static_cast<int>(i));
    }
}

void SelectTileType(int index) {
    if (index < 0 || index >= static_cast<int>(gBuilder.tileLibrary.size())) return;
    const TileType& type = gBuilder.tileLibrary[index];
    gBuilder.actualTile = index;
    gBuilder.descriptorTileName = type.name;
    plat::SetWindowTitle(kTileWindow, "Tile:" + wf::IntText(index) + "MAP: " + gBuilder.currentMapFile);
    LoadDescriptorIntoWindow(gBuilderSettings.GFXPATH + type.name);
}
