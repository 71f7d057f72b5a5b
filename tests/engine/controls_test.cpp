// The user's controls with scripted keys and joystick on the headless backend.
#include <gtest/gtest.h>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/gui.h"
#include "engine_fixture.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/input.h"

namespace {

using namespace plat;
using Keys = std::vector<int>;

class ControlsTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        Restart();
    }
    static void Restart() {
        headless::Reset();
        SetStartValues();
        gSettings.MAXOBJECTS = 2;
        SetUpWorldTables();
        gSettings.USRSCROLL = 1;
        gSettings.MULTITASK = 20;
    }
    // One frame of input with exactly these keys held.
    static void Frame(const Keys& held) {
        for (int code = 0; code < kScanCodeCount; ++code) headless::SetKey(code, false);
        for (int code : held) headless::SetKey(code, true);
        HandleInput();
    }
    static void UseJoystick(int x, int y) {
        headless::SetJoystick(true, x, y);
        gState.joystickPresent = InitJoystick() ? 1 : 0;
    }
};

TEST_F(ControlsTest, ScrollingByCursorKeysAndJoystickAxes) {
    struct Case {
        int8_t usrScroll;
        Keys held;
        int joyX, joyY;
        float dx, dy;
    };
    const Case cases[] = {
        {1, {kKeyLeft, kKeyRight}, 0, 0, 0, 0},
        {1, {kKeyLeft, kKeyDown}, 0, 0, -1, -1},
        {1, {kKeyRight, kKeyUp}, 0, 0, 1, 1},
        {0, {kKeyLeft, kKeyUp}, -1000, 1000, 0, 0},
        {1, {}, 500, -500, 0, 0},  // exactly 500 reads as 0
        {1, {}, 501, -501, 1, -1},
        {1, {}, -501, 501, -1, 1},
    };
    for (const Case& c : cases) {
        UseJoystick(c.joyX, c.joyY);
        gSettings.USRSCROLL = c.usrScroll;
        gSettings.MATRIX_OFFSET_X = gSettings.MATRIX_OFFSET_Y = 100;
        Frame(c.held);
        EXPECT_EQ(gSettings.MATRIX_OFFSET_X, 100 + c.dx) << c.joyX << "," << c.joyY;
        EXPECT_EQ(gSettings.MATRIX_OFFSET_Y, 100 + c.dy) << c.joyX << "," << c.joyY;
    }
}

TEST_F(ControlsTest, KeyChainsStopAtTheFirstFailingTest) {
    const int alt = kKeyLeftAlt, ctrl = kKeyLeftCtrl;
    struct Case {
        const char* name;
        std::vector<Keys> frames;
        int appMode, multitask, overview, pause;
    };
    const Case cases[] = {
        {"D alone", {{kKeyD}, {}}, 0, 20, 0, 0},
        {"Alt+Ctrl+D", {{alt, ctrl, kKeyD}, {alt, ctrl}}, 1, 20, 0, 0},
        {"Alt+Ctrl+D twice", {{alt, ctrl, kKeyD}, {alt, ctrl}, {alt, ctrl, kKeyD}, {alt, ctrl}}, 0, 20, 0, 0},
        {"D pressed alone, released under Alt+Ctrl", {{kKeyD}, {alt, ctrl}}, 0, 20, 0, 0},
        {"Alt+Ctrl+M", {{alt, ctrl, kKeyM}, {alt, ctrl}}, 0, 0, 0, 0},
        {"M alone", {{kKeyM}, {}}, 0, 20, 1, 0},
        {"Alt+M without Ctrl", {{alt, kKeyM}, {alt}}, 0, 20, 0, 0},
        {"P", {{kKeyP}, {}}, 0, 20, 0, 1},
        {"P in the overview", {{kKeyM}, {}, {kKeyP}, {}}, 0, 20, 1, 0},
        {"M while paused", {{kKeyP}, {}, {kKeyM}, {}}, 0, 20, 0, 1},
        {"held P", {{kKeyP}, {kKeyP}, {kKeyP}}, 0, 20, 0, 0},
    };
    for (const Case& c : cases) {
        Restart();
        for (const Keys& held : c.frames) Frame(held);
        EXPECT_EQ(gSettings.APPMODE, c.appMode) << c.name;
        EXPECT_EQ(gSettings.MULTITASK, c.multitask) << c.name;
        EXPECT_EQ(gState.overviewMode, c.overview) << c.name;
        EXPECT_EQ(gState.pause, c.pause) << c.name;
    }
}

