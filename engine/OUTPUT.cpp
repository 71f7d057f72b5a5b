// OUTPUT: the 2D drawing over every finished frame: frame rate, developer overlay (grid,
// statistics, object labels), mouse dot, the no-valid-data screen and the bottom bar.
// Positions are kept as floats and rounded (halves to even) only when handed to the platform.
#include "engine/OUTPUT.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "engine/RECORDS.h"
#include "engine/IO.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "worldfiles/convert.h"

namespace {

constexpr plat::Colour kTextColour{0, 200, 0};       // frame rate, statistics, labels
constexpr plat::Colour kMouseColour{255, 255, 255};
constexpr plat::Colour kOccupiedColour{255, 0, 0};
constexpr plat::Colour kFreeColour{100, 100, 100};
constexpr plat::Colour kNoiseColour{0, 150, 0};
constexpr plat::Colour kMessageColour{0, 255, 0};
constexpr plat::Colour kBarColour{1, 1, 1};

constexpr float kLineSpacing = 14;                    // pixels between overlay text lines
constexpr int kStatisticsLines = 10;
constexpr float kStatisticsX = 10, kStatisticsY = 10;
constexpr int kNoiseCharacters = 501;
constexpr int kHighestNoiseCode = 128;
constexpr int kSlowSecond = 30;                       // frames; fewer switch smoothing off
const char* const kNoticeText = "WORLD DATA COULD NOT BE LOADED";

void Text(float x, float y, const std::string& text, plat::Colour colour) {
    plat::DrawText(wf::RoundToInt(x), wf::RoundToInt(y), text, colour);
}

// A float in the "%f" form: six decimals ("32.000000").
std::string FloatText(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    return text;
}

void DrawFrameRate() {
    Text(0.9f * gState.desktopWidth, 0.9f * gState.desktopHeight, "FPS: " + gState.frameRateText, kTextColour);
    if (gState.frameCount < kSlowSecond) gSettings.APPSMOOTH = 0;
}

// Outlines of the grid cells whose top-left corner lies on the screen (a corner at -1 counts).
void DrawAreaGrid() {
    const int last = std::min(gSettings.MATRIXSIZE, kGridCells - 1);
    const int width = wf::RoundToInt(gState.cellWidth);
    const int height = wf::RoundToInt(gState.cellHeight);
    for (int i = 0; i <= last; ++i) {
        for (int j = 0; j <= last; ++j) {
            const GridCell& cell = Cell(i, j);
            const float px = cell.x + gSettings.MATRIX_OFFSET_X;
            const float py = cell.y + gSettings.MATRIX_OFFSET_Y;
            if (px >= -1 && px < gState.desktopWidth && py >= -1 && py < gState.desktopHeight) {
                plat::DrawBox(wf::RoundToInt(px), wf::RoundToInt(py), width, height,
                              cell.occupancy != 0 ? kOccupiedColour : kFreeColour, false);
            }
        }
    }
}

// The statistics block, top to bottom.
std::array<std::string, kStatisticsLines> StatisticsLines() {
    return {
        "AREA-H: " + FloatText(gState.cellHeight) + " AREA-W :" + FloatText(gState.cellWidth) + " AREAS: " +
            wf::IntText(gSettings.MATRIXSIZE) + "*" + wf::IntText(gSettings.MATRIXSIZE) + " AREA X" +
            wf::IntText(gState.mouseAreaX) + ":Y" + wf::IntText(gState.mouseAreaY),
        // The last used index of the list: -1 when nobody can be collided with.
        "AI-COLLSIONOBJECTS " + wf::IntText(gWorld.collisionList.count - 1),
        "AI-HIT: " + gState.hitText1 + " + " + gState.hitText2,
        "SCALER X: " + FloatText(gState.scaleX) + " SCALER Y: " + FloatText(gState.scaleY),
        "SRC_SCRW: " + wf::IntText(wf::RoundToInt(gSettings.SOURCEWIDTH)) + "  SRC_SCRH: " +
            wf::IntText(wf::RoundToInt(gSettings.SOURCEHEIGHT)) + " SCRW: " + wf::IntText(wf::RoundToInt(gState.SCRW)) +
            "  SCRH: " + wf::IntText(wf::RoundToInt(gState.SCRH)),
        "ACTUAL SCOPE AT: " + gState.scopeText,
        "TOTAL ZEFA - KORVANE OBJECTS: " + wf::IntText(gState.lastObjectIndex),
        "MULTITASK ENGINE DELAY (ms):" + wf::IntText(gSettings.MULTITASK),
        "ANIM_PATH: " + gSettings.ANIMSYSTEM,
        "MAXANIMFRAMES/OBJECT: " + wf::IntText(gSettings.MAXANIMFRAMES),
    };
}

void DrawStatistics() {
    const std::array<std::string, kStatisticsLines> lines = StatisticsLines();
    for (int line = 0; line < kStatisticsLines; ++line) {
        Text(kStatisticsX, kStatisticsY + line * kLineSpacing, lines[line], kTextColour);
    }
}

// Eight lines next to every moving object in play.
void DrawObjectLabels() {
    for (int i = 0; i <= LastObjectIndex(); ++i) {
        const WorldObject& o = gWorld.objects[i];
        if (o.velo == 0 || o.state == 0) continue;
        const std::string lines[] = {
            "ObjectFile:" + o.tileName,
            "LifeTime:" + wf::IntText(o.lifeTime),
            "InternalID" + wf::IntText(i),
            "InternalName" + o.idString,
            "MapX:" + wf::IntText(wf::RoundToInt(o.x)) + "  MapY:" + wf::IntText(wf::RoundToInt(o.y)),
            "ANIM CONTAINER: " + o.animContainer,
            "AnimFramesLeft:" + wf::IntText(o.animCount[0]),
            "AnimFramesRight:" + wf::IntText(o.animCount[1]),
        };
        const float x = o.x + gSettings.MATRIX_OFFSET_X;
        const float y = o.y + gSettings.MATRIX_OFFSET_Y;
        for (int line = 0; line < 8; ++line) Text(x, y + line * kLineSpacing, lines[line], kTextColour);
    }
}

// Shown when no tile graphic loaded or a map file could not be opened. A library whose only
// loaded graphic has index 0 is valid data, so the test is "no tile loaded" rather than
// "last tile index below 1".
bool NoValidData() { return !gState.anyTileLoaded || gState.noValidData == 1; }

void DrawNoValidDataScreen() {
    const int right = wf::RoundToInt(gState.SCRW);
    const int bottom = wf::RoundToInt(gState.SCRH);
    for (int i = 0; i < kNoiseCharacters; ++i) {
        const char code = static_cast<char>(plat::Random(kHighestNoiseCode));
        const int x = plat::Random(right);
        const int y = plat::Random(bottom);
        plat::DrawText(x, y, std::string(1, code), kNoiseColour);
    }
    const float x = gState.SCRW / 4;
    const float y = gState.SCRH / 4;
    Text(x, y,
         std::string("KORVANE_ENGINE  ### ") + kNoticeText + " ### ERROR: NO VALID DATA ###  ENGINE VERSION " +
             gSettings.VERSION,
         kMessageColour);
    Text(x, y * 1.1f, "MISSING CONNECTION TO " + MapFileName(gSettings.APPENTRY), kMessageColour);
}

// A filled bar over the bottom edge; a bar of zero or negative height draws nothing.
void DrawBottomBar() {
    const int height = wf::RoundToInt(gState.bottomBarHeight);
    if (height <= 0) return;
    plat::DrawBox(0, wf::RoundToInt(gState.desktopHeight - gState.bottomBarHeight),
                  wf::RoundToInt(gState.desktopWidth), height, kBarColour, true);
}

}  // namespace

void DrawOverlay() {
    PLAT_MARK("OUTPUT");
    plat::Begin2D();
    DrawFrameRate();
    if (gSettings.APPMODE == 1) {
        DrawAreaGrid();
        DrawStatistics();
        DrawObjectLabels();
    }
    plat::SetPixel(wf::RoundToInt(gState.mouseX), wf::RoundToInt(gState.mouseY), kMouseColour);
    if (NoValidData()) DrawNoValidDataScreen();
    DrawBottomBar();
    plat::End2D();
}
