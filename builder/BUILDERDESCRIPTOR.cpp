// BUILDERDESCRIPTOR: reading descriptors into the tile library, the descriptor window's rows
// and saving them. Rows are filled by position; the window's fields are the only source of a
// saved descriptor, so what the user typed (keys too) is what gets written.
#include "builder/BUILDERDESCRIPTOR.h"

#include <vector>

#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERMESSAGE.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/windows.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/lines.h"

namespace {

constexpr int kRowWidth = 164;        // pixels, key and value fields
constexpr int kFieldHeight = 20;      // pixels
constexpr int kRowsPerColumn = 16;
constexpr int kPlaceholderRows = 97;
constexpr int kButtonHeight = 48;     // pixels

constexpr plat::Colour kTemplateKeyColour{250, 250, 0};
constexpr plat::Colour kTemplateValueColour{255, 255, 255};
constexpr plat::Colour kPlaceholderKeyColour{240, 240, 240};
constexpr plat::Colour kPlaceholderValueColour{150, 220, 220};
constexpr plat::Colour kFilledKeyColour{0, 255, 0};
constexpr plat::Colour kButtonTextColour{50, 200, 200};

int KeyField(int row) { return gBuilder.descriptorRowBase + row; }
int ValueField(int row) { return 2 * gBuilder.descriptorRowBase + row; }

// A key field's tooltip: the request to enter the value, then what the key does (when known).
void SetKeyTooltip(int row, const std::string& key) {
    const std::string meaning = wf::DescriptorKeyMeaning(key);
    plat::SetControlTooltip(kDescriptorWindow, KeyField(row),
                            "Please enter value for " + key + " below:" + (meaning.empty() ? "" : "\n" + meaning));
}

// Lays the rows out column by column and counts them.
struct RowLayout {
    int x = 0, y = 0, inColumn = 0;

    void AddRow(const std::string& key, const std::string& value, plat::Colour keyColour,
                plat::Colour valueColour) {
        const int row = gBuilder.descriptorRowCount;
        plat::AddTextField(kDescriptorWindow, KeyField(row), x, y, kRowWidth, kFieldHeight, key, true);
        plat::SetControlBackground(kDescriptorWindow, KeyField(row), keyColour);
        SetKeyTooltip(row, key);
        plat::AddTextField(kDescriptorWindow, ValueField(row), x, y + kFieldHeight, kRowWidth,
                           kFieldHeight, value, false);
        plat::SetControlBackground(kDescriptorWindow, ValueField(row), valueColour);
        y += 2 * kFieldHeight;
        gBuilder.descriptorRowCount = row + 1;
        inColumn += 1;
        if (inColumn > kRowsPerColumn - 1) {
            x += kRowWidth;
            y = 0;
            inColumn = 0;
        }
    }
};

void AddDnaButton(int number, int x, int y, const std::string& text, const std::string& tooltip) {
    plat::AddButton(kDescriptorWindow, number, x, y, kRowWidth, kButtonHeight, text, true);
    plat::SetControlTooltip(kDescriptorWindow, number, tooltip);
    plat::SetControlTextColour(kDescriptorWindow, number, kButtonTextColour);
}

}  // namespace

void ReadTileDescriptor(int index) {
    if (index < 0 || index >= static_cast<int>(gBuilder.tileLibrary.size())) return;
    TileType& type = gBuilder.tileLibrary[index];
    const std::string path = gBuilderSettings.GFXPATH + type.name + ".dll";
    const wf::BuilderDescriptorRead read = wf::ReadBuilderDescriptor(path, type.descriptor);
    if (!read.opened) {
        type.descriptor.worldFTileTransparency = 255;
        type.usable = 1;
        return;
    }
    type.descriptorPath = path;
    if (read.unrecognisedPairs > 0) type.usable = 1;
}

void SaveTileDescriptor(const std::string& path) { SaveTileDescriptor(path, gBuilder.actualTile); }

void SaveTileDescriptor(const std::string& path, int index) {
    PLAT_MARK("BUILDERDESCRIPTOR");
    std::vector<wf::DescriptorRow> rows;
    for (int row = 0; row < gBuilder.descriptorRowCount; ++row) {
        rows.emplace_back(plat::ControlText(kDescriptorWindow, KeyField(row)),
                          plat::ControlText(kDescriptorWindow, ValueField(row)));
    }
    if (!wf::WriteDescriptorFile(path, rows)) {
        ShowErrorMessage(kErrorSaveDna);
        return;
    }
    ReadTileDescriptor(index);
}

void BuildDescriptorRows() {
    if (!plat::WindowExists(kDescriptorWindow)) return;
    gBuilder.descriptorRowCount = 0;
    RowLayout layout;
    std::vector<std::string> lines;
    if (plat::ReadAllLines(gBuilder.defaultDescriptorPath, lines)) {
        wf::ForEachPair(lines, [&layout](const std::string& key, const std::string& value) {
            if (value.find(';') != std::string::npos) return;
            layout.AddRow(key, value, kTemplateKeyColour, kTemplateValueColour);
        });
    } else {
        ShowErrorMessage(kErrorNoDefaultDna);
        for (int row = 0; row < kPlaceholderRows; ++row) {
            layout.AddRow(wf::kMissingKey, wf::kMissingValue, kPlaceholderKeyColour, kPlaceholderValueColour);
        }
    }
    AddDnaButton(kSetDnaButton, layout.x, layout.y, "SET_DNA", "Save The Tile-*DNA* ");
    AddDnaButton(kKillDnaButton, layout.x, layout.y + 50, "KILL_DNA", "Reset To Default *DNA*");
}

void LoadDescriptorIntoWindow(const std::string& basePath) {
    BuildDescriptorRows();
    const TileType* selected = SelectedTileType();
    plat::SetWindowTitle(kDescriptorWindow, "DNA for Tile: " + basePath + " File:" +
                                                (selected != nullptr ? selected->name : ""));
    int row = 0;
    wf::ReadLinePairs(basePath + ".dll", [&row](const std::string& key, const std::string& value) {
        if (key.empty() || key.find(';') != std::string::npos || value.find(';') != std::string::npos) return;
        if (row >= gBuilder.descriptorRowCount) return;  // pairs beyond the last row are ignored
        plat::SetControlText(kDescriptorWindow, KeyField(row), key);
        SetKeyTooltip(row, key);
        plat::SetControlBackground(kDescriptorWindow, KeyField(row), kFilledKeyColour);
        plat::SetControlText(kDescriptorWindow, ValueField(row), value);
        row += 1;
    });
}

// The rows belong to the tile type last chosen in the tile menu. Every map read (undo, redo,
// open, "Redraw MAP") rebuilds the library and selects its last type, so saving for the
// selected type then would write one tile's rows over another tile's descriptor; the chosen
// type is found again by its name instead (nothing is saved when it has gone). Before any
// choice the selected type is meant.
void SetTileDna() {
    const int index =
        gBuilder.descriptorTileName.empty() ? gBuilder.actualTile : TileTypeIndex(gBuilder.descriptorTileName);
    if (index < 0 || index >= static_cast<int>(gBuilder.tileLibrary.size())) return;
    SaveTileDescriptor(gBuilderSettings.GFXPATH + gBuilder.tileLibrary[index].name + ".dll", index);
}

void ResetTileDna() { LoadDescriptorIntoWindow(gBuilder.defaultDescriptorPath); }
