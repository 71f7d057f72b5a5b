// BUILDERMESSAGE: message boxes of the builder: the numbered error messages, the map write
// error, and the quit and new-map questions.
#include "builder/BUILDERMESSAGE.h"

#include "builder/BUILDERENV.h"
#include "platform/dialogs.h"

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
