// BUILDERscreen: the map drawn into the main window: active tiles with a sprite, layer by
// layer, each with normal blending or its postEFFECT factors, scaled by the map zoom.
#include "builder/BUILDERscreen.h"

#include <string>

#include "builder/BUILDERENV.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "worldfiles/convert.h"

namespace {

constexpr plat::Colour kBackground{10, 10, 10};

// "SxD": the integers before and after the first "x"; applied only when both are non-zero.
void ApplyPostEffect(const std::string& effect) {
    const size_t x = effect.find('x');
    if (x == std::string::npos) return;
    const int source = wf::ParseInt(effect.substr(0, x));
    const int destination = wf::ParseInt(effect.substr(x + 1));
    if (source != 0 && destination != 0) plat::SetBlend(source, destination);
}

void DrawTile(const MapTile& tile) {
    plat::SetBlend(5, 6);
    ApplyPostEffect(tile.descriptor.postEFFECT);
    plat::ZoomDrawable(tile.sprite, wf::RoundToInt(tile.width * gBuilder.zoomX),
                       wf::RoundToInt(tile.height * gBuilder.zoomY));
    if (tile.descriptor.worldFTilePattern == 1) return;
    plat::DrawDrawable(tile.sprite, wf::RoundToInt(tile.x * gBuilder.zoomX),
                       wf::RoundToInt(tile.y * gBuilder.zoomY), tile.descriptor.worldFTileTransparency);
}

}  // namespace

void RedrawMainWindow() {
    PLAT_MARK("BUILDERscreen");
    if (!plat::ScreenOpen()) return;
    plat::Begin3D();
    plat::ClearScreen(kBackground);
    const int last = std::min(gBuilder.lastTileIndex, static_cast<int>(gBuilder.mapTiles.size()) - 1);
    for (int layer = 0; layer <= gBuilder.maxUsedLayer; ++layer) {
        for (int slot = 0; slot <= last; ++slot) {
            const MapTile& tile = gBuilder.mapTiles[slot];
            if (tile.sprite.Valid() && tile.layer == layer && tile.active != 0) DrawTile(tile);
        }
    }
    plat::End3D();
    plat::Flip();
}
