// BUILDERRECORDS: the map builder's process records (declared in BUILDERRECORDS.h), the selected
// tile type, and the one end of the process; every unit of the builder uses these.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "builder/BUILDERRECORDS.h"
#include "platform/dialogs.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/windows.h"
#include "worldfiles/convert.h"

BuilderState gBuilder;
BuilderSettings gBuilderSettings;

TileType* SelectedTileType() {
    if (gBuilder.actualTile < 0 || gBuilder.actualTile >= static_cast<int>(gBuilder.tileLibrary.size())) {
        return nullptr;
    }
    return &gBuilder.tileLibrary[gBuilder.actualTile];
}

int TileTypeIndex(const std::string& name) {
    for (size_t i = 0; i < gBuilder.tileLibrary.size(); ++i) {
        if (gBuilder.tileLibrary[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

namespace {

void CopyText(char* target, size_t size, const std::string& text) {
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

}  // namespace

void SetBuilderStartValues() {
    gBuilder = BuilderState{};
    gBuilderSettings = BuilderSettings{};
    gBuilder.startDirectory = plat::CurrentDirectory();
    gBuilder.defaultDescriptorPath = gBuilder.startDirectory + plat::NativePath("_DATA\\DNA.dll");
    gBuilder.mainConfigurationPath = gBuilder.startDirectory + plat::NativePath("_DATA\\ini.txt");
    gBuilder.rasterModeNames[0] = "OFF";
    gBuilder.rasterModeNames[1] = "OBJECT_SIZE";
    gBuilder.rasterModeNames[2] = "MATRIX_SIZE";
    gBuilder.descriptorRowBase = 500;
    gBuilder.currentMapFile = "";
    PrepareFaultReport();
}

void PrepareFaultReport() {
    FaultReport& report = gBuilder.fault;
    const std::string directory = plat::CurrentDirectory();
    CopyText(report.logPath, sizeof report.logPath, directory + plat::NativePath("USER\\ERR!!!!.txt"));
    CopyText(report.userDirectory, sizeof report.userDirectory, directory + "USER");
    CopyText(report.backupPrefix, sizeof report.backupPrefix, directory + plat::NativePath("USER\\_LAZARUS"));
    plat::PrepareFaultClock();  // the time zone offset, taken anew every turn
}

size_t PlacedTileCount() {
    const int last = std::min(gBuilder.lastTileIndex, static_cast<int>(gBuilder.mapTiles.size()) - 1);
    return static_cast<size_t>(std::max(last + 1, 0));
}

wf::MapTileView PlacedTileView(const void* tiles, size_t index) {
    const MapTile& tile = (*static_cast<const std::vector<MapTile>*>(tiles))[index];
    return wf::MapTileViewOf(tile, tile.name, tile.active != 0, !tile.descriptor.geneseID.empty());
}

void EndBuilder() {
    for (int window : {kTileWindow, kDescriptorWindow, kMainWindow}) {
        if (plat::WindowExists(window)) plat::CloseWindow(window);
    }
    plat::ReleaseAll();  // the tile library's sprites and images with every other resource
    std::exit(0);
}

void ReportConfigFailure(const std::string& path) {
    plat::MessageBox("PLOM ERROR ", path + " Result:   " + wf::IntText(0) + "   FAIL");
    EndBuilder();
}
