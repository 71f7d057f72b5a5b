// gui: the user's input each frame: polling, the engine's own controls and the mouse position.
#pragma once

// Polls keyboard, mouse and (when present) joystick, applies the user's controls (scrolling,
// overlay, frame delay, overview, pause, players out of play) and keeps the mouse position and
// the grid cell under it in gState.
void HandleInput();
