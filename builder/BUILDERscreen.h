// BUILDERscreen: drawing the map into the main window's screen, the screenshot, and showing or
// hiding the tool windows.
#pragma once

// Clears the screen to (10, 10, 10), stretches, draws the placed tiles layer by layer
// (0..maxUsedLayer, slots in order), the preview at the build cursor (not while the right
// button is held), the screen log, the grid dots and the quick help, then flips. Does nothing
// while no screen is open. In grid mode a redraw with a preview sooner than 50 ms after the
// previous one is postponed to a timer event of the main window.
void RedrawMainWindow();
// Saves the screen from (1, 1) as a PNG file named by the millisecond count in the current
// directory. A failed copy or write is not reported.
void TakeScreenshot();
// Shows or hides the tile and descriptor windows together by the tile-window-hidden flag.
void ApplyToolWindowsHidden();
