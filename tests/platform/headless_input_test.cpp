// Tests of the headless input devices: scripted keys, mouse and joystick become visible only
// at the next poll, and the held/released tests behave as the engine expects.
#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/input.h"

namespace {

class HeadlessInput : public ::testing::Test {
protected:
    void SetUp() override { plat::headless::Reset(); }
    void TearDown() override { plat::headless::Reset(); }
};

TEST_F(HeadlessInput, KeysChangeOnlyAtThePoll) {
    plat::InitKeyboard();
    plat::headless::SetKey(plat::kKeyLeft, true);
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyLeft));
    plat::PollKeyboard();
    EXPECT_TRUE(plat::KeyHeld(plat::kKeyLeft));
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyRight));

    plat::headless::SetKey(plat::kKeyLeft, false);
    EXPECT_TRUE(plat::KeyHeld(plat::kKeyLeft));
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyLeft));

    plat::headless::SetKey(-1, true);  // out-of-range codes are ignored
    plat::headless::SetKey(plat::kScanCodeCount, true);
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyHeld(-1));
    EXPECT_FALSE(plat::KeyHeld(plat::kScanCodeCount));
    EXPECT_FALSE(plat::KeyReleased(100000));
}

TEST_F(HeadlessInput, ReleaseIsReportedOnceAfterATestSawTheKeyDown) {
    plat::headless::SetKey(plat::kKeyP, true);
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyReleased(plat::kKeyP));  // down: marks the key

    plat::headless::SetKey(plat::kKeyP, false);
    plat::PollKeyboard();
    EXPECT_TRUE(plat::KeyReleased(plat::kKeyP));
    EXPECT_FALSE(plat::KeyReleased(plat::kKeyP));  // once only
}

TEST_F(HeadlessInput, ReleaseUnseenByAnyTestIsNotReported) {
    // The key goes down and up again without a release test seeing it down.
    plat::headless::SetKey(plat::kKeyD, true);
    plat::PollKeyboard();
    plat::headless::SetKey(plat::kKeyD, false);
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyReleased(plat::kKeyD));

    // Marks are per key: testing one key leaves another key's mark alone.
    plat::headless::SetKey(plat::kKeyG, true);
    plat::headless::SetKey(plat::kKeyH, true);
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyReleased(plat::kKeyG));
    EXPECT_FALSE(plat::KeyReleased(plat::kKeyH));
    plat::headless::SetKey(plat::kKeyG, false);
    plat::headless::SetKey(plat::kKeyH, false);
    plat::PollKeyboard();
    EXPECT_TRUE(plat::KeyReleased(plat::kKeyG));
    plat::headless::SetKey(plat::kKeyH, true);
    plat::PollKeyboard();
    plat::headless::SetKey(plat::kKeyH, false);
    plat::PollKeyboard();
    EXPECT_TRUE(plat::KeyReleased(plat::kKeyH));
}

TEST_F(HeadlessInput, MouseReportsPositionMotionWheelAndButtons) {
    plat::InitMouse();
    plat::PollMouse();
    EXPECT_EQ(plat::MouseX(), -1);
    EXPECT_EQ(plat::MouseY(), -1);

    plat::headless::SetMouse(100, 50, true, false, 0);
    plat::PollMouse();
    EXPECT_EQ(plat::MouseX(), 100);
    EXPECT_EQ(plat::MouseY(), 50);
    EXPECT_EQ(plat::MouseMotionX(), 0);  // came from outside the screen
    EXPECT_TRUE(plat::MouseLeft());
    EXPECT_FALSE(plat::MouseRight());

    plat::headless::SetMouse(90, 65, false, true, 2);
    EXPECT_EQ(plat::MouseX(), 100);  // not before the poll
    plat::PollMouse();
    EXPECT_EQ(plat::MouseMotionX(), -10);
    EXPECT_EQ(plat::MouseMotionY(), 15);
    EXPECT_EQ(plat::MouseWheel(), 2);
    EXPECT_FALSE(plat::MouseLeft());
    EXPECT_TRUE(plat::MouseRight());

    plat::PollMouse();  // nothing moved, the notches were reported already
    EXPECT_EQ(plat::MouseMotionX(), 0);
    EXPECT_EQ(plat::MouseMotionY(), 0);
    EXPECT_EQ(plat::MouseWheel(), 0);
    EXPECT_EQ(plat::MouseX(), 90);
}

TEST_F(HeadlessInput, JoystickOnlyWhenPresentAtInit) {
    EXPECT_FALSE(plat::InitJoystick());
    plat::headless::SetJoystick(false, 500, 500);
    plat::PollJoystick();
    EXPECT_EQ(plat::JoystickX(), 0);

    plat::headless::SetJoystick(true, -2000, 700);
    plat::headless::SetJoystickButton(9, true);
    plat::PollJoystick();  // not initialised yet
    EXPECT_EQ(plat::JoystickY(), 0);
    EXPECT_FALSE(plat::JoystickButton(9));

    EXPECT_TRUE(plat::InitJoystick());
    EXPECT_EQ(plat::JoystickX(), 0);  // not before the poll
    plat::PollJoystick();
    EXPECT_EQ(plat::JoystickX(), -1000);  // clamped to the axis range
    EXPECT_EQ(plat::JoystickY(), 700);
    EXPECT_TRUE(plat::JoystickButton(9));
    EXPECT_FALSE(plat::JoystickButton(0));
    EXPECT_FALSE(plat::JoystickButton(-1));
    EXPECT_FALSE(plat::JoystickButton(1000));

    plat::headless::Reset();
    EXPECT_FALSE(plat::InitJoystick());
    plat::PollJoystick();
    EXPECT_FALSE(plat::JoystickButton(9));
}

}  // namespace
