// BUILDERKEYBOARD: the keyboard step run after every handled window event.
#pragma once

// Polls the whole keyboard once, then: U released steps the undo history back, R forward.
void KeyboardStep();
