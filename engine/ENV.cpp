// ENV: start values of the engine's records, the start-up sequence and the main loop.
// The loop reads like the frame script: quit test, arm the fault handler, input, frame, area load.
#include "engine/ENV.h"

#include <cstdlib>
#include <exception>
#include <string>

#include "engine/DDD_NODE.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "engine/basevars.h"
#include "engine/gui.h"
#include "engine/systemcore.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/input.h"

void SetStartValues() {
    gSettings = EngineSettings{};
    gState = EngineState{};
    gTexts = SystemTexts{};
    gWorld = World{};
    gWorld.grid.assign(static_cast<size_t>(kGridCells) * kGridCells, GridCell{});
    gState.engineDirectory = plat::CurrentDirectory() + "CORE" + plat::PathSeparator();
}

void RunEngine(const std::string& startMapFile) {
    PLAT_MARK("ENV");
    SetStartValues();
    gState.startMapFile = startMapFile;
    const plat::DesktopInfo desktop = plat::QueryDesktop();
    gState.desktopWidth = static_cast<float>(desktop.width);
    gState.desktopHeight = static_cast<float>(desktop.height);
    gState.desktopDepth = static_cast<int8_t>(desktop.depth);

    // Start-up has no fault handler yet; a failure it cannot report otherwise (such as tables
    // too large for memory from an absurd MAXOBJECTS, or memory running out while the
    // configuration is read) still ends with the two boxes.
    try {
        RunStartUpSteps();
    } catch (const std::exception& e) {
        gState.errorDetail = e.what();
        ShowFatalError(kErrorUnknown);
    } catch (...) {
        gState.errorDetail = "unknown exception";
        ShowFatalError(kErrorUnknown);
    }
    plat::SetNearestSampling(true);

    if (gState.screenOpen == 0) EndEngine();
    plat::PollKeyboard();
    // The desktop repeats the step; a browser page runs it once per animation frame.
    plat::RunFrameLoop(RunMainLoopStep, EndWorld);
}

void EndWorld() {
    plat::CloseScreen();
    EndEngine();
}

void RunStartUpSteps() {
    ReadConfiguration();
    ReadSystemTexts();
    InitSubsystems();
    OpenWorldScreen();
    LoadTileLibrary();
    SetUpWorldTables();
}

void RunMainLoop() {
    plat::PollKeyboard();
    while (RunMainLoopStep()) {
    }
}

bool RunMainLoopStep() {
    PLAT_MARK("ENV");
    if (plat::KeyHeld(plat::kKeyEscape) && plat::KeyHeld(plat::kKeyLeftAlt)) return false;
    plat::InstallFaultHandler(FatalErrorHandler);
    try {
        HandleInput();
        RunFrame();
        if (gState.loadedArea != gState.requestedArea) {
            LoadArea();
        } else {
            ReloadChangedMap();
        }
    } catch (const std::exception& e) {
        // Built without allocating: the exception may be bad_alloc.
        plat::FaultText description;
        description.Append("UNCAUGHT EXCEPTION: ");
        description.Append(e.what());
        plat::RaiseFault(description.data);
    } catch (...) {
        plat::RaiseFault("UNCAUGHT EXCEPTION");
    }
    return true;
}
