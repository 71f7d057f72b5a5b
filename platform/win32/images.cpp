// Image files on Windows: libtiff opens TIFF files by their UTF-16 name.
#include <tiffio.h>

#include "platform/core/system.h"
#include "platform/win32/wide.h"

namespace plat::sys {

tiff* OpenTiffForReading(const std::string& path) { return TIFFOpenW(win32::Wide(path).c_str(), "r"); }

}  // namespace plat::sys
