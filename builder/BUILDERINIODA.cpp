// BUILDERINIODA: building and releasing the tile library. Only graphics with a descriptor
// file beside them are tile types; a graphic that does not load stays without a sprite.
#include "builder/BUILDERINIODA.h"

#include <string>
#include <vector>

#include "builder/BUILDERDESCRIPTOR.h"
#include "builder/BUILDERENV.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "worldfiles/tiled_write.h"

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
    // Names of the tile types: listed graphics whose descriptor can be opened, in listing order.
    const std::vector<std::string> names = wf::TileDirectoryNames(gBuilderSettings.GFXPATH, gBuilderSettings.GFXCODEC);
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
