// BUILDERTESTROUTINES: the screen log and quick help, and the fault path. The log entry is composed in buffers of BuilderState
// prepared before any fault (paths, time offset), with plain write(2): no allocation while a
// fault is handled. The crash backup and the message box follow once the entry is on disk.
#include "builder/BUILDERTESTROUTINES.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERio.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/windows.h"
#include "worldfiles/convert.h"

namespace {

void CopyText(char* target, size_t size, const std::string& text) {
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

// Appends text to a fixed buffer, cutting it off at the buffer's end.
struct EntryWriter {
    char* buffer;
    size_t size;
    size_t used = 0;

    void Text(const char* text) {
        for (; text != nullptr && *text != '\0' && used + 1 < size; ++text) buffer[used++] = *text;
        buffer[used] = '\0';
    }
    void Number(long long value, int minDigits) {
        char digits[24];
        int n = 0;
        const bool negative = value < 0;
        unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                                : static_cast<unsigned long long>(value);
        do {
            digits[n++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0 && n < 22);
        while (n < minDigits && n < 22) digits[n++] = '0';
        if (negative) digits[n++] = '-';
        char text[24];
        for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
        text[n] = '\0';
        Text(text);
    }
    void Line(const char* text) {
        Text(text);
        Text("\r\n");
    }
};

struct CivilTime {
    long long year;
    int month, day, hour, minute, second;
};

// Local civil time of a date value, from the UTC offset prepared in advance (days to civil
// date after H. Hinnant's algorithm; no time-zone lookup while a fault is handled).
CivilTime ToCivil(long long date, long offset) {
    long long seconds = date + offset;
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        days -= 1;
    }
    CivilTime t{};
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    t.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0);
    return t;
}

void WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) return;
        data += n;
        size -= static_cast<size_t>(n);
    }
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

void PrepareFaultReport() {
    FaultReport& report = gBuilder.fault;
    const std::string directory = plat::CurrentDirectory();
    CopyText(report.logPath, sizeof report.logPath, directory + plat::NativePath("USER\\ERR!!!!.txt"));
    CopyText(report.userDirectory, sizeof report.userDirectory, directory + "USER");
    CopyText(report.backupPrefix, sizeof report.backupPrefix, directory + plat::NativePath("USER\\_LAZARUS"));
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    report.utcOffset = localtime_r(&now, &local) != nullptr ? local.tm_gmtoff : 0;
}

void ArmFaultHandler() {
    PrepareFaultReport();
    plat::InstallFaultHandler(BuilderFatalErrorHandler);
}

void BuilderFatalErrorHandler(const char* description, const char* module, int line) {
    FaultReport& report = gBuilder.fault;
    const long long date = static_cast<long long>(std::time(nullptr));
    // The log and the backup go below "USER"; a missing directory would lose both.
    ::mkdir(report.userDirectory, 0755);

    const CivilTime t = ToCivil(date, report.utcOffset);
    EntryWriter entry{report.entry, sizeof report.entry};
    entry.Text("ZEFA ERROR INFO: DATE: ");
    entry.Number(t.hour, 2);
    entry.Text(":");
    entry.Number(t.minute, 2);
    entry.Text(":");
    entry.Number(t.second, 2);
    entry.Text("   ");
    entry.Number(t.year, 4);
    entry.Text(",");
    entry.Number(t.month, 2);
    entry.Text(",");
    entry.Number(t.day, 2);
    entry.Text("\r\n");
    entry.Text("ERROR: Include: ");
    entry.Line(module != nullptr ? module : "UNKNOWN");
    entry.Text("LINE: ");
    entry.Number(line, 1);
    entry.Text("\r\n");
    entry.Text("WHAT: ");
    entry.Line(description != nullptr ? description : "");
    entry.Line("-");
    entry.Line("-");
    entry.Line("-");
    const int fd = ::open(report.logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        WriteAll(fd, entry.buffer, entry.used);
        ::close(fd);
    }

    // The entry is safe on disk; the backup and the box use the ordinary services.
    const std::string dateText = wf::IntText(date);
    WriteMapFile(report.backupPrefix + dateText);
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
