// Sound through SDL2_mixer: the audio device (or SDL's silent dummy device when there is none)
// and looping sound chunks.
#include "platform/sound.h"
#include "platform/sdl/sdl_state.h"

namespace plat::sdl {

namespace {

bool OpenMixer() {
    return Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) == 0;
}

SoundSlot* FindSound(Sound sound) {
    if (sound.id < 0 || sound.id >= static_cast<int>(g_sdl.sounds.size())) return nullptr;
    SoundSlot& slot = g_sdl.sounds[sound.id];
    return slot.used ? &slot : nullptr;
}

void Halt(SoundSlot& slot) {
    if (slot.channel >= 0 && g_sdl.audioOpen && Mix_GetChunk(slot.channel) == slot.chunk) {
        Mix_HaltChannel(slot.channel);
    }
    slot.channel = -1;
}

}  // namespace

void CloseAudio() {
    for (SoundSlot& slot : g_sdl.sounds) {
        if (!slot.used) continue;
        Halt(slot);
        Mix_FreeChunk(slot.chunk);
    }
    g_sdl.sounds.clear();
    if (g_sdl.audioOpen) {
        Mix_CloseAudio();
        g_sdl.audioOpen = false;
    }
}

}  // namespace plat::sdl

namespace plat {

using sdl::g_sdl;

void InitSound() {
    if (g_sdl.audioOpen) return;
    if (!sdl::StartSubsystem(SDL_INIT_AUDIO)) return;
    if (sdl::OpenMixer()) {
        g_sdl.audioOpen = true;
        return;
    }
    // No usable device: SDL's dummy driver plays silently, so sounds still load and loop.
    SDL_AudioQuit();
    if (SDL_AudioInit("dummy") == 0 && sdl::OpenMixer()) g_sdl.audioOpen = true;
}

Sound LoadSound(const std::string& path) {
    if (!g_sdl.audioOpen) return Sound{};
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (chunk == nullptr) return Sound{};
    for (size_t i = 0; i < g_sdl.sounds.size(); ++i) {
        if (!g_sdl.sounds[i].used) {
            g_sdl.sounds[i] = sdl::SoundSlot{true, chunk, -1};
            return Sound{static_cast<int>(i)};
        }
    }
    g_sdl.sounds.push_back(sdl::SoundSlot{true, chunk, -1});
    return Sound{static_cast<int>(g_sdl.sounds.size() - 1)};
}

void PlayLoop(Sound sound) {
    sdl::SoundSlot* slot = sdl::FindSound(sound);
    if (slot == nullptr) return;
    sdl::Halt(*slot);
    slot->channel = Mix_PlayChannel(-1, slot->chunk, -1);
}

void StopSound(Sound sound) {
    sdl::SoundSlot* slot = sdl::FindSound(sound);
    if (slot != nullptr) sdl::Halt(*slot);
}

void FreeSound(Sound& sound) {
    sdl::SoundSlot* slot = sdl::FindSound(sound);
    if (slot != nullptr) {
        sdl::Halt(*slot);
        Mix_FreeChunk(slot->chunk);
        *slot = sdl::SoundSlot{};
    }
    sound = Sound{};
}

}  // namespace plat
