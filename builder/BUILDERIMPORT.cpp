// BUILDERIMPORT: importing a picture as a tile type. The picture is decoded first, so nothing is
// written for a file the codecs cannot read; the graphic is written through the PNG codec.
#include "builder/BUILDERIMPORT.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "builder/BUILDERRECORDS.h"
#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERTILEMENU.h"
#include "builder/BUILDERio.h"
#include "platform/dialogs.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "platform/images.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/lines.h"

namespace {

constexpr const char* kImportTitle = "MAP BUILDER: Import Tile";
constexpr size_t kLongestFileName = 255;  // bytes of one file name on the usual file systems
constexpr size_t kTemporarySuffix = 32;   // room for the ".tmp" and process number of atomic writes

bool Refuse(const std::string& text) {
    plat::MessageBox(kBuilderErrorTitle, text);
    return false;
}

}  // namespace

bool IsPngExtension(const std::string& extension) {
    std::string lower;
    for (char c : extension) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == ".png";
}

bool TemplateRows(std::vector<wf::DescriptorRow>& rows) {
    return wf::ReadLinePairs(gBuilder.defaultDescriptorPath, [&rows](const std::string& key, const std::string& value) {
        if (key.empty() || key.find(';') != std::string::npos || value.find(';') != std::string::npos) return;
        rows.emplace_back(key, value);
    });
}

std::string TileNameOfPicture(const std::string& picturePath) {
    const size_t slash = picturePath.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? picturePath : picturePath.substr(slash + 1);
    const size_t dot = file.rfind('.');
    return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

std::string TileNameProblem(const std::string& name) {
    if (name.empty()) return "it is empty";
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return "it holds a control character";
        if (c == '/' || c == '\\') return "it holds a path separator";
    }
    // The library takes a type's name up to the first place the graphics extension appears.
    const std::string& extension = gBuilderSettings.GFXCODEC;
    if (!extension.empty() && name.find(extension) != std::string::npos) {
        return "it holds the graphics extension " + extension;
    }
    if (name.size() + std::max<size_t>(extension.size(), 4) + kTemporarySuffix > kLongestFileName) {
        return "it is too long for a file name";
    }
    return "";
}

bool ImportTile(const std::string& picturePath) {
    PLAT_MARK("BUILDERIMPORT");
    const std::string name = TileNameOfPicture(picturePath);
    const std::string problem = TileNameProblem(name);
    if (!problem.empty()) {
        return Refuse("The picture " + picturePath + " cannot give a tile its name \"" + name + "\": " + problem +
                      ".\nRename the picture and import it again.");
    }
    if (!IsPngExtension(gBuilderSettings.GFXCODEC)) {
        return Refuse("This world's tile graphics are " + gBuilderSettings.GFXCODEC +
                      " files, and plom writes imported tiles as PNG only.\nConvert the picture to " +
                      gBuilderSettings.GFXCODEC + " and put it with a descriptor into " + gBuilderSettings.GFXPATH +
                      ", then choose Refresh.");
    }
    std::vector<wf::DescriptorRow> rows;
    if (!TemplateRows(rows)) {
        return Refuse("The default descriptor " + gBuilder.defaultDescriptorPath +
                      " cannot be read.\nAn imported tile takes its descriptor from it.");
    }
    plat::Pixels pixels;
    if (!plat::DecodeImageFile(picturePath, pixels)) {
        return Refuse("Could not read " + picturePath + " as a picture.\nplom imports PNG, JPEG and TIFF files.");
    }

    const std::string graphic = gBuilderSettings.GFXPATH + name + gBuilderSettings.GFXCODEC;
    const std::string descriptor = gBuilderSettings.GFXPATH + name + ".dll";
    // A picture already in its place (drawn straight into the tile directory) is left as it is.
    const bool inPlace = plat::AbsolutePath(picturePath) == plat::AbsolutePath(graphic);
    if (!inPlace && plat::FileExists(graphic) &&
        !plat::AskYesNo(kImportTitle, "A tile named \"" + name + "\" exists:\n" + graphic +
                                          "\nReplace its graphic with the picture?\nIts descriptor is kept.")) {
        return false;
    }
    if (!inPlace && !plat::WritePngFile(graphic, pixels)) {
        return Refuse("Could not write the tile graphic:\n" + graphic + "\nNothing was imported.");
    }
    if (!plat::FileExists(descriptor) && !wf::WriteDescriptorFile(descriptor, rows)) {
        return Refuse("Could not write the tile's descriptor:\n" + descriptor +
                      "\nWithout it the graphic is not a tile type.");
    }
    RefreshTileLibrary();
    SelectTileType(TileTypeIndex(name));
    return true;
}

void ImportTileCommand() {
    const std::string chosen = plat::RequestOpenFile("MAP-BUILDER: Import Tile:", "", "*");
    if (!chosen.empty()) ImportTile(chosen);
}
