// BUILDEREVENTHANDLER: window events to actions. The main window is redrawn after each of its
// events; requesters are modal, so events are handled strictly one after another.
#include "builder/BUILDEREVENTHANDLER.h"

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERENV.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERio.h"
#include "builder/BUILDERscreen.h"
#include "platform/fault.h"
#include "platform/input.h"

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

}  // namespace

void MenuAction(int item) {
    PLAT_MARK("BUILDEREVENTHANDLER");
    switch (item) {
        case 105: OpenMapCommand(); break;
        case 114: SaveMapCommand(); break;
        case 106: AskQuitBuilder(); break;
        case 115: RedrawMapCommand(); break;
        case 117: NewMapCommand(); break;
        case 116: DrawThumbnails(); break;
        default: break;
    }
}

void HandleEvent(const plat::WindowEvent& event) {
    PLAT_MARK("BUILDEREVENTHANDLER");
    switch (event.window) {
        case kMainWindow:
            plat::PollMouse();
            RedrawMainWindow();
            break;
        case kDescriptorWindow:
            HandleDescriptorEvent(event);
            plat::PollMouse();
            break;
        case kTileWindow:
            plat::SetWindowTitle(kTileWindow, gBuilder.currentMapFile);
            if (event.kind == plat::kEventMenu && plat::MenuExists(kTileMenu)) MenuAction(event.item);
            if (event.kind == plat::kEventRepaint) DrawThumbnails();
            plat::PollMouse();
            break;
        default:
            break;
    }
}
