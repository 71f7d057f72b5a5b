// Tests of the shared half of the map builder's window backends, over a scripted toolkit: the
// event queue hands out each event with the input state of its moment, the polls, the pointer
// in a window, the flip and the release of everything.
#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/mouse_state.h"
#include "platform/windows.h"
#include "tests/platform/ui_fake_toolkit.h"

namespace {

using fake::g_toolkit;

class SharedWindowHalf : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    void TearDown() override { fake::Reset(); }

    // A native event that queues `kind` for window 1 with key `code` held or not.
    static void Native(int kind, int code, bool held) {
        g_toolkit.native.push_back([=] {
            g_toolkit.atEvent.keys[code] = held;
            plat::ui::Push(kind, 1, 0);
        });
    }
};

TEST_F(SharedWindowHalf, EventsComeInOrderWithTheKeysOfTheirMoment) {
    // The toolkit takes a press and its release in in one go: both events are queued by one
    // native event, and the polls still see the key down at the first and up at the second.
    g_toolkit.native.push_back([] {
        g_toolkit.atEvent.keys[plat::kKeyU] = true;
        plat::ui::Push(plat::kEventKeyDown, 1, 0);
        g_toolkit.atEvent.keys[plat::kKeyU] = false;
        plat::ui::Push(plat::kEventKeyUp, 1, 0);
    });
    Native(plat::kEventMenu, plat::kKeyD, true);

    const plat::WindowEvent down = plat::WaitEvent();
    EXPECT_EQ(down.kind, plat::kEventKeyDown);
    EXPECT_EQ(down.window, 1);
    plat::PollKeyboard();
    EXPECT_TRUE(plat::KeyHeld(plat::kKeyU));
    EXPECT_FALSE(plat::KeyReleased(plat::kKeyU));

    EXPECT_EQ(plat::WaitEvent().kind, plat::kEventKeyUp);
    EXPECT_EQ(g_toolkit.pumps, 1);  // the second event was queued already
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyU));
    EXPECT_TRUE(plat::KeyReleased(plat::kKeyU));

    EXPECT_EQ(plat::WaitEvent().kind, plat::kEventMenu);
    EXPECT_EQ(g_toolkit.pumps, 2);
    plat::PollKeyboard();
    EXPECT_TRUE(plat::KeyHeld(plat::kKeyD));
}

TEST_F(SharedWindowHalf, KeysAMenuTakesAreNotThePrograms) {
    // Tab is held when the menu opens; the menu then takes a Right press and Tab's release, and
    // repaints come in meanwhile. They show the keys of before the menu; its buttons are live.
    Native(plat::kEventRepaint, plat::kKeyTab, true);
    g_toolkit.native.push_back([] {
        g_toolkit.menuOpen = true;
        g_toolkit.atEvent.keys[plat::kKeyRight] = true;
        g_toolkit.atEvent.keys[plat::kKeyTab] = false;
        g_toolkit.atEvent.left = true;
        plat::ui::Push(plat::kEventRepaint, 1, 0);
        g_toolkit.menuOpen = false;
        g_toolkit.atEvent.keys[plat::kKeyRight] = false;
        plat::ui::Push(plat::kEventMenu, 1, 4);
    });
    plat::WaitEvent();
    plat::PollKeyboard();
    EXPECT_TRUE(plat::KeyHeld(plat::kKeyTab));
    plat::WaitEvent();
    plat::PollKeyboard();
    plat::PollMouse();
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyRight));
    EXPECT_TRUE(plat::KeyHeld(plat::kKeyTab));
    EXPECT_FALSE(plat::KeyReleased(plat::kKeyTab));
    EXPECT_TRUE(plat::MouseLeft());
    // Once it has closed, the keys are live again: Tab's release shows.
    EXPECT_EQ(plat::WaitEvent().kind, plat::kEventMenu);
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyRight));
    EXPECT_TRUE(plat::KeyReleased(plat::kKeyTab));
}

TEST_F(SharedWindowHalf, WaitGivesNoEventWhenNothingCanArrive) {
    g_toolkit.windowsOpen = false;
    EXPECT_EQ(plat::WaitEvent().kind, plat::kEventNone);

    // Native events that queue nothing are pumped until one does.
    g_toolkit.windowsOpen = true;
    g_toolkit.native.push_back([] {});
    g_toolkit.native.push_back([] {});
    Native(plat::kEventTimer, plat::kKeyD, false);
    EXPECT_EQ(plat::WaitEvent().kind, plat::kEventTimer);
    EXPECT_EQ(g_toolkit.pumps, 3);
    EXPECT_EQ(plat::WaitEvent().kind, plat::kEventNone);
}

