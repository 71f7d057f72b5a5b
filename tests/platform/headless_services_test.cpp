// Tests of the headless clock, sound, message boxes and reset.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/headless.h"
#include "platform/input.h"
#include "platform/sound.h"

namespace fs = std::filesystem;

namespace {

class HeadlessServices : public ::testing::Test {
protected:
    void SetUp() override {
        plat::headless::Reset();
        dir_ = fs::temp_directory_path() /
               ("headless_services_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        plat::headless::Reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

TEST_F(HeadlessServices, ClockIsSetByTheTestAndAdvancedBySleeps) {
    EXPECT_EQ(plat::Milliseconds(), 0);
    plat::headless::SetClock(5000);
    EXPECT_EQ(plat::Milliseconds(), 5000);
    plat::headless::AdvanceClock(16);
    EXPECT_EQ(plat::Milliseconds(), 5016);
    EXPECT_EQ(plat::headless::SleptMilliseconds(), 0);

    plat::SleepMs(10);
    plat::SleepMs(0);
    plat::SleepMs(-30);
    plat::SleepMs(7);
    EXPECT_EQ(plat::Milliseconds(), 5033);
    EXPECT_EQ(plat::headless::SleptMilliseconds(), 17);

    plat::headless::SetClock(100);  // setting the clock keeps the sleep total
    EXPECT_EQ(plat::headless::SleptMilliseconds(), 17);
    plat::headless::Reset();
    EXPECT_EQ(plat::Milliseconds(), 0);
    EXPECT_EQ(plat::headless::SleptMilliseconds(), 0);
}

TEST_F(HeadlessServices, MessageBoxesAreRecordedAndYesNoIsScripted) {
    plat::MessageBox("KORVANE", "area not found");
    EXPECT_TRUE(plat::AskYesNo("plom", "save the map?"));
    plat::headless::SetYesNoAnswer(false);
    EXPECT_FALSE(plat::AskYesNo("plom", "quit?"));
    EXPECT_FALSE(plat::AskYesNo("plom", "really?"));

    const auto& boxes = plat::headless::MessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].title, "KORVANE");
    EXPECT_EQ(boxes[0].text, "area not found");
    EXPECT_EQ(boxes[1].text, "save the map?");
    EXPECT_EQ(boxes[2].text, "quit?");

    plat::headless::Reset();
    EXPECT_TRUE(plat::headless::MessageBoxes().empty());
    EXPECT_TRUE(plat::AskYesNo("plom", "after reset"));
}

TEST_F(HeadlessServices, SoundsLoadFromExistingFilesAndTrackPlaying) {
    const std::string path = (dir_ / "wind.wav").string();
    std::ofstream(path) << "RIFF";
    plat::InitSound();
    EXPECT_FALSE(plat::LoadSound((dir_ / "missing.wav").string()).Valid());
    EXPECT_FALSE(plat::LoadSound("").Valid());

    plat::Sound sound = plat::LoadSound(path);
    ASSERT_TRUE(sound.Valid());
    const auto& sounds = plat::headless::Sounds();
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].path, path);
    EXPECT_FALSE(sounds[0].playing);

    plat::PlayLoop(sound);
    EXPECT_TRUE(sounds[0].playing);
    plat::StopSound(sound);
    EXPECT_FALSE(sounds[0].playing);
    plat::PlayLoop(sound);

    plat::Sound copy = sound;
    plat::FreeSound(sound);
    EXPECT_FALSE(sound.Valid());
    EXPECT_TRUE(sounds[0].freed);
    EXPECT_FALSE(sounds[0].playing);
    plat::PlayLoop(copy);  // a stale handle does nothing
    EXPECT_FALSE(sounds[0].playing);
    plat::FreeSound(copy);
    plat::StopSound(plat::Sound{42});
    plat::FreeSound(sound);
}

TEST_F(HeadlessServices, ReleaseAllStopsAndFreesSounds) {
    const std::string path = (dir_ / "rain.wav").string();
    std::ofstream(path) << "RIFF";
    plat::Sound sound = plat::LoadSound(path);
    plat::PlayLoop(sound);
    ASSERT_TRUE(plat::headless::Sounds()[0].playing);

    plat::ReleaseAll();
    EXPECT_FALSE(plat::headless::Sounds()[0].playing);
    EXPECT_TRUE(plat::headless::Sounds()[0].freed);
    plat::PlayLoop(sound);
    EXPECT_FALSE(plat::headless::Sounds()[0].playing);
    plat::ReleaseAll();
}

TEST_F(HeadlessServices, ResetReseedsRandomAndClearsInput) {
    const int first = plat::Random(1000000);
    const int second = plat::Random(1000000);
    plat::headless::SetKey(plat::kKeyEscape, true);
    plat::headless::SetJoystick(true, 10, 10);

    plat::headless::Reset();
    EXPECT_EQ(plat::Random(1000000), first);
    EXPECT_EQ(plat::Random(1000000), second);
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyEscape));
    EXPECT_FALSE(plat::InitJoystick());
    EXPECT_TRUE(plat::headless::Sounds().empty());
}

}  // namespace
