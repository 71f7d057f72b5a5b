// Headless sound (a file "loads" when it exists; play/stop/free are recorded), message boxes
// (recorded, with a scripted yes/no answer) and the release-everything step of shutdown.
#include <cstdio>

#include "platform/dialogs.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/headless/state.h"
#include "platform/sound.h"

namespace plat {

using headless::g_headless;
using headless::SoundRecord;

namespace {

SoundRecord* FindSound(Sound sound) {
    if (sound.id < 0 || sound.id >= static_cast<int>(g_headless.sounds.size())) return nullptr;
    SoundRecord& record = g_headless.sounds[sound.id];
    return record.freed ? nullptr : &record;
}

}  // namespace

void InitSound() {}

Sound LoadSound(const std::string& path) {
    if (path.empty() || !FileExists(path)) return Sound{};
    SoundRecord record;
    record.path = path;
    g_headless.sounds.push_back(record);
    return Sound{static_cast<int>(g_headless.sounds.size()) - 1};
}

void PlayLoop(Sound sound) {
    SoundRecord* record = FindSound(sound);
    if (record != nullptr) record->playing = true;
}

void StopSound(Sound sound) {
    SoundRecord* record = FindSound(sound);
    if (record != nullptr) record->playing = false;
}

void FreeSound(Sound& sound) {
    SoundRecord* record = FindSound(sound);
    if (record != nullptr) {
        record->playing = false;
        record->freed = true;
    }
    sound = Sound{};
}

void MessageBox(const std::string& title, const std::string& text) {
    g_headless.messageBoxes.push_back({title, text});
    std::fprintf(stderr, "MESSAGEBOX %s: %s\n", title.c_str(), text.c_str());
}

bool AskYesNo(const std::string& title, const std::string& text) {
    g_headless.messageBoxes.push_back({title, text});
    std::fprintf(stderr, "MESSAGEBOX %s: %s\n", title.c_str(), text.c_str());
    if (!g_headless.yesNoAnswers.empty()) {
        const bool yes = g_headless.yesNoAnswers.front();
        g_headless.yesNoAnswers.pop_front();
        return yes;
    }
    return g_headless.yesNoAnswer;
}

void ReleaseAll() {
    for (headless::ImageEntry& image : g_headless.images) {
        image.live = false;
        image.pixels = Pixels{};
    }
    for (headless::DrawableEntry& drawable : g_headless.drawables) drawable.live = false;
    for (SoundRecord& sound : g_headless.sounds) {
        sound.playing = false;
        sound.freed = true;
    }
    g_headless.joystickOpen = false;
    while (!g_headless.windows.empty()) CloseWindow(g_headless.windows.back().number);
    CloseScreen();
    CloseAllFiles();
    RemoveFaultHandler();
}

}  // namespace plat
