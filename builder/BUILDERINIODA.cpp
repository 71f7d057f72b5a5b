// BUILDERINIODA: building and releasing the tile library. Only graphics with a descriptor
// file beside them are tile types; a graphic that does not load stays without a sprite.
#include "builder/BUILDERINIODA.h"

#include <string>
#include <vector>

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERRECORDS.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"

namespace {

// Names of the tile types: listed graphics whose descriptor can be opened, in listing order.
std::vector<std::string> ScanTileNames() {
    const std::string& directory = gBuilderSettings.GFXPATH;
    const std::string& extension = gBuilderSettings.GFXCODEC;
    std::vector<std::string> names;
    for (const std::string& entry : plat::ListDirectory(directory, "*" + extension + "*")) {
        const std::string name = entry.substr(0, entry.find(extension));
        plat::TextFile descriptor = plat::OpenRead(directory + name + ".dll");
        if (!descriptor.Valid()) continue;
        plat::Close(descriptor);
        names.push_back(name);
    }
    return names;
}

}  // namespace

void ReleaseTileLibrary() {
    for (TileType& type : gBuilder.tileLibrary) {
        plat::FreeDrawable(type.sprite);
        plat::FreeImage(type.spriteImage);
        plat::FreeImage(type.thumbnail);
    }
    gBuilder.tileLibrary.clear();
    gBuilder.lastLibraryIndex = -1;
}

void BuildTileLibrary() {
    PLAT_MARK("BUILDERINIODA");
    ReleaseTileLibrary();
    const std::vector<std::string> names = ScanTileNames();
    gBuilder.tileLibrary.assign(names.size(), TileType{});
    for (size_t i = 0; i < names.size(); ++i) {
        TileType& type = gBuilder.tileLibrary[i];
        type.name = names[i];
        const std::string graphic = gBuilderSettings.GFXPATH + type.name + gBuilderSettings.GFXCODEC;
        type.spriteImage = plat::LoadImage(graphic);
        if (type.spriteImage.Valid()) {
            plat::MakeTransparent(type.spriteImage, plat::Colour{255, 255, 255});
            type.sprite = plat::MakeDrawable(type.spriteImage);
            if (type.sprite.Valid()) {
                type.width = static_cast<float>(plat::ImageWidth(type.spriteImage));
                type.height = static_cast<float>(plat::ImageHeight(type.spriteImage));
                ReadTileDescriptor(static_cast<int>(i));
                gBuilder.lastLibraryIndex = static_cast<int>(i);
            }
        }
        type.thumbnail = plat::LoadImage(graphic);
    }
    // Every build selects the last type and drops earlier resizes (the sizes are fresh above).
    gBuilder.actualTile = gBuilder.lastLibraryIndex;
}
