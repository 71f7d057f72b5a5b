// The SDL backend's one record (window, GL context, input, sound) and the helpers its units
// share. Internal to platform/sdl.
#pragma once
#include <SDL.h>
#include <SDL_mixer.h>

#include <vector>

#include "platform/keyboard_state.h"
#include "platform/mouse_state.h"

namespace plat::sdl {

struct SoundSlot {
    bool used = false;
    Mix_Chunk* chunk = nullptr;
    int channel = -1;  // the channel it loops on, -1 when not playing
};

constexpr int kJoystickButtons = 32;

struct Backend {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;

    KeyboardState keyboard;

    MouseState mouse;  // x, y: pixels in the window; motion measured on the desktop

    SDL_Joystick* joystick = nullptr;
    int joystickX = 0;
    int joystickY = 0;
    bool joystickButtons[kJoystickButtons] = {};

    bool audioOpen = false;
    std::vector<SoundSlot> sounds;
};

extern Backend g_sdl;

// Starts SDL's video subsystem when it is not running; false when it cannot.
// Starts SDL subsystems (once each). SDL's own SIGINT/SIGTERM handlers are left out, so the
// engine ends on those signals like any program instead of ignoring them.
bool StartSubsystem(Uint32 flags);
bool StartVideo();
// Handles pending SDL events (mouse wheel notches are kept for the next mouse poll).
void PumpEvents();
// Closes the window and its GL context (the renderer is stopped first).
void DestroyWindow();
void CloseJoystick();
void CloseAudio();

}  // namespace plat::sdl
