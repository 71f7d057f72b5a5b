// BUILDERTESTROUTINES: the screen log and quick help, and the fault path. The fault's log entry
// and crash backup are made from buffers prepared before any fault (paths, time offset) and
// written with the system's plain file calls: no allocation while a fault is handled. The message box follows
// once both are on disk, under a watchdog that ends the process whatever the box or the release do.
#include "builder/BUILDERTESTROUTINES.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "builder/BUILDERRECORDS.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/windows.h"
#include "worldfiles/convert.h"
#include "worldfiles/mapfile.h"

namespace {

// A file written through a fixed buffer with the fault routines' plain writes only: nothing
// allocates, so it works after the heap itself was damaged.
class RawFile {
public:
    explicit RawFile(const char* path) : file_(plat::CreateFaultFile(path)) {}
    ~RawFile() { Close(); }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;

    void Line(const char* text, size_t length) {
        Put(text, length);
        Put("\r\n", 2);
    }
    // True when every byte reached the file.
    bool Close() {
        if (!file_.Valid()) return false;
        Flush();
        ok_ = plat::CloseFaultFile(file_) && ok_;
        return ok_;
    }

private:
    void Put(const char* data, size_t length) {
        if (used_ + length > sizeof buffer_) Flush();
        if (length > sizeof buffer_) {
            WriteAll(data, length);
            return;
        }
        std::memcpy(buffer_ + used_, data, length);
        used_ += length;
    }
    void Flush() {
        WriteAll(buffer_, used_);
        used_ = 0;
    }
    void WriteAll(const char* data, size_t size) {
        if (file_.Valid() && size > 0 && !plat::WriteFaultFile(file_, data, size)) ok_ = false;
    }

    plat::FaultFile file_;
    bool ok_ = true;
    size_t used_ = 0;
    char buffer_[16384];
};

void PutRawLine(void* file, const char* text, size_t length) { static_cast<RawFile*>(file)->Line(text, length); }

// The placed-tile table as a map file, byte for byte what WriteMapFile writes (the same layout
// writer), made without allocating.
bool WriteMapFileRaw(const char* path) {
    RawFile file(path);
    wf::WriteMapLines(&gBuilder.mapTiles, PlacedTileCount(), PlacedTileView, &file, PutRawLine);
    return file.Close();
}

constexpr plat::Colour kLogText{0, 0, 0};
constexpr plat::Colour kLogBackground{255, 255, 255};
constexpr plat::Colour kHelpBox{15, 15, 15};
constexpr plat::Colour kHelpText{200, 255, 0};

void LogLine(int y, const std::string& text) { plat::DrawText(0, y, text, kLogText, true, kLogBackground); }

struct HelpLine {
    int offset;  // pixels below the middle of the screen
    const char* text;
};
constexpr HelpLine kHelpLines[] = {
    {0, "HELP: [H]"},
    {16, "[SCREEN UP]/[SCREEN DOWN] to change layer"},
    {32, "LeftMouseButton=Build Tile"},
    {48, "[U] = Undo, [R] = Redo, [G] To Use GRID,[C] To Switch ALL Raster Build OFF"},
    {64, "Use MouseWheel to resize tile"},
    {80, "[CURSOR]-Keys to move map in all directions"},
    {96, "Close TileMenuWindow To Start Tile Build"},
    {112, "Use [TAB] To Reactivate TileMenuWindow"},
    {128, "[LeftALT] RasterBuildMode: Use TileDimnsions To Move Tile"},
    {142, "Right MouseButton To Delete Tile  Using The Actual Layer"},
    {158, ""},
    {174, "plom builds the maps of tasko: save them as MAPS/LVL<n>.dll"},
};

}  // namespace

