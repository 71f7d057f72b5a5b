// RECORDS: the engine's process-wide records (defined in RECORDS.cpp): settings, run-time state,
// the tile library and the world of the loaded area. Every engine unit reads and writes them directly (one thread).
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/handles.h"
#include "worldfiles/descriptor.h"

// Configuration: the keys of CORE/ini.crc and of the codec file, named letter for letter.
struct EngineSettings {
    std::string SYSTEMTEXT;                   // path of the system text file
    std::string ATOMSYSTEM;                   // stored, unused
    float GRIDSIZE = 0;                       // grid cell size in source pixels
    int32_t MATRIXSIZE = 0;                   // last grid cell index per direction, at most 256
    float MATRIX_OFFSET_X = 0;                // world offset X in pixels (scrolling)
    float MATRIX_OFFSET_Y = 0;                // world offset Y in pixels
    int32_t APPMODE = 0;                      // 1 shows the developer overlay
    std::string CODECS;                       // path of the codec file
    std::string GFX;                          // tile directory prefix
    int32_t MAXOBJECTS = 0;                   // last index of the object tables
    std::string SIMCORE;                      // map file name prefix
    float SOURCEWIDTH = 1.0f;                 // source resolution width, pixels
    std::string ANIMSYSTEM;                   // animation root prefix
    int32_t MAXANIMFRAMES = 0;                // frames tried per animation folder
    float SOURCEHEIGHT = 1.0f;                // source resolution height, pixels
    std::string SOUNDPATH;                    // area sound prefix
    std::string ERRORPATH;                    // error log path
    std::string WARNINGS;                     // warning log path
    int8_t USRSCROLL = 0;                     // non-zero: user scrolling allowed
    std::string VERSION = "VERSION INFO MISSING";
    int8_t DYNAMICSCROLL = 0;                 // non-zero: the view follows the player
    int8_t PIP = 0;                           // non-zero: picture-in-picture
    int32_t APPENTRY = 0;                     // area loaded at start
    int8_t APPSMOOTH = 0;                     // non-zero: smoothing pass
    int8_t MULTITASK = 0;                     // frame delay, milliseconds 0..127

    std::string GFXCODEC;                     // graphics extension with its dot
    std::string SOUNDCODEC;                   // sound extension with its dot
    std::string MUSICCODEC;                   // stored, unused

    std::string simulationScopeText = "NOPE"; // SIMSCOPE: "MAP" simulates every object, else REGION
    int8_t simulationScope = 13;              // 13 region, 14 map
};

inline constexpr int8_t kScopeRegion = 13;
inline constexpr int8_t kScopeMap = 14;
inline constexpr int kGridCells = 257;        // grid cells per direction, indices 0..256
inline constexpr int kAnimFolders = 4;        // LEFT, RIGHT, UP, DOWN
inline constexpr int32_t kNoArea = -1000;     // EngineState::loadedArea before the first load

// A text many objects share (names, folders and effects come from the tile kinds): each object
// holds the index of the text in one table of distinct texts instead of a copy. Texts are added
// to the table when first assigned and stay for the life of the process, so a reference to one
// stays valid; index 0 is the empty text.
class SharedText {
public:
    SharedText() = default;
    SharedText(const std::string& text) : id_(IdOf(text)) {}  // NOLINT: converts like a string
    SharedText(const char* text) : id_(IdOf(text)) {}         // NOLINT
    SharedText& operator=(const std::string& text) {
        id_ = IdOf(text);
        return *this;
    }
    SharedText& operator=(const char* text) { return *this = std::string(text); }
    const std::string& str() const { return Table()[static_cast<size_t>(id_)]; }
    operator const std::string&() const { return str(); }  // NOLINT: reads like a string
    bool empty() const { return id_ == 0; }
    size_t size() const { return str().size(); }
    const char* c_str() const { return str().c_str(); }
    bool operator==(const SharedText& other) const { return id_ == other.id_; }
    bool operator==(const std::string& text) const { return str() == text; }
    // Lengths first: most texts compared in the world update differ in length.
    bool operator==(const char* text) const {
        const std::string& own = str();
        return own.size() == std::char_traits<char>::length(text) && own.compare(text) == 0;
    }

private:
    // Read for every text of every object: kept inline.
    static std::deque<std::string>& Table() {
        static std::deque<std::string> texts{std::string()};
        return texts;
    }
    static int32_t IdOf(const std::string& text);
    int32_t id_ = 0;
};

