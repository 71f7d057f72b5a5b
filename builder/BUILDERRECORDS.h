// BUILDERRECORDS: the map builder's state records (BuilderState, BuilderSettings, TileType,
// MapTile), the window and menu numbers, the selected tile type and the shutdown path.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/mapfile.h"

// Window and menu numbers the event dispatch tests.
constexpr int kMainWindow = 100;
constexpr int kTileWindow = 102;
constexpr int kDescriptorWindow = 103;
constexpr int kTileMenu = 104;
constexpr int kDescriptorMenu = 108;
constexpr int kSheetWindow = 130;      // the sprite-sheet layout window, open while a sheet is imported

// The menu items' numbers: the menus are built with them (BUILDERWINDOW) and their events
// dispatched by them (BUILDEREVENTHANDLER).
enum MenuItem : int {
    kItemLoadMap = 105,
    kItemQuit = 106,
    kItemAbout = 107,
    kItemKillDna = 109,
    kItemSetDna = 110,
    kItemSaveMap = 114,
    kItemRedrawMap = 115,
    kItemRefreshTiles = 116,
    kItemNewMap = 117,
    kItemImportTile = 118,
    kItemImportTileset = 119,
    kItemHideWindow = 122,
    kItemMiniMap = 125,
    kItemScreenshot = 126,
    kItemWorkMap = 127,
    kItemExportForWeb = 128,
    kItemExportTiledMap = 140,
    kItemImportTiledMap = 141,
};
// The descriptor window's buttons (control numbers), made by BUILDERDESCRIPTOR.
constexpr int kSetDnaButton = 100;
constexpr int kKillDnaButton = 101;

// One tile type of the tile library: a graphic in the graphics directory with a descriptor.
struct TileType {
    std::string name;              // graphic's file name up to the graphics extension
    std::string descriptorPath;    // graphics directory + name + ".dll", set when it is read
    int8_t usable = 0;             // 1: descriptor missing or holds an unrecognised key
    wf::BuilderTileDescriptor descriptor;
    plat::Image spriteImage;       // the graphic with white transparent, shown by `sprite`
    plat::Drawable sprite;         // scalable sprite; invalid when the graphic failed to load
    float width = 0, height = 0;   // pixels: placing size, the graphic's size after every build
    float zoom = 0;                // 0 after loading; copied into new tiles
    plat::Image thumbnail;         // the graphic once more, for the tile menu
    int thumbX = 0, thumbY = 0;    // pixels in the tile window's client area
};

// One placed tile of the map being edited.
struct MapTile {
    std::string name;              // the tile type's name, written to map files
    plat::Drawable sprite;         // shared with its tile type, never freed through the tile
    int libraryIndex = 0;          // index of its tile type when placed or read
    float x = 0, y = 0;            // screen pixels (the map holds tiles in screen coordinates)
    float width = 0, height = 0;   // pixels
    float startX = 0, startY = 0;  // pixels, follow scrolling
    float spawnX = 0, spawnY = 0;  // pixels, set when read from a map file
    float zoom = 0;
    int layer = 0;                 // drawing layer, 0 and up
    int8_t active = 0;             // 0: deleted or never usable (not drawn, not saved, not hit)
    wf::BuilderTileDescriptor descriptor;  // copy of its type's values when placed or read
};

// Values of the configuration chain (main configuration, application script, application
// file, interface file, codec file), keys letter for letter.
struct BuilderSettings {
    std::string DEFAULTINISCRIPT;  // path of the application script
    float RESBASEW = 0, RESBASEH = 0;
    int32_t WINDOWMODE = 0;        // 0: main window at desktop size; other: no window
    int32_t WINDOWFLAGS = 0;
    int32_t DEPTH = 0;             // bits per pixel
    float WIDTH = 0, HEIGHT = 0;   // pixels; the desktop size replaces them in window mode 0
    int32_t TOP = 0, LEFT = 0;
    std::string NAME;
    int32_t R = 0, G = 0, B = 0;
    int32_t GFXDETAIL = 0;
    std::string APPINIFILE;        // path of the application file
    std::string DNA;               // path of the default descriptor when set
    int32_t MAXTILES = 0;          // highest placed-tile slot
    int32_t MATRIXRASTER = 0;      // grid step, pixels
    // Application file: directories and files, each prefixed with the start directory.
    std::string GFXPATH, SNDPATH, SAVEPATH, LOADPATH, GFXSCRIPTS, MAPENV, LOGFILE, UNIVERSE,
        DEVELOPEPATH, DESCRIPTOR, GUIINI, CODECS;
    int32_t PROMO = 0;
    // Interface file (no effect in the builder).
    int32_t MAXGUIITEMS = 0, USEBGBOX = 0, GUITOP = 0, GUIH = 0, GUIOBJECTSIZE = 0;
    // Codec file.
    std::string GFXCODEC;          // extension of tile graphics with its dot
    std::string SOUNDCODEC, MUSICCODEC;
};