TEST_F(SharedWindowHalf, TheScreenIsMadeCurrentAfterEachEvent) {
    Native(plat::kEventRepaint, plat::kKeyD, false);
    Native(plat::kEventRepaint, plat::kKeyD, false);
    plat::WaitEvent();
    EXPECT_EQ(g_toolkit.madeCurrent, 0);  // no screen yet
    g_toolkit.screen = true;
    plat::WaitEvent();
    EXPECT_EQ(g_toolkit.madeCurrent, 1);
}

TEST_F(SharedWindowHalf, PollsBeforeTheFirstEventReadTheInputNow) {
    g_toolkit.now.keys[plat::kKeyEscape] = true;
    g_toolkit.now.right = true;
    g_toolkit.atEvent.keys[plat::kKeyTab] = true;
    plat::PollKeyboard();
    plat::PollMouse();
    EXPECT_TRUE(plat::KeyHeld(plat::kKeyEscape));
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyTab));
    EXPECT_TRUE(plat::MouseRight());
    EXPECT_FALSE(plat::MouseLeft());
}

TEST_F(SharedWindowHalf, MousePollsMeasureMotionAndGatherWheelNotches) {
    g_toolkit.pointerX = 100;
    g_toolkit.pointerY = 50;
    g_toolkit.native.push_back([] {
        g_toolkit.atEvent.left = true;
        plat::ui::g_ui.mouse.pendingWheel += 2;
        plat::ui::Push(plat::kEventWheel, 1, 0);
    });
    plat::WaitEvent();
    plat::PollMouse();
    EXPECT_EQ(plat::MouseX(), 100);
    EXPECT_EQ(plat::MouseY(), 50);
    EXPECT_EQ(plat::MouseMotionX(), 0);  // no earlier poll
    EXPECT_EQ(plat::MouseWheel(), 2);
    EXPECT_TRUE(plat::MouseLeft());  // as of the event being handled
    g_toolkit.atEvent.left = false;
    EXPECT_TRUE(plat::MouseLeft());

    g_toolkit.pointerX = 90;
    g_toolkit.pointerY = 58;
    plat::PollMouse();
    EXPECT_EQ(plat::MouseMotionX(), -10);
    EXPECT_EQ(plat::MouseMotionY(), 8);
    EXPECT_EQ(plat::MouseWheel(), 0);  // the notches went to the previous poll

    g_toolkit.pointerKnown = false;
    plat::PollMouse();
    EXPECT_EQ(plat::MouseX(), -1);
    EXPECT_EQ(plat::MouseY(), -1);
    EXPECT_EQ(plat::MouseMotionX(), 0);
    g_toolkit.pointerKnown = true;
    plat::PollMouse();
    EXPECT_EQ(plat::MouseMotionX(), 0);  // the poll before read nothing to measure from
}

TEST_F(SharedWindowHalf, ThePointerInAWindowsClientArea) {
    g_toolkit.windows = {{1, 200, 100, 64, 32, true}, {2, 0, 0, 500, 500, false}};
    struct Case {
        int window, desktopX, desktopY;
        bool inside;
        int x, y;
    };
    const Case cases[] = {
        {1, 200, 100, true, 0, 0},    {1, 263, 131, true, 63, 31}, {1, 264, 110, false, -1, -1},
        {1, 199, 110, false, -1, -1}, {1, 210, 132, false, -1, -1},
        {2, 10, 10, false, -1, -1},   // hidden
        {3, 10, 10, false, -1, -1},   // unknown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "window " << c.window << " at " << c.desktopX << "," << c.desktopY);
        g_toolkit.pointerX = c.desktopX;
        g_toolkit.pointerY = c.desktopY;
        int x = 7, y = 7;
        EXPECT_EQ(plat::PointerInWindow(c.window, x, y), c.inside);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        plat::PollMouse();
        EXPECT_EQ(plat::WindowMouseX(c.window), c.x);
        EXPECT_EQ(plat::WindowMouseY(c.window), c.y);
    }
    // The window's mouse is that of the last poll, not the pointer now.
    g_toolkit.pointerX = 210;
    g_toolkit.pointerY = 110;
    plat::PollMouse();
    g_toolkit.pointerX = 0;
    EXPECT_EQ(plat::WindowMouseX(1), 10);
    g_toolkit.pointerKnown = false;
    plat::PollMouse();
    EXPECT_EQ(plat::WindowMouseX(1), -1);
    int x = 0, y = 0;
    EXPECT_FALSE(plat::PointerInWindow(1, x, y));
}

