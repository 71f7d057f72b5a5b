// BUILDERENV: the map builder's start values, start-up in its fourteen steps and the blocking
// main loop, on top of every other unit (the records and the shutdown path are in BUILDERRECORDS).
#include "builder/BUILDERENV.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <new>
#include <stdexcept>

#include "builder/BUILDEREVENTHANDLER.h"
#include "builder/BUILDERINIODA.h"
#include "builder/BUILDERKEYBOARD.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERPARSER.h"
#include "builder/BUILDERPLAY.h"
#include "builder/BUILDERTESTROUTINES.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERWINDOW.h"
#include "builder/BUILDERWORLD.h"
#include "builder/BUILDERio.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/windows.h"
#include "worldfiles/convert.h"

namespace {

// Sizes the placed-tile table to MAXTILES + 1 slots. MAXTILES is the user's setting, so a value
// whose table cannot be had is a configuration error to explain, not a run-time fault.
void AllocatePlacedTileTable() {
    const size_t slots = PlacedTileSlots(gBuilder.maxTiles);
    bool failed = false;
    try {
        gBuilder.mapTiles.assign(slots, MapTile{});
    } catch (const std::length_error&) {
        failed = true;  // more bytes than a vector can ever hold
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed) ShowTileTableTooLarge(gBuilder.maxTiles, static_cast<uint64_t>(slots) * sizeof(MapTile));
}

}  // namespace

bool StartBuilder() {
    PLAT_MARK("BUILDERENV");
    SetBuilderStartValues();
    plat::InitSprites();
    plat::Init3D();
    plat::InitMouse();

    // The configuration chain; the main window opens once the display keys are known.
    ReadMainConfiguration();  // a missing file ends the builder here
    ReadApplicationScript(gBuilderSettings.DEFAULTINISCRIPT);
    ReadApplicationFile(gBuilderSettings.APPINIFILE);
    if (gBuilderSettings.WINDOWMODE == 0) {
        const plat::WorkArea area = plat::QueryWorkArea();
        gBuilderSettings.WIDTH = static_cast<float>(area.width);
        gBuilderSettings.HEIGHT = static_cast<float>(area.height);
        gBuilder.screenWidth = gBuilderSettings.WIDTH;
        gBuilder.screenHeight = gBuilderSettings.HEIGHT;
        OpenBuilderWindows();
    }
    ReadApplicationFile(gBuilderSettings.APPINIFILE);
    ReadCodecFile(gBuilderSettings.CODECS);

    PLAT_MARK("BUILDERENV");
    BuildTileLibrary();
    gBuilder.maxTiles = gBuilderSettings.MAXTILES;
    gBuilder.gridSize = gBuilderSettings.MATRIXRASTER;
    AllocatePlacedTileTable();  // a table too large for memory ends the builder here, with a message
    plat::InitMouse();
    ReadInterfaceFile(gBuilderSettings.GUIINI);
    plat::InitKeyboard();
    DrawThumbnails();

    PLAT_MARK("BUILDERENV");
    ReadMapFile("1");
    gBuilder.currentMapFile = "1";

    if (!plat::WindowExists(kMainWindow)) {
        ShowErrorMessage(kErrorMainWindow);  // ends the builder
        return false;
    }
    plat::ActivateWindow(kTileWindow);
    return true;
}

void RunBuilderLoopTurn() {
    PLAT_MARK("BUILDERENV");
    const plat::WindowEvent event = plat::WaitEvent();
    try {
        if (event.kind != plat::kEventNone) {
            HandleEvent(event);
            KeyboardStep();
        } else if (!plat::WindowExists(kMainWindow)) {
            gBuilder.quitFlag = 1;  // no window is left that could ever send an event
        }
    } catch (const std::exception& error) {
        plat::RaiseFault(error.what());
    } catch (...) {
        plat::RaiseFault("UNKNOWN EXCEPTION");
    }
    PLAT_MARK("BUILDERENV");
    NoteEngineEnd();
    ArmFaultHandler();
}

void RunBuilder() {
    // Armed from the start, so a fault during start-up or the first wait is handled too.
    ArmFaultHandler();
    // An exception while starting takes the fault path with its text, as one in the loop does,
    // rather than aborting the process (a tile table too large for memory is told apart first).
    bool started = false;
    try {
        started = StartBuilder();
    } catch (const std::exception& error) {
        plat::RaiseFault(error.what());
    } catch (...) {
        plat::RaiseFault("UNKNOWN EXCEPTION");
    }
    if (started) {
        while (gBuilder.quitFlag != 1) RunBuilderLoopTurn();
    }
    EndBuilder();
}
