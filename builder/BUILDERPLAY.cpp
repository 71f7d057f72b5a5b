// BUILDERPLAY: F5 writes the map to the world's scratch map and starts the engine on it; the
// builder goes on at once. F5 while that engine runs writes the scratch map again and brings the
// engine's window forward: the engine loads a changed map by itself.
#include "builder/BUILDERPLAY.h"

#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERio.h"
#include "platform/dialogs.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/process.h"

std::string PlayMapPath() { return gBuilder.startDirectory + plat::NativePath("USER\\_PLAYMAP"); }

void NoteEngineEnd() {
    if (gBuilder.engineRun.Valid()) plat::ProgramRunning(gBuilder.engineRun);
}

void PlayMapInEngine() {
    PLAT_MARK("BUILDERPLAY");
    const std::string mapPath = PlayMapPath();
    plat::MakeDirectories(gBuilder.startDirectory + "USER");
    if (!WriteMapFile(mapPath)) {
        ShowMapWriteError(mapPath);
        return;
    }
    if (plat::ProgramRunning(gBuilder.engineRun)) {
        plat::BringProgramToFront(gBuilder.engineRun);
        return;
    }
    const std::string engine = plat::FindProgram(kEngineProgram);
    if (engine.empty()) {
        plat::MessageBox(kBuilderErrorTitle, std::string("Can Not Find ") + kEngineProgram +
                                                 "\nIt is looked for beside plom and on the search path (PATH).");
        return;
    }
    gBuilder.engineRun = plat::StartProgram(engine, {"--map", mapPath}, gBuilder.startDirectory);
    if (!gBuilder.engineRun.Valid()) {
        plat::MessageBox(kBuilderErrorTitle, "Can Not Start " + engine);
    }
}
