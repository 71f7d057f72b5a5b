// gui: the user's input each frame: keyboard, mouse and joystick polling and the mouse position.
#pragma once

// Polls keyboard, mouse and (when present) joystick and keeps the mouse position and the grid
// cell under it in gState.
void HandleInput();
