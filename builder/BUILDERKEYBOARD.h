// BUILDERKEYBOARD: the keyboard step run after every handled window event.
#pragma once

// Polls the whole keyboard once, then tests the builder's keys in their fixed order: raster
// modes (left Alt, C, G), scrolling by cursor keys (held in mode 0; released in modes 1 and 2),
// Tab (tool windows), U and R (undo history), H (quick help), Page Up and Page Down (layers).
void KeyboardStep();