TEST_F(SharedWindowHalf, TheScreenLivesOnlyInAWindowAndFlipsThroughTheToolkit) {
    EXPECT_FALSE(plat::OpenScreen(640, 480, 32, "screen"));
    plat::Flip();
    EXPECT_EQ(g_toolkit.swaps, 0);  // no screen
    g_toolkit.screen = true;
    plat::Flip();
    EXPECT_EQ(g_toolkit.swaps, 1);
    EXPECT_FALSE(plat::ScreenOpen());  // a screen, but no renderer runs on it
    plat::CloseScreen();
    EXPECT_EQ(g_toolkit.screensDestroyed, 1);
    plat::Flip();
    EXPECT_EQ(g_toolkit.swaps, 1);
    plat::CloseScreen();  // no screen: nothing to delete
    EXPECT_EQ(g_toolkit.screensDestroyed, 1);

    // A screen whose context the toolkit could not make is deleted again at once.
    g_toolkit.screen = true;
    EXPECT_FALSE(plat::ui::StartScreen(false, 640, 480));
    EXPECT_FALSE(g_toolkit.screen);
    EXPECT_EQ(g_toolkit.screensDestroyed, 2);
}

TEST_F(SharedWindowHalf, ReleaseAllForgetsQueuedEventsWithTheirInputStates) {
    g_toolkit.screen = true;
    g_toolkit.atEvent.keys[plat::kKeyLeft] = true;
    g_toolkit.native.push_back([] {
        plat::ui::Push(plat::kEventKeyDown, 1, 0);
        plat::ui::Push(plat::kEventKeyDown, 1, 0);
        plat::ui::Push(plat::kEventKeyDown, 1, 0);
    });
    plat::WaitEvent();
    plat::PollKeyboard();
    ASSERT_TRUE(plat::KeyHeld(plat::kKeyLeft));

    plat::ReleaseAll();
    EXPECT_EQ(g_toolkit.screensDestroyed, 1);
    EXPECT_EQ(g_toolkit.windowsDestroyed, 1);
    EXPECT_TRUE(plat::ui::g_ui.events.empty());
    EXPECT_TRUE(plat::ui::g_ui.snapshots.empty());
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyLeft));
    // The keys of an event handed out before are not those of any later poll.
    plat::PollKeyboard();
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyLeft));

    // A later start pairs its events with their own states again.
    g_toolkit.windowsOpen = true;
    g_toolkit.atEvent.keys[plat::kKeyLeft] = false;
    Native(plat::kEventKeyUp, plat::kKeyRight, true);
    EXPECT_EQ(plat::WaitEvent().kind, plat::kEventKeyUp);
    plat::PollKeyboard();
    EXPECT_TRUE(plat::KeyHeld(plat::kKeyRight));
    EXPECT_FALSE(plat::KeyHeld(plat::kKeyLeft));
    plat::ReleaseAll();  // safe more than once
    EXPECT_EQ(g_toolkit.screensDestroyed, 1);
}

TEST(MouseState, MotionIsMeasuredBetweenTwoPollsThatReadThePointer) {
    struct Step {
        bool known;
        int x, y, notches;
        int motionX, motionY, wheel;
    };
    const Step steps[] = {
        {true, 10, 20, 1, 0, 0, 1},  {true, 15, 18, 0, 5, -2, 0}, {true, 15, 18, -3, 0, 0, -3},
        {false, -1, -1, 0, 0, 0, 0}, {true, 40, 40, 2, 0, 0, 2},  {true, 30, 45, 0, -10, 5, 0},
    };
    plat::MouseState mouse;
    for (const Step& step : steps) {
        mouse.pendingWheel += step.notches;
        mouse.Poll(step.known, step.x, step.y);
        EXPECT_EQ(mouse.motionX, step.motionX);
        EXPECT_EQ(mouse.motionY, step.motionY);
        EXPECT_EQ(mouse.wheel, step.wheel);
        EXPECT_EQ(mouse.pendingWheel, 0);
    }
}

}  // namespace
