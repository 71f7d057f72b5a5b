// BUILDERMESSAGE: message boxes of the builder: the numbered error messages, the map write
// error, and the quit and new-map questions.
#include "builder/BUILDERMESSAGE.h"

#include <cstdio>

#include "builder/BUILDERRECORDS.h"
#include "platform/dialogs.h"
#include "worldfiles/convert.h"

void ShowErrorMessage(int code) {
    switch (code) {
        case kErrorMainWindow:
            plat::MessageBox(kBuilderErrorTitle, "Can Not Open Main Window");
            EndBuilder();
        case kErrorNoDefaultDna:
            plat::MessageBox(kBuilderErrorTitle,
                             "MAP Builder did not find default DNA\nMAP Builder will use Tile.dll as DNA base");
            return;
        case kErrorSaveDna:
            plat::MessageBox(kBuilderErrorTitle, "Sorry! Could not save DNA?!?");
            return;
        default:
            EndBuilder();
    }
}

std::string MemoryAmountText(uint64_t bytes) {
    const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB"};
    int unit = 0;
    uint64_t scale = 1;
    while (unit < 5 && bytes / scale >= 1024) {
        scale *= 1024;
        unit += 1;
    }
    const uint64_t amount = bytes / scale + (bytes % scale != 0 ? 1 : 0);
    return wf::IntText(static_cast<int64_t>(amount)) + " " + units[unit];
}

void ShowTileTableTooLarge(int32_t maxTiles, uint64_t bytes) {
    const std::string text = "MAXTILES " + wf::IntText(maxTiles) + " needs " + MemoryAmountText(bytes) +
                             " of memory for the placed-tile table, more than can be had.\nLower MAXTILES in " +
                             gBuilderSettings.DEFAULTINISCRIPT + " (a new world has 4000).";
    std::fprintf(stderr, "plom: %s\n", text.c_str());
    plat::MessageBox(kBuilderErrorTitle, text);
    EndBuilder();
}

void ShowMapWriteError(const std::string& path) {
    plat::MessageBox(kBuilderErrorTitle, "Could not write the MAP file:\n" + path +
                                             "\nThe MAP in the builder is unchanged.");
}

void AskQuitBuilder() {
    const bool yes = plat::AskYesNo("MAP BUILDER: Quit?",
                                    "Do you really want to quit\nMAP Builder?\nNot saved MAPs will be lost");
    gBuilder.quitFlag = yes ? 1 : 0;
}

bool AskNewMap() { return plat::AskYesNo(kBuilderErrorTitle, "START NEW MAP ?"); }

void ShowAboutMessage() {
    plat::MessageBox("MAP BUILDER MESSAGE:\n",
                     "plom, the map builder of tasko\nQUENT BUILDER\n* KORVANE *\nDEVELOPER VERSION");
}