inline std::string operator+(const std::string& a, const SharedText& b) { return a + b.str(); }
inline std::string operator+(const char* a, const SharedText& b) { return a + b.str(); }

// Run-time values of the engine.
struct EngineState {
    int32_t loadedArea = kNoArea;             // kNoArea: none loaded
    int32_t requestedArea = 0;                // loaded at the end of the frame when it differs
    int32_t startArea = 0;                    // APPENTRY
    int32_t screenOpen = 0;                   // non-zero once the display is open
    float desktopWidth = 0, desktopHeight = 0;  // pixels
    int8_t desktopDepth = 0;                  // bits per pixel
    float SCRW = 1.0f, SCRH = 1.0f;           // opened display size, pixels
    float scaleX = 1.0f, scaleY = 1.0f;       // source-to-screen factors
    float zoomX = 1.0f, zoomY = 1.0f;         // overview mode factors
    float sourceRatio = 1.0f;                 // SOURCEWIDTH / SOURCEHEIGHT
    float screenRatio = 1.0f;                 // SCRW / SCRH
    float bandHeight = 1.0f;                  // height of a 16:10 picture of the screen's width
    float bottomBarHeight = 1.0f;             // pixels
    int32_t frameCount = 0;                   // frames of the running second
    int64_t nextSecond = 1000;                // milliseconds: when the frame rate is next taken
    std::string frameRateText;                // frames of the last whole second
    int32_t lastObjectIndex = 0;              // highest used object index
    int32_t lastTileIndex = 0;                // highest tile index whose graphic loaded
    bool anyTileLoaded = false;               // at least one tile graphic loaded
    int32_t gridCellLimit = 256;              // upper bound of MATRIXSIZE
    float cellWidth = 0, cellHeight = 0;      // grid cell size, pixels
    int32_t highestLayer = 0;                 // highest layer of the loaded map
    int32_t currentTileIndex = 0;             // tile of the object created last
    plat::Sound currentSound;                 // the area's looping sound
    int8_t joystickPresent = 0;               // 1 when a joystick was found
    int8_t joystickX = 0, joystickY = 0;      // digital axes, -1/0/1
    int8_t overviewMode = 0;                  // toggled by the user
    int32_t pause = 0;                        // toggled by the user
    int8_t noValidData = 0;                   // 1 when a map file could not be opened
    float mouseX = 0, mouseY = 0;             // screen pixels
    float mouseWorldX = 0, mouseWorldY = 0;   // world pixels
    int32_t mouseAreaX = 0, mouseAreaY = 0;   // grid cell under the mouse
    std::string hitText1, hitText2, scopeText;  // shown by the overlay; nothing sets them
    std::string engineDirectory;              // working directory + "CORE" + separator
    std::string startMapFile;                 // --map: played as the start area's map, "" for none
    int64_t mapFileTime = -1;                 // modification time of the loaded area's map as read; -1: missing
    int64_t nextMapCheck = 0;                 // milliseconds: when that map file is next looked at
    std::string errorDetail;                  // what failed: a file path or a reason (fatal boxes)
    std::array<char, 4096> faultLogPath{};    // ERRORPATH copied for the fault routine (no allocation there)
};

// The eight start-up error texts, indexed by ErrorCode.
enum ErrorCode : uint8_t {
    kErrorUnknown = 0,
    kErrorInitIo = 1,
    kErrorInit2dGfx = 2,
    kErrorInit3dGfx = 3,
    kErrorInitUi = 4,
    kErrorInitInit = 5,
    kErrorOpenDeveloperWindow = 6,
    kErrorOpenWorldScreen = 7,
};
struct SystemTexts {
    std::array<std::string, 8> texts;
};

// One tile kind of the tile library.
struct TileKind {
    std::string name;                         // graphic file name up to the GFXCODEC text
    plat::Image sprite;                       // loaded graphic, or invalid
    float width = 0, height = 0;              // pixels
    wf::TileDescriptor descriptor;            // behaviour values
};

