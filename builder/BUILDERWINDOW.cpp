// BUILDERWINDOW: opening the three windows, the screen and the two menus. Window sizes come
// from the desktop's work area, not from the configuration.
#include "builder/BUILDERWINDOW.h"

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERMESSAGE.h"
#include "platform/fault.h"
#include "platform/windows.h"

namespace {

constexpr const char* kMainTitle = "QUENTBUILDER VERSION 0.5 BASED ON ZEFA BUILDER VERSION 0.7";
constexpr int kScreenEdgeOffset = 5;  // pixels kept free at the screen's right and bottom

struct MenuLine {
    const char* title;  // non-null: a drop-down title
    int item;           // item number; 0 with a null title and text: a separator
    const char* text;
};

constexpr MenuLine kTileMenuLines[] = {
    {"BUILDER:", 0, nullptr}, {nullptr, kItemLoadMap, "MAP *Load*"}, {nullptr, 0, nullptr},
    {nullptr, kItemSaveMap, "MAP *Save*"}, {nullptr, 0, nullptr}, {nullptr, kItemQuit, "Quit Builder"},
    {"MAP", 0, nullptr}, {nullptr, kItemRedrawMap, "Redraw MAP"}, {nullptr, 0, nullptr},
    {nullptr, kItemNewMap, "New MAP"}, {nullptr, kItemExportForWeb, "Export for Web..."},
    {nullptr, 0, nullptr}, {nullptr, kItemExportTiledMap, "Export Tiled Map..."},
    {nullptr, kItemImportTiledMap, "Import Tiled Map..."},
    {"Refresh Tiles?", 0, nullptr}, {nullptr, kItemRefreshTiles, "Refresh"},
    {nullptr, kItemImportTile, "Import Tile..."}, {nullptr, kItemImportTileset, "Import Tileset..."},
    {"Hide Window?", 0, nullptr}, {nullptr, kItemHideWindow, "Hide Window"},
    {"Tools:", 0, nullptr}, {nullptr, kItemMiniMap, "Show As MiniMap"},
    {nullptr, kItemScreenshot, "Save MiniMap (Screenshot)"}, {nullptr, kItemWorkMap, "Show WorkMap"},
    {"Info", 0, nullptr}, {nullptr, kItemAbout, "About"},
};

constexpr MenuLine kDescriptorMenuLines[] = {
    {"DNA-SETTINGS:", 0, nullptr}, {nullptr, kItemSetDna, "SET DNA"}, {nullptr, 0, nullptr},
    {nullptr, kItemKillDna, "KILL DNA"},
};

template <size_t N>
void CreateMenu(int menu, int window, const MenuLine (&lines)[N]) {
    if (!plat::CreateMenuBar(menu, window)) return;
    for (const MenuLine& line : lines) {
        if (line.title != nullptr) {
            plat::AddMenuTitle(menu, line.title);
        } else if (line.text != nullptr) {
            plat::AddMenuItem(menu, line.item, line.text);
        } else {
            plat::AddMenuSeparator(menu);
        }
    }
}

}  // namespace

void OpenBuilderWindows() {
    PLAT_MARK("BUILDERWINDOW");
    // The desktop's panels keep their strips: the main window covers the rest, and the tool
    // windows start at its top left. Without panels the work area is the whole desktop.
    const plat::WorkArea area = plat::QueryWorkArea();
    const int w = area.width;
    const int h = area.height;
    if (!plat::OpenWindow(kMainWindow, area.x, area.y, w, h, kMainTitle, plat::WindowStyle::kBorderless, 0)) {
        ShowErrorMessage(kErrorMainWindow);
    }
    if (!plat::OpenWindowScreen(kMainWindow, 0, 0, w, h, kScreenEdgeOffset, kScreenEdgeOffset)) {
        ShowErrorMessage(kErrorMainWindow);
    }
    gBuilder.screenWidth = static_cast<float>(w);
    gBuilder.screenHeight = static_cast<float>(h);

    if (!plat::OpenWindow(kTileWindow, area.x, area.y, w / 4, h / 4, "Tiles", plat::WindowStyle::kTool, kMainWindow)) {
        ShowErrorMessage(kErrorTileWindow);
    }
    CreateMenu(kTileMenu, kTileWindow, kTileMenuLines);

    if (!plat::OpenWindow(kDescriptorWindow, area.x + w / 4, area.y, w / 4, h / 4, "DNA_DESCRIPTOR_WINDOW",
                          plat::WindowStyle::kTool, kMainWindow)) {
        ShowErrorMessage(kErrorNoDefaultDna);
    } else {
        CreateMenu(kDescriptorMenu, kDescriptorWindow, kDescriptorMenuLines);
        BuildDescriptorRows();
    }
    plat::ActivateWindow(kMainWindow);
}
