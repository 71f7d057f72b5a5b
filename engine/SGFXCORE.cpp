// SGFXCORE: drawing of world objects: blending mode, position, opacity and the overview layout.
// Positions and opacities handed to the platform are rounded to the nearest integer.
#include "engine/SGFXCORE.h"

#include <algorithm>

#include "engine/ENV.h"
#include "platform/display.h"
#include "worldfiles/convert.h"

bool ParsePostEffect(const std::string& postEffect, int& source, int& destination) {
    const size_t cut = postEffect.find('x');
    if (cut == std::string::npos) return false;
    const std::string before = postEffect.substr(0, cut);
    const std::string after = postEffect.substr(cut + 1);
    if (before.empty() || after.empty()) return false;
    source = wf::ParseByte(before);
    destination = wf::ParseByte(after);
    return true;
}

namespace {

// Opacity handed to the platform: rounded and kept within 0..255.
int DrawOpacity(float alpha) { return std::clamp(wf::RoundToInt(alpha), 0, 255); }

}  // namespace

void DrawObject(int index) {
    const WorldObject& object = gWorld.objects[index];

    // The blending is set for every object, drawn or not; an unusable mode keeps the previous one.
    if (object.postEffect.empty()) {
        plat::SetBlend(5, 6);
    } else {
        int source = 0, destination = 0;
        if (!ParsePostEffect(object.postEffect, source, destination)) source = destination = 0;
        if (source != 0 && destination != 0) plat::SetBlend(source, destination);
    }

    if (object.state <= 0) return;
    const float offsetX = gSettings.MATRIX_OFFSET_X;
    const float offsetY = gSettings.MATRIX_OFFSET_Y;
    if (gState.overviewMode != 0) {
        plat::DrawDrawable(object.sprite, wf::RoundToInt(object.x * gState.zoomX + gState.SCRW / 5),
                           wf::RoundToInt(object.y * gState.zoomY + gState.SCRH / 5), DrawOpacity(object.alpha));
        return;
    }
    const bool inView = object.x + object.width + offsetX > 0 && object.x + offsetX <= gState.SCRW &&
                        object.y + object.height + offsetY > 0 && object.y + offsetY <= gState.SCRH;
    if (inView) {
        plat::DrawDrawable(object.sprite, wf::RoundToInt(object.x + offsetX), wf::RoundToInt(object.y + offsetY),
                           DrawOpacity(object.alpha));
    }
}