void DrawScreenLog() {
    const int last = gBuilder.lastTileIndex;
    const MapTile* lastTile =
        last >= 0 && last < static_cast<int>(gBuilder.mapTiles.size()) ? &gBuilder.mapTiles[last] : nullptr;
    LogLine(8, "MapBuilder ScreenLog: Press [H] for QuickHelp");
    LogLine(28, "Tiles used in Map:" + wf::IntText(last) + " of " + wf::IntText(gBuilder.maxTiles));
    LogLine(48, "MaxUndo" + wf::IntText(gBuilder.undoCounter));
    LogLine(68, "Actual Tile:" + wf::IntText(gBuilder.actualTile));
    if (lastTile != nullptr) {
        LogLine(88, "Internal Static TileID:" + wf::IntText(lastTile->libraryIndex));
        LogLine(108, "GFXFileName:" + lastTile->name);
    }
    LogLine(128, "Actual Map Layer " + wf::IntText(gBuilder.actualLayer));
    LogLine(148, "Global TileID:" + (lastTile != nullptr ? lastTile->descriptor.worldFTileID : std::string()));
    plat::DrawText(gBuilder.mouseX, gBuilder.mouseY, wf::IntText(gBuilder.actualTile), kLogText, true,
                   kLogBackground);
    LogLine(168, "Max Used Layer: " + wf::IntText(gBuilder.maxUsedLayer));
    const int mode = gBuilder.rasterMode;
    LogLine(188, "RasterMODE:" + (mode >= 0 && mode <= 2 ? gBuilder.rasterModeNames[mode] : std::string()));
    if (gBuilder.tileWindowHidden == 1) LogLine(208, "For TileWindow press [TAB]");
}

void DrawQuickHelp() {
    const int width = wf::RoundToInt(gBuilder.screenWidth);
    const int height = wf::RoundToInt(gBuilder.screenHeight);
    plat::DrawBox(0, height / 2 - 16, width / 2, height / 2, kHelpBox, true);
    for (const HelpLine& line : kHelpLines) {
        plat::DrawText(32, height / 2 + line.offset, line.text, kHelpText, false);
    }
}

void ArmFaultHandler() {
    PrepareFaultReport();
    plat::InstallFaultHandler(BuilderFatalErrorHandler);
}

void BuilderFatalErrorHandler(const char* description, const char* module, int line) {
    // Runs in place of the faulting code, maybe with a damaged heap: the log entry and the crash
    // backup are made from buffers prepared in advance and written with plain file calls; only once
    // both are on disk does the builder use the ordinary services for its box.
    FaultReport& report = gBuilder.fault;
    const long long date = plat::FaultDateNow();
    // The log and the backup go below "USER"; a missing directory would lose both.
    plat::MakeDirectoryRaw(report.userDirectory);

    plat::FaultText entry;
    entry.Append("ZEFA ERROR INFO: DATE: ");
    plat::AppendFaultDate(entry, "%hh:%ii:%ss   %yyyy,%mm,%dd", date);
    entry.Append("\r\nERROR: Include: ");
    entry.Append(module != nullptr ? module : "UNKNOWN");
    entry.Append("\r\nLINE: ");
    entry.AppendInt(line);
    entry.Append("\r\nWHAT: ");
    entry.Append(description, 1024);
    entry.Append("\r\n-\r\n-\r\n-\r\n");
    plat::AppendToFileRaw(report.logPath, entry.data, entry.length);

    plat::FaultText backup;
    backup.Append(report.backupPrefix);
    backup.AppendInt(date);
    WriteMapFileRaw(backup.data);
    // Both are on disk. Whatever follows (the box, closing windows, releasing GL, perhaps inside
    // the FLTK or GL call that faulted) ends with exit code 0 within the watchdog's time, and a
    // further fault ends the process at once. The box thus closes by itself after that time.
    plat::ArmFaultWatchdog(kFatalPathSeconds);

    const std::string dateText = wf::IntText(date);
    plat::MessageBox("QUENT BUILDER FATAL ERROR:",
                     "Description is stored in: _ERR!!!!.txt\nBackup off your work is stored:" +
                         plat::NativePath("USER\\_LAZARUS") + dateText +
                         "\nTo Restore your work load the _LAZARUS With the  MAP EDITOR");
    for (int window : {kTileWindow, kDescriptorWindow, kMainWindow}) {
        if (plat::WindowExists(window)) plat::CloseWindow(window);
    }
    plat::ReleaseAll();
    std::_Exit(0);
}