TEST_F(ControlsTest, JoystickButtonsToggleEveryFrameWhileHeld) {
    UseJoystick(0, 0);
    // The overview mode and the pause after each of three frames with one button held.
    auto hold = [](int button) {
        std::vector<std::pair<int, int>> seen;
        headless::SetJoystickButton(button, true);
        for (int i = 0; i < 3; ++i) {
            Frame({});
            seen.emplace_back(gState.overviewMode, gState.pause);
        }
        headless::SetJoystickButton(button, false);
        return seen;
    };
    using Seen = std::vector<std::pair<int, int>>;
    EXPECT_EQ(hold(9), (Seen{{1, 0}, {0, 0}, {1, 0}}));
    EXPECT_EQ(hold(10), (Seen{{1, 0}, {1, 0}, {1, 0}}));  // no pause while the overview is shown
    EXPECT_EQ(hold(9), (Seen{{0, 0}, {1, 0}, {0, 0}}));
    EXPECT_EQ(hold(10), (Seen{{0, 1}, {0, 0}, {0, 1}}));
    EXPECT_EQ(hold(9), (Seen{{0, 1}, {0, 1}, {0, 1}}));   // no overview while paused
}

TEST_F(ControlsTest, AltCtrlKTakesThePlayersOutOfPlay) {
    gState.lastObjectIndex = 2;
    for (int i = 0; i <= 2; ++i) gWorld.objects[i].state = 1;
    gWorld.objects[0].playerID = 1;
    gWorld.objects[2].playerID = -3;
    Frame({kKeyK});
    Frame({});
    EXPECT_EQ(gWorld.objects[0].state, 1);
    Frame({kKeyLeftAlt, kKeyLeftCtrl, kKeyK});
    Frame({kKeyLeftAlt, kKeyLeftCtrl});
    EXPECT_EQ(gWorld.objects[0].state, 0);
    EXPECT_EQ(gWorld.objects[1].state, 1);
    EXPECT_EQ(gWorld.objects[2].state, 0);
}

TEST_F(ControlsTest, OverviewShrinksEveryDrawableAndRestoresEachObjectsOwnSize) {
    WritePng("t.png", 4, 4, 1, 2, 3);
    const Image image = LoadImage("t.png");
    gState.lastObjectIndex = 1;
    WorldObject* o = gWorld.objects.data();
    o[0].width = 64, o[0].height = 30;
    o[1].width = 50, o[1].height = 50;
    auto sizes = [&] {
        std::vector<std::pair<int, int>> out;
        headless::ClearDraws();
        for (int i = 0; i <= 1; ++i) DrawDrawable(o[i].sprite, 0, 0, 255);
        for (const headless::DrawRecord& d : headless::Draws()) out.emplace_back(d.width, d.height);
        return out;
    };
    for (int i = 0; i <= 1; ++i) o[i].sprite = MakeDrawable(image);
    Frame({kKeyM});
    Frame({});
    EXPECT_EQ(gState.zoomX, 0.2f);
    EXPECT_EQ(sizes(), (std::vector<std::pair<int, int>>{{13, 6}, {10, 10}}));  // 12.8 -> 13
    o[1].width = 80;  // changed while the overview is shown
    Frame({kKeyM});
    Frame({});
    EXPECT_EQ(gState.overviewMode, 0);
    EXPECT_EQ(gState.zoomY, 1.0f);
    EXPECT_EQ(sizes(), (std::vector<std::pair<int, int>>{{64, 30}, {80, 50}}));
}

TEST_F(ControlsTest, MouseWorldPositionAndGridCell) {
    gSettings.MATRIX_OFFSET_X = 30;
    gSettings.MATRIX_OFFSET_Y = -10;
    gState.cellWidth = gState.cellHeight = 64;
    headless::SetMouse(100, 200, false, false, 0);
    Frame({});
    EXPECT_EQ(std::make_tuple(gState.mouseX, gState.mouseWorldX, gState.mouseWorldY), std::make_tuple(100.0f, 130.0f, 190.0f));
    EXPECT_EQ(std::make_pair(gState.mouseAreaX, gState.mouseAreaY), std::make_pair(3, 3));  // ceil(2.03), ceil(2.97)

    // A negative GRIDSIZE gives negative cells by the same ceiling; a zero cell gives cell 0.
    const struct {
        float cell;
        int column, row;
    } cases[] = {{-64, -2, -2}, {-100, -1, -1}, {0, 0, 0}};  // ceil(-2.03), ceil(-2.97); ceil(-1.3), ceil(-1.9)
    for (const auto& c : cases) {
        gState.cellWidth = gState.cellHeight = c.cell;
        Frame({});
        EXPECT_EQ(std::make_pair(gState.mouseAreaX, gState.mouseAreaY), std::make_pair(c.column, c.row)) << c.cell;
    }
}

}  // namespace
