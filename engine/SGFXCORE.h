// SGFXCORE: drawing of world objects (blending, position, opacity, overview layout, rotation)
// and the three screen effects that copy parts of the drawn screen back onto it.
#pragma once
#include <cstdint>
#include <string>

struct WorldObject;

// Parses a blending mode "SxD" into its two factors; false when either part is empty.
bool ParsePostEffect(const std::string& postEffect, int& source, int& destination);
// The blend pair an object keeps from its postEffect: 5 with 6 for an empty text, 0 and 0
// ("keep the previous blending") for a text without two non-zero factors.
void BlendPairOf(const std::string& postEffect, int32_t& source, int32_t& destination);
// True when the object's box overlaps the screen at the current world offset (right and bottom
// edges of the screen included, the left and top edges of the object excluded).
bool ObjectInView(const WorldObject& object);
// Sets the object's blending mode and draws its sprite when it is in play and in view.
void DrawObject(int index);
// Bends the object's current drawable to its box turned by `angle` (a quarter turn at angle 0),
// then advances its angle by its rotation speed.
void TransformRotation(int index, float width, float height, float angle);
// Lays the screen area just below a mirror object (one fifth taller than the object) over it.
void DrawMirror(int index);
// Two faint copies of the upper-left 90 % of the picture, one pixel up-left and down-right.
void DrawSmoothing();
// A quarter-size copy of the upper-left 90 % of the picture at (1, 1); magenta is transparent.
void DrawPictureInPicture();