// Text of the fault report prepared before any fault, so the fault handler only copies and
// writes (no allocation while a fault is handled).
struct FaultReport {
    char logPath[4096] = {};       // current directory + "USER/ERR!!!!.txt"
    char userDirectory[4096] = {}; // current directory + "USER"
    char backupPrefix[4096] = {};  // current directory + "USER/_LAZARUS"
};

struct BuilderState {
    // --- for the whole run ---
    std::string startDirectory;         // current directory at start-up, ends with a separator
    std::string defaultDescriptorPath;  // template of the descriptor window
    std::string mainConfigurationPath;  // start directory + "_DATA/ini.txt"
    float screenWidth = 0, screenHeight = 0;  // pixels
    std::string rasterModeNames[3];     // names of raster modes 0, 1, 2
    int descriptorRowBase = 500;        // control number of the first key field; values at twice it
    int descriptorRowCount = 0;         // rows of the descriptor window
    std::string descriptorTileName;     // tile type last chosen in the tile menu, "" before any
    uint8_t quitFlag = 0;               // the main loop ends when it is 1
    plat::Process engineRun;            // the engine started by F5, invalid when none
    FaultReport fault;

    // --- tile library, rebuilt by every map read ---
    std::vector<TileType> tileLibrary;
    int lastLibraryIndex = -1;          // last tile type whose graphic loaded, -1 for none

    // --- the map being edited ---
    std::vector<MapTile> mapTiles;      // slots 0..maxTiles (more when a map file held more)
    int lastTileIndex = -1;             // last used slot, -1 for an empty map
    int maxTiles = 0;                   // highest slot a placement may use
    int actualTile = 0;                 // selected tile type (index into tileLibrary)
    int actualLayer = 1;                // layer for new tiles, 0..64
    int maxUsedLayer = 0;               // highest layer drawn
    int scrollX = 0, scrollY = 0;       // pixels scrolled since the map was cleared or read
    float zoomX = 1, zoomY = 1;         // 1.0 work map, 0.1 minimap
    std::string currentMapFile;         // path last loaded, "1" after start-up

    // --- editing: cursor, raster, input latches and the two display flags ---
    int rasterMode = 2;                 // 0 free cursor, 1 tile-step scrolling, 2 grid cursor
    int gridSize = 0;                   // grid step, pixels (MATRIXRASTER)
    int mouseX = 0, mouseY = 0;         // build cursor, screen pixels (-1 outside the window)
    int resizeDelta = 0;                // wheel notches of the last main-window event, signed
    int scrollStep = 0;                 // pixels of the last scroll request, signed
    int buttonLatch = 0;                // 1 after a build or delete until both buttons are up
    int tileWindowHidden = 0;           // 1 hides the tile and descriptor windows at the next event
    int tileScrollRow = 0;              // first thumbnail row shown in the tile window, 0 and up
    int quickHelp = 0;                  // 1 draws the quick help over the map
    int64_t lastRedrawMs = -50;         // clock of the last redraw of the main window, milliseconds

    // --- the sprite-sheet layout window, open while a sheet waits for its layout ---
    std::string sheetPicture;           // path of the sheet; "" while the window is closed
    plat::Image sheetImage;             // the sheet, drawn under its grid in the window
    std::string sheetNote;              // the line under the fields: what the grid cuts, or why not
    int sheetTransparentColour = -1;    // 0xRRGGBB the sheet's Tiled tileset makes transparent, -1 none

    // --- undo history (numbered snapshot files) ---
    int undoCounter = 0;                // number of the next snapshot
    int undoPos = 0;                    // snapshot last written or read
    int maxUndo = 0;                    // highest snapshot written
};

extern BuilderState gBuilder;
extern BuilderSettings gBuilderSettings;

// Start-up step 1: every field to its start value; the start directory is taken here, once.
void SetBuilderStartValues();
// Prepares the fault report (paths below the current directory, the local time offset).
void PrepareFaultReport();
// Closes windows 102, 103 and 100, releases everything and exits with code 0.
[[noreturn]] void EndBuilder();
// A configuration file cannot be opened: the box "PLOM ERROR ", then shutdown.
[[noreturn]] void ReportConfigFailure(const std::string& path);
// The selected tile type, or nullptr when `actualTile` names none.
TileType* SelectedTileType();
// The index of the first tile type named `name`; -1 when there is none.
int TileTypeIndex(const std::string& name);
// The placed tiles a map file holds: slots 0 to the last used one, within the table.
size_t PlacedTileCount();
// Slot `index` of the placed-tile table `tiles` (a std::vector<MapTile>) as the map file's writer
// reads it; allocates nothing, for the fault path's backup too.
wf::MapTileView PlacedTileView(const void* tiles, size_t index);
