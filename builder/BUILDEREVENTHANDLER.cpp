// BUILDEREVENTHANDLER: window events to actions. The main window is redrawn after each of its
// events; requesters are modal, so events are handled strictly one after another.
#include "builder/BUILDEREVENTHANDLER.h"

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERENV.h"
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

constexpr int kSetDnaButton = 100;
constexpr int kKillDnaButton = 101;
constexpr int kKillDnaItem = 109;
constexpr int kSetDnaItem = 110;

void HandleDescriptorEvent(const plat::WindowEvent& event) {
    const bool control = event.kind == plat::kEventControl;
    const bool menu = event.kind == plat::kEventMenu;
    if ((control && event.item == kKillDnaButton) || (menu && event.item == kKillDnaItem)) {
        ResetTileDna();
    } else if ((control && event.item == kSetDnaButton) || (menu && event.item == kSetDnaItem)) {
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
        case 105: OpenMapCommand(); break;
        case 114: SaveMapCommand(); break;
        case 106: AskQuitBuilder(); break;
        case 115: RedrawMapCommand(); break;
        case 117: NewMapCommand(); break;  // asks first
        case 140: ExportTiledMapCommand(); break;
        case 141: ImportTiledMapCommand(); break;
        case 116: RefreshTileLibrary(); break;
        case 118: ImportTileCommand(); break;
        case 119: ImportTilesetCommand(); break;
        case 122: gBuilder.tileWindowHidden = 1; break;
        case 125: SetMapZoom(0.1f); break;  // drawn at the next event of the main window
        case 126: TakeScreenshot(); break;
        case 127: SetMapZoom(1.0f); break;
        case 128: ExportForWebCommand(wf::WebRuntimeDirectory()); break;
        case 107: ShowAboutMessage(); break;
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
