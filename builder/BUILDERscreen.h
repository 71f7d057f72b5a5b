// BUILDERscreen: drawing the map into the main window's screen.
#pragma once

// Clears the screen and draws the placed tiles layer by layer (0..maxUsedLayer, slots in
// order), then flips. Does nothing while no screen is open.
void RedrawMainWindow();
