// Reading the layout of a one-image Tiled tileset with pugixml. Entities are not expanded by
// pugixml, so a hostile file cannot grow in memory beyond its own size.
#include "worldfiles/tiled_sheet.h"

#ifdef TASKO_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

namespace wf {

bool ReadTsxSheet(const std::string& path, TsxSheet& out) {
#ifdef TASKO_HAVE_PUGIXML
    pugi::xml_document document;
    if (!document.load_file(path.c_str())) return false;
    const pugi::xml_node tileset = document.child("tileset");
    const pugi::xml_node image = tileset.child("image");
    if (!tileset || !image || image.attribute("source").as_string()[0] == '\0') return false;
    TsxSheet sheet;
    sheet.image = image.attribute("source").as_string();
    sheet.tileWidth = tileset.attribute("tilewidth").as_int();
    sheet.tileHeight = tileset.attribute("tileheight").as_int();
    sheet.margin = tileset.attribute("margin").as_int();
    sheet.spacing = tileset.attribute("spacing").as_int();
    sheet.columns = tileset.attribute("columns").as_int();
    sheet.tileCount = tileset.attribute("tilecount").as_int();
    if (sheet.tileWidth <= 0 || sheet.tileHeight <= 0 || sheet.margin < 0 || sheet.spacing < 0) return false;
    out = sheet;
    return true;
#else
    (void)path;
    (void)out;
    return false;
#endif
}

}  // namespace wf
