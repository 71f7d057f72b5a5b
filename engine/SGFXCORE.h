// SGFXCORE: drawing of world objects: blending mode, position, opacity and the overview layout.
#pragma once
#include <string>

// Parses a blending mode "SxD" into its two factors; false when either part is empty.
bool ParsePostEffect(const std::string& postEffect, int& source, int& destination);
// Sets the object's blending mode and draws its sprite when it is in play and in view.
void DrawObject(int index);
