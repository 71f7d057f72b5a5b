// Tests of the SDL backend: desktop query, opening and closing the screen (images survive),
// mouse, sound on the silent device, message boxes without a display, and the held/released
// keyboard bookkeeping.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/gl/renderer.h"
#include "platform/input.h"
#include "platform/keyboard_state.h"
#include "platform/sound.h"
#include "tests/platform/gl_fixture.h"
#include "tests/support/posix_calls.h"

namespace {

using gltest::ColourAt;
using gltest::LoadPixels;
using gltest::MakePixels;
using gltest::Px;

TEST(KeyboardState, ReleasedNeedsAnEarlierTestThatSawTheKeyDown) {
    plat::KeyboardState keys;
    keys.down[plat::kKeyEscape] = true;
    EXPECT_TRUE(keys.Held(plat::kKeyEscape));
    EXPECT_FALSE(keys.Released(plat::kKeyEscape));  // seen down, marked

    keys.down[plat::kKeyEscape] = false;
    EXPECT_FALSE(keys.Held(plat::kKeyEscape));
    EXPECT_TRUE(keys.Released(plat::kKeyEscape));   // reported once
    EXPECT_FALSE(keys.Released(plat::kKeyEscape));

    // A press and release that no test saw is not reported.
    keys.down[plat::kKeyTab] = true;
    keys.down[plat::kKeyTab] = false;
    EXPECT_FALSE(keys.Released(plat::kKeyTab));

    // Marks are per key: testing another key leaves this one's mark alone.
    keys.down[plat::kKeyR] = true;
    EXPECT_FALSE(keys.Released(plat::kKeyR));
    keys.down[plat::kKeyR] = false;
    EXPECT_FALSE(keys.Released(plat::kKeyU));
    EXPECT_TRUE(keys.Released(plat::kKeyR));

    EXPECT_FALSE(keys.Held(-1));
    EXPECT_FALSE(keys.Held(plat::kScanCodeCount));
    EXPECT_FALSE(keys.Released(1000));
}

TEST(SdlDesktop, ReportsTheTestDisplay) {
    const plat::DesktopInfo desktop = plat::QueryDesktop();
    EXPECT_EQ(desktop.width, 1280);
    EXPECT_EQ(desktop.height, 1024);
    EXPECT_EQ(desktop.depth, 24);
}

TEST(SdlScreen, OpensAtTheExactSizeAndImagesSurviveReopening) {
    gltest::TempDir dir;
    ASSERT_TRUE(plat::OpenScreen(200, 120, 24, "screen test"));
    EXPECT_TRUE(plat::ScreenOpen());
    EXPECT_EQ(plat::ScreenWidth(), 200);
    EXPECT_EQ(plat::ScreenHeight(), 120);

    plat::Image loaded = LoadPixels(dir, "red.png", MakePixels(1, 1, {Px{255, 0, 0, 255}}));
    ASSERT_TRUE(loaded.Valid());
    plat::ClearScreen(plat::Colour{0, 0, 255});
    plat::Image grab = plat::GrabScreen(0, 0, 4, 4);
    ASSERT_TRUE(grab.Valid());
    plat::Flip();

    plat::CloseScreen();
    EXPECT_FALSE(plat::ScreenOpen());
    EXPECT_EQ(plat::ScreenWidth(), 0);
    plat::Flip();  // no screen: nothing happens

    ASSERT_TRUE(plat::OpenScreen(64, 48, 24, "screen test again"));
    EXPECT_EQ(plat::ScreenWidth(), 64);
    plat::Begin3D();
    plat::Drawable red = plat::MakeDrawable(loaded);
    plat::ZoomDrawable(red, 4, 4);
    plat::DrawDrawable(red, 10, 10, 255);
    plat::DrawDrawable(plat::MakeDrawable(grab), 20, 10, 255);
    plat::End3D();
    EXPECT_TRUE(ColourAt(12, 12, 255, 0, 0));
    EXPECT_TRUE(ColourAt(22, 12, 0, 0, 255));
    EXPECT_TRUE(ColourAt(30, 12, 0, 0, 0));  // a new screen starts black

    plat::ReleaseAll();
    EXPECT_FALSE(plat::ScreenOpen());
    EXPECT_EQ(plat::ImageWidth(loaded), 0);
    plat::ReleaseAll();  // twice is harmless
    EXPECT_FALSE(plat::OpenScreen(0, 100, 24, "no size"));
    EXPECT_FALSE(plat::ScreenOpen());
}

TEST(SdlScreen, ImagesLoadedBeforeTheScreenShowOnceItIsOpen) {
    gltest::TempDir dir;
    plat::Image green = LoadPixels(dir, "green.png", MakePixels(1, 1, {Px{0, 255, 0, 255}}));
    ASSERT_TRUE(green.Valid());
    EXPECT_FALSE(plat::GrabScreen(0, 0, 4, 4).Valid());  // nothing to grab yet
    ASSERT_TRUE(plat::OpenScreen(64, 64, 24, "late screen"));
    plat::Drawable drawable = plat::MakeDrawable(green);
    plat::DrawDrawable(drawable, 5, 5, 255);
    EXPECT_TRUE(ColourAt(5, 5, 0, 255, 0));
    plat::ReleaseAll();
}

TEST(SdlMouse, PositionIsRelativeToTheScreenWindowAndMotionIsPerPoll) {
    ASSERT_TRUE(plat::OpenScreen(256, 256, 24, "mouse test"));
    plat::InitMouse();
    SDL_WarpMouseGlobal(30, 40);
    plat::PollMouse();
    EXPECT_EQ(plat::MouseX(), 30);
    EXPECT_EQ(plat::MouseY(), 40);

    SDL_WarpMouseGlobal(35, 47);
    plat::PollMouse();
    EXPECT_EQ(plat::MouseMotionX(), 5);
    EXPECT_EQ(plat::MouseMotionY(), 7);
    plat::PollMouse();
    EXPECT_EQ(plat::MouseMotionX(), 0);
    EXPECT_EQ(plat::MouseMotionY(), 0);

    SDL_WarpMouseGlobal(600, 300);
    plat::PollMouse();
    EXPECT_EQ(plat::MouseX(), -1);
    EXPECT_EQ(plat::MouseY(), -1);
    EXPECT_FALSE(plat::MouseLeft());
    EXPECT_FALSE(plat::MouseRight());

    // Wheel notches come from the event queue and count once.
    SDL_Event wheel = {};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 2;
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    ASSERT_EQ(SDL_PushEvent(&wheel), 1);
    plat::PollKeyboard();  // drains the queue too
    plat::PollMouse();
    EXPECT_EQ(plat::MouseWheel(), 2);
    plat::PollMouse();
    EXPECT_EQ(plat::MouseWheel(), 0);

    // Nobody presses keys here.
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyEscape));
    EXPECT_FALSE(plat::KeyReleased(plat::kKeyEscape));
    EXPECT_FALSE(plat::KeyHeld(-5));
    EXPECT_FALSE(plat::KeyHeld(4000));
    plat::ReleaseAll();
}