// One object of the loaded world.
struct WorldObject {
    plat::Drawable sprite;                    // drawable shown now
    plat::Drawable tileDrawable;              // drawable made from the tile graphic (owned)
    int32_t animFrame = 0;                    // current frame, shared by the folders
    std::array<int32_t, kAnimFolders> animCount{};  // highest frame that loaded per folder
    std::array<int32_t, kAnimFolders> animFirst{};  // per folder: World::animationFrames index of frame 1
    int32_t animLimit = 0;                    // frames tried per folder (at most 31)
    SharedText animContainer;                 // animation folder name
    float x = 0, y = 0;                       // top-left, world pixels
    int8_t collision = 0;                     // non-zero: collides
    float width = 0, height = 0;              // drawn size, pixels
    float rotateSpeed = 0;                    // radians per frame
    SharedText followName;                    // idString of the object to follow
    float alpha = 0;                          // opacity 0..255
    int32_t baseAlpha = 0;                    // opacity restored each frame
    int32_t touchTransparency = 0;            // non-zero: halve alpha when touched
    int32_t playerID = 0;                     // non-zero: a player
    float angle = 0;                          // radians
    float velo = 0;                           // descriptor speed
    int8_t state = 0;                         // 1 active, -1 hidden this frame, 0 out of play
    int32_t followObject = 0;                 // non-zero: follow followName
    float moveH = 0, moveV = 0;               // direction per axis, -1/0/1
    int8_t useKeyboard = 0;
    int8_t useJoyStick = 0;
    int32_t touchRotate = 0;                  // non-zero: spins when touched
    int32_t layer = 0;                        // 0..8
    int8_t transport = 0;                     // non-zero: conveyor
    float fadeIn = 0;                         // opacity per frame
    float fadeOut = 0;                        // stored, unused
    float flicker = 0;                        // odds of being hidden
    SharedText idString;                      // the object's name
    SharedText useWeapon;                     // idString of its projectiles
    SharedText postEffect;                    // blending mode "SxD"
    int32_t blendSource = 5;                  // postEffect parsed once at creation: source factor,
    int32_t blendDestination = 6;             // destination factor; both 0: keep the previous blending
    float speedV = 0, speedH = 0;             // pixels per frame
    int8_t stepH = 0, stepV = 0;              // 1: the axis may move this frame
    int8_t randomMove = 0;                    // random direction range
    int32_t lifeTime = 0;                     // life steps left; <= 0 lives for ever
    int32_t timerMS = 0;                      // milliseconds per life step
    int64_t lifeMark = 0;                     // milliseconds of the last life step
    int8_t hasFired = 0;                      // 1 once it fired
    int32_t firedBy = 0;                      // index of the shooter
    int8_t ai = 0;                            // non-zero: steering by the AI hook
    int32_t mirror = 0;                       // mirror effect opacity
    int32_t worldFTileID = 0;                 // copied, no behaviour
    int8_t hideOnStart = 0;                   // 1 out of play, 2 transparent
    SharedText tileName;                      // tile kind's name
    float startX = 0, startY = 0;             // scaled start position
    float sourceX = 0, sourceY = 0;           // unscaled start position
};

// One slot of an object's animation folder: frames 1..animCount of a folder lie one after the
// other in World::animationFrames, so objects without animation carry no frame slots at all.
struct AnimationFrame {
    plat::Image image;                        // decoded frame, shared by the objects of the area
    plat::Drawable drawable;                  // the object's own drawable of it (owned); invalid: gap
};

// Initial values of an object, for re-arming projectiles.
struct ObjectTemplate {
    int8_t collision = 0;
    int32_t opacity = 0;                      // alpha rounded
    float rotateSpeed = 0, velo = 0, speedH = 0, speedV = 0, moveV = 0, moveH = 0;
    int8_t state = 0;
    std::string useWeapon, idString;
    int32_t lifeTime = 0, timerMS = 0;
    int64_t lifeMark = 0;
};

// Indices of the objects others can collide with.
struct CollisionList {
    std::vector<int32_t> entries;             // object indices, MAXOBJECTS + 1 entries
    int32_t count = 0;                        // used entries; 0: nobody can be collided with
};

// An object's box at its next step (collision look-ahead), pixels.
struct StepBox {
    float left = 0, top = 0, right = 0, bottom = 0;
};

// Where one collision list entry stands in the collision grid: its next-step box as filed and
// one to two cells per axis of one level.
struct GridPlace {
    StepBox box;                              // next-step box, rounded
    int32_t column = 0, row = 0;              // first cell, counted in cells of the level from 0
    int8_t level = -1;                        // level of the cells; -1: no partner now, -2: in the wide list
    int8_t columns = 0, rows = 0;             // cells covered per axis, 1 or 2
};

