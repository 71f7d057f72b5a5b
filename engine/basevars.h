// basevars: initialisation of the platform services and opening of the world screen.
#pragma once

// Sprites, 3D sprites, mouse, keyboard, joystick (its result kept) and sound, in that order.
void InitSubsystems();
// Opens the full-screen display at the desktop's size titled "KORVANE"; code 7 when it fails.
void OpenWorldScreen();
