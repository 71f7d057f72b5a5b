// SGFXCORE: drawing of world objects and the mirror, smoothing and picture-in-picture effects.
// Positions and opacities handed to the platform are rounded to the nearest integer.
#include "engine/SGFXCORE.h"

#include <algorithm>
#include <cmath>

#include "engine/RECORDS.h"
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

void BlendPairOf(const std::string& postEffect, int32_t& source, int32_t& destination) {
    if (postEffect.empty()) {
        source = 5;
        destination = 6;
        return;
    }
    int s = 0, d = 0;
    if (!ParsePostEffect(postEffect, s, d) || s == 0 || d == 0) s = d = 0;
    source = s;
    destination = d;
}

namespace {

constexpr float kPi = 3.14159265358979323846f;
constexpr int kSmoothingOpacity = 64;
constexpr int kPictureOpacity = 200;

// Opacity handed to the platform: rounded and kept within 0..255.
int DrawOpacity(float alpha) { return std::clamp(wf::RoundToInt(alpha), 0, 255); }

// Height of the picture above the bottom bar, kept within the screen: a negative bar (a source
// taller than the screen's 16:10 band) must not make the effects grab beyond the screen.
float ContentHeight() { return std::clamp(gState.SCRH - gState.bottomBarHeight, 0.0f, gState.SCRH); }

// Grabs the upper-left 90 % of the picture; invalid when that area is empty.
plat::Image GrabUpperLeft() {
    const int width = wf::RoundToInt(gState.SCRW * 0.9f);
    const int height = wf::RoundToInt(ContentHeight() * 0.9f);
    if (width <= 0 || height <= 0) return plat::Image{};
    return plat::GrabScreen(0, 0, width, height);
}

}  // namespace

bool ObjectInView(const WorldObject& object) {
    const float offsetX = gSettings.MATRIX_OFFSET_X;
    const float offsetY = gSettings.MATRIX_OFFSET_Y;
    return object.x + object.width + offsetX > 0 && object.x + offsetX <= gState.SCRW &&
           object.y + object.height + offsetY > 0 && object.y + offsetY <= gState.SCRH;
}

void DrawObject(int index) {
    const WorldObject& object = gWorld.objects[index];

    // The blending is set for every object, drawn or not; an unusable mode keeps the previous one.
    if (object.blendSource != 0 && object.blendDestination != 0) {
        plat::SetBlend(object.blendSource, object.blendDestination);
    }

    if (object.state <= 0) return;
    if (gState.overviewMode != 0) {
        plat::DrawDrawable(object.sprite, wf::RoundToInt(object.x * gState.zoomX + gState.SCRW / 5),
                           wf::RoundToInt(object.y * gState.zoomY + gState.SCRH / 5), DrawOpacity(object.alpha));
        return;
    }
    if (ObjectInView(object)) {
        plat::DrawDrawable(object.sprite, wf::RoundToInt(object.x + gSettings.MATRIX_OFFSET_X),
                           wf::RoundToInt(object.y + gSettings.MATRIX_OFFSET_Y), DrawOpacity(object.alpha));
    }
}

void TransformRotation(int index, float width, float height, float angle) {
    WorldObject& object = gWorld.objects[index];
    const float cx = width / 2;
    const float cy = height / 2;
    const float r = std::sqrt(width * width + height * height) / 2;
    // The half-diagonal's angle against the vertical; atan2 keeps a zero-sized box at 0.
    const float t = std::atan2(width, height);
    const float turns[4] = {angle - t, angle + t, angle - t + kPi, angle + t + kPi};
    plat::Corner corners[4];
    for (int k = 0; k < 4; ++k) {
        corners[k].x = cx + r * std::cos(turns[k]);
        corners[k].y = cy + r * std::sin(turns[k]);
    }
    plat::SetCorners(object.sprite, corners);
    object.angle += object.rotateSpeed;
}

void DrawMirror(int index) {
    const WorldObject& object = gWorld.objects[index];
    if (object.mirror <= 0) return;
    ScreenEffects& fx = gWorld.effects;
    plat::FreeImage(fx.mirrorImage);
    const int width = wf::RoundToInt(object.width);
    const int height = wf::RoundToInt(object.height);
    const int grabHeight = wf::RoundToInt(object.height * 1.2f);
    if (width > 0 && grabHeight > 0) {
        fx.mirrorImage = plat::GrabScreen(wf::RoundToInt(object.x + gSettings.MATRIX_OFFSET_X),
                                          wf::RoundToInt(object.y + object.height + gSettings.MATRIX_OFFSET_Y),
                                          width, grabHeight);
    }
    plat::FreeDrawable(fx.mirrorDrawable);
    if (!fx.mirrorImage.Valid()) return;
    plat::MakeTransparent(fx.mirrorImage, {255, 255, 255});
    fx.mirrorDrawable = plat::MakeDrawable(fx.mirrorImage);
    plat::ZoomDrawable(fx.mirrorDrawable, width, std::max(height, 0));
    if (gState.overviewMode != 0) return;
    plat::DrawDrawable(fx.mirrorDrawable, wf::RoundToInt(object.x + gSettings.MATRIX_OFFSET_X),
                       wf::RoundToInt(object.y + gSettings.MATRIX_OFFSET_Y), DrawOpacity(static_cast<float>(object.mirror)));
}

void DrawSmoothing() {
    ScreenEffects& fx = gWorld.effects;
    plat::FreeDrawable(fx.smoothingDrawable);
    plat::FreeImage(fx.smoothingImage);
    fx.smoothingImage = GrabUpperLeft();
    if (!fx.smoothingImage.Valid()) return;
    fx.smoothingDrawable = plat::MakeDrawable(fx.smoothingImage);
    plat::DrawDrawable(fx.smoothingDrawable, -1, -1, kSmoothingOpacity);
    plat::DrawDrawable(fx.smoothingDrawable, 1, 1, kSmoothingOpacity);
}

void DrawPictureInPicture() {
    ScreenEffects& fx = gWorld.effects;
    // The drawable goes with its image: a failed grab leaves nothing that still shows the
    // freed picture.
    plat::FreeImage(fx.pictureImage);
    plat::FreeDrawable(fx.pictureDrawable);
    fx.pictureImage = GrabUpperLeft();
    if (!fx.pictureImage.Valid()) return;
    plat::MakeTransparent(fx.pictureImage, {255, 0, 255});
    const float pictureWidth = static_cast<float>(plat::ImageWidth(fx.pictureImage)) / 4;
    const float pictureHeight = static_cast<float>(plat::ImageHeight(fx.pictureImage)) / 4;
    fx.pictureDrawable = plat::MakeDrawable(fx.pictureImage);
    plat::ZoomDrawable(fx.pictureDrawable, wf::RoundToInt(pictureWidth), wf::RoundToInt(pictureHeight));
    plat::DrawDrawable(fx.pictureDrawable, 1, 1, kPictureOpacity);
}
