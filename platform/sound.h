// Sound: load a file, play it in a loop, stop, free.
#pragma once
#include <string>

#include "platform/handles.h"

namespace plat {

void InitSound();
// Invalid when the file cannot be loaded (or no audio device is available).
Sound LoadSound(const std::string& path);
void PlayLoop(Sound sound);
void StopSound(Sound sound);
void FreeSound(Sound& sound);

}  // namespace plat