TEST(SdlJoystick, NoneIsReportedAsAbsent) {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0 && SDL_NumJoysticks() > 0) {
        GTEST_SKIP() << "a joystick is attached";
    }
    EXPECT_FALSE(plat::InitJoystick());
    plat::PollJoystick();
    EXPECT_EQ(plat::JoystickX(), 0);
    EXPECT_EQ(plat::JoystickY(), 0);
    EXPECT_FALSE(plat::JoystickButton(0));
    EXPECT_FALSE(plat::JoystickButton(-1));
    plat::ReleaseAll();
}

// A short 8-bit mono PCM WAV file (8000 Hz, 800 samples).
void WriteWav(const std::string& path) {
    const unsigned char header[44] = {'R', 'I', 'F', 'F', 0x44, 0x03, 0, 0, 'W', 'A', 'V', 'E',
                                      'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                      0x40, 0x1f, 0, 0, 0x40, 0x1f, 0, 0, 1, 0, 8, 0,
                                      'd', 'a', 't', 'a', 0x20, 0x03, 0, 0};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int i = 0; i < 800; ++i) out.put(static_cast<char>(i % 16 < 8 ? 96 : 160));
}

TEST(SdlSound, WavFilesLoadAndLoopUntilStopped) {
    gltest::TempDir dir;
    const std::string wav = dir.File("tone.wav");
    WriteWav(wav);
    {
        std::ofstream bad(dir.File("bad.wav"), std::ios::binary);
        bad << "RIFF\x10\0\0\0WAVEjunk";
    }
    plat::InitSound();
    plat::Sound sound = plat::LoadSound(wav);
    ASSERT_TRUE(sound.Valid());
    EXPECT_FALSE(plat::LoadSound(dir.File("missing.wav")).Valid());
    EXPECT_FALSE(plat::LoadSound(dir.File("bad.wav")).Valid());

    plat::PlayLoop(sound);
    EXPECT_EQ(Mix_Playing(-1), 1);
    SDL_Delay(300);  // longer than the sound: it loops on
    EXPECT_EQ(Mix_Playing(-1), 1);
    plat::StopSound(sound);
    EXPECT_EQ(Mix_Playing(-1), 0);

    plat::PlayLoop(sound);
    plat::FreeSound(sound);
    EXPECT_FALSE(sound.Valid());
    EXPECT_EQ(Mix_Playing(-1), 0);
    plat::FreeSound(sound);
    plat::PlayLoop(plat::Sound{7});
    plat::StopSound(plat::Sound{-3});
    plat::ReleaseAll();
    EXPECT_FALSE(plat::LoadSound(wav).Valid());  // audio closed
}

TEST(SdlDialogsDeathTest, MessagesGoToStderrWhenNoDisplayCanShowThem) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            plat::MessageBox("Fault", "the world file is missing");
            const bool yes = plat::AskYesNo("Question", "overwrite?");
            std::exit(yes ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "Fault: the world file is missing(.|\n)*Question: overwrite");
}

}  // namespace
