// BUILDERMOUSE: the mouse step (wheel and build cursor) and the buttons of the main window.
#pragma once

// Polls the mouse once: `resizeDelta` takes the wheel notches; in grid mode the build cursor
// moves one grid step per axis in the direction the mouse moved (staying on the screen), in
// the other modes it is the pointer position in `window`'s client area (-1 outside).
void MouseStep(int window);
// Left button down and latch free: place a tile, latch, undo snapshot (also when nothing was
// placed). Then right button down and latch free: delete at the cursor, latch. Both up: free
// the latch. Then the main window is redrawn.
void MouseButtons();
