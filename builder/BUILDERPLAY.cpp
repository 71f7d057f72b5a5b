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
#include "worldfiles/convert.h"
#include "worldfiles/webexport.h"

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

void ExportForWebCommand(const std::string& runtimeDirectory) {
    PLAT_MARK("BUILDERPLAY");
    if (!wf::WebRuntimePresent(runtimeDirectory)) {
        plat::MessageBox(kBuilderErrorTitle, "The web runtime is not there:\n" + runtimeDirectory +
                                                 "\nBuild it with scripts/web-build.sh, then export again.");
        return;
    }
    const std::string folder = plat::RequestFolder("MAP-BUILDER: Export for Web into Folder:", "");
    if (folder.empty()) return;
    // The map being edited goes in as the start area's map, through a scratch file of its own
    // (the F5 scratch map is watched by a running engine).
    const std::string mapPath = gBuilder.startDirectory + plat::NativePath("USER\\_WEBMAP");
    plat::MakeDirectories(gBuilder.startDirectory + "USER");
    if (!WriteMapFile(mapPath)) {
        ShowMapWriteError(mapPath);
        return;
    }
    wf::WebExportReport report;
    std::string problem;
    const bool written = wf::ExportWorldForWeb({gBuilder.startDirectory, runtimeDirectory, folder, mapPath}, report, problem);
    plat::RemoveDirectoryTree(mapPath);
    if (!written) {
        plat::MessageBox(kBuilderErrorTitle, "Can Not Export for Web:\n" + problem);
        return;
    }
    std::string text = "The world is a web page in\n" + folder + "\n(" + wf::IntText(report.files) + " files, " +
                       wf::IntText(static_cast<int64_t>(report.bytes)) + " bytes).\n" +
                       "Try it with 'python3 -m http.server' in that folder and http://localhost:8000/";
    for (const std::string& path : report.missing) text += "\nNot in the world: " + path;
    plat::MessageBox("MAP-BUILDER: Export for Web", text);
}
