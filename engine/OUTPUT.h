// OUTPUT: the 2D drawing over every finished frame: frame rate, developer overlay (grid,
// statistics, object labels), mouse dot, the no-valid-data screen and the bottom bar.
#pragma once

// Draws the frame's 2D layer; called by RunFrame after the 3D pass and before the flip.
// Also switches APPSMOOTH off for good once the running second counts fewer than 30 frames.
void DrawOverlay();
