// BUILDEREVENTHANDLER: window events to actions. The main window is redrawn after each of its
// events; requesters are modal, so events are handled strictly one after another.
#include "builder/BUILDEREVENTHANDLER.h"

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERIMPORT.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERMOUSE.h"
#include "builder/BUILDERPLAY.h"
#include "builder/BUILDERSHEET.h"
#include "builder/BUILDERTILED.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERWORLD.h"
#include "builder/BUILDERio.h"
#include "builder/BUILDERscreen.h"
#include "platform/fault.h"
#include "worldfiles/webexport.h"

namespace {

void HandleDescriptorEvent(const plat::WindowEvent& event) {
    const bool control = event.kind == plat::kEventControl;
    const bool menu = event.kind == plat::kEventMenu;
    if ((control && event.item == kKillDnaButton) || (menu && event.item == kItemKillDna)) {
        ResetTileDna();
    } else if ((control && event.item == kSetDnaButton) || (menu && event.item == kItemSetDna)) {
        SetTileDna();
    }
}

void HandleTileWindowEvent(const plat::WindowEvent& event) {
    switch (event.kind) {
        case plat::kEventMenu:
            if (plat::MenuExists(kTileMenu)) MenuAction(event.item);
            break;
        case plat::kEventRepaint:
        case plat::kEventResized: DrawThumbnails(); break;
        case plat::kEventCloseRequest: gBuilder.tileWindowHidden = 1; break;  // hidden, never destroyed
        case plat::kEventLeftButton: SelectTileAtPointer(); break;
        default: break;
    }
}

}  // namespace

void MenuAction(int item) {
    PLAT_MARK("BUILDEREVENTHANDLER");
    switch (item) {
        case kItemLoadMap: OpenMapCommand(); break;
        case kItemSaveMap: SaveMapCommand(); break;
        case kItemQuit: AskQuitBuilder(); break;
        case kItemRedrawMap: RedrawMapCommand(); break;
        case kItemNewMap: NewMapCommand(); break;  // asks first
        case kItemExportTiledMap: ExportTiledMapCommand(); break;
        case kItemImportTiledMap: ImportTiledMapCommand(); break;
        case kItemRefreshTiles: RefreshTileLibrary(); break;
        case kItemImportTile: ImportTileCommand(); break;
        case kItemImportTileset: ImportTilesetCommand(); break;
        case kItemHideWindow: gBuilder.tileWindowHidden = 1; break;
        case kItemMiniMap: SetMapZoom(0.1f); break;  // drawn at the next event of the main window
        case kItemScreenshot: TakeScreenshot(); break;
        case kItemWorkMap: SetMapZoom(1.0f); break;
        case kItemExportForWeb: ExportForWebCommand(wf::WebRuntimeDirectory()); break;
        case kItemAbout: ShowAboutMessage(); break;
        default: break;
    }
}

void HandleEvent(const plat::WindowEvent& event) {
    PLAT_MARK("BUILDEREVENTHANDLER");
    ApplyToolWindowsHidden();
    switch (event.window) {
        case kMainWindow:  // every kind of event, so the map is redrawn after each of them
            MouseStep(kMainWindow);
            ResizeSelectedType();
            MouseButtons();
            break;
        case kDescriptorWindow:
            HandleDescriptorEvent(event);
            MouseStep(kDescriptorWindow);
            break;
        case kTileWindow:
            plat::SetWindowTitle(kTileWindow, gBuilder.currentMapFile);
            HandleTileWindowEvent(event);
            MouseStep(kTileWindow);
            if (event.kind == plat::kEventWheel) ScrollThumbnails(gBuilder.resizeDelta);
            break;
        case kSheetWindow:
            HandleSheetWindowEvent(event);
            break;
        default:
            break;
    }
}