// One list entry's share of a bucket: its filed box and the cell it stands in, kept in the
// bucket itself so that a query reads the bucket front to back.
struct GridItem {
    StepBox box;                              // next-step box, rounded (as in the entry's place)
    int32_t entry = 0;                        // list entry
    int32_t column = 0, row = 0;              // the cell, counted in cells of the level from 0
    int8_t level = 0;                         // level of the cell
    int8_t node = 0;                          // which cell of the place: column offset + 2 * row offset
};

inline constexpr int kGridLevels = 8;         // collision grid levels; each has cells 4 times larger

// The broad phase of the collision check. While the simulation pass runs, every listed object
// in play with collision is filed under the cells its next-step box covers (hashed into
// buckets), at the finest level where that box spans at most two cells per axis; boxes too
// large or too far out for any level stand in the wide list. A mover's partners are found among
// the entries of the cells its own box covers, then taken in list order.
struct CollisionGrid {
    int8_t plainScan = 0;                     // 1: every mover scans the whole list (the reference)
    int8_t current = 0;                       // 1 while the simulation pass keeps the places current
    float cellSize = 2;                       // edge of a level-0 cell, pixels
    int32_t rowStride = 1;                    // buckets from one row of cells to the next
    std::array<int32_t, kGridLevels> levelEntries{};  // entries filed per level
    std::vector<std::vector<GridItem>> buckets;  // items of the cells hashed to each; a power of two
    std::vector<int32_t> itemSlots;           // 4 per list entry: index of each cell's item in its bucket
    std::vector<GridPlace> places;            // per list entry
    std::vector<int32_t> wide;                // list entries in the wide list, any order
    std::vector<int32_t> wideSlot;            // per list entry: its index in `wide`, -1: none
    std::vector<int32_t> firstEntry;          // per object: lowest list entry naming it, -1: none
    std::vector<int32_t> nextEntry;           // per list entry: next entry naming the same object, -1
    std::vector<int32_t> filedList;           // the collision list the grid was built for
    std::vector<int32_t> candidates;          // list entries found for one mover (scratch)
    std::vector<float> extents;               // box sizes at a rebuild (scratch)
    int64_t gridChecks = 0;                   // collision checks answered by the grid (statistics)
    int64_t listScans = 0;                    // collision checks that scanned the whole list
    int64_t touches = 0;                      // touches found by either
};

struct GridCell {
    float x = 0, y = 0, width = 0, height = 0;  // screen pixels
    int8_t occupancy = 0;                     // 0 free, else a collision value
};

// The screen effects' grabbed images and their drawables: one of each, freed and made anew
// every time the effect runs.
struct ScreenEffects {
    plat::Image mirrorImage;                  // area below the last mirror object, white transparent
    plat::Drawable mirrorDrawable;            // mirrorImage squeezed to the object's size
    plat::Image smoothingImage;               // upper-left 90 % of the picture
    plat::Drawable smoothingDrawable;         // smoothingImage at its own size
    plat::Image pictureImage;                 // upper-left 90 % of the picture, magenta transparent
    plat::Drawable pictureDrawable;           // pictureImage at a quarter of its size
};

// The tile library and the world of the loaded area.
struct World {
    std::vector<TileKind> tiles;              // the tile library
    std::vector<WorldObject> objects;         // MAXOBJECTS + 1 entries
    // Initial values of the first object of each name, by idString (projectiles re-arm from them).
    std::unordered_map<std::string, ObjectTemplate> templates;
    CollisionList collisionList;
    CollisionGrid collisionGrid;              // broad phase of the collision check
    std::vector<AnimationFrame> animationFrames;  // the animation folders' frames of all objects
    std::vector<GridCell> grid;               // kGridCells * kGridCells, index i * kGridCells + j
    // Animation frame images decoded during the current area's load, by path (invalid: did not load).
    std::unordered_map<std::string, plat::Image> frameImages;
    ScreenEffects effects;                    // survive area loads; each effect frees its own
};

extern EngineSettings gSettings;
extern EngineState gState;
extern SystemTexts gTexts;
extern World gWorld;

// Number of entries of the object tables (MAXOBJECTS + 1, at least 1 once they are set up).
int ObjectCapacity();
// Highest object index the world update, the saves and the overlay visit: the last object
// index, within the tables.
int LastObjectIndex();
GridCell& Cell(int i, int j);
// Frame `slot` (1..31) of an object's animation folder; an empty slot (invalid image and
// drawable) outside 1..animCount.
AnimationFrame AnimationSlot(const WorldObject& object, int folder, int slot);
// Releases every platform resource and ends the process with exit code 0.
[[noreturn]] void EndEngine();
