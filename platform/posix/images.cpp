// Image files on POSIX systems: libtiff opens TIFF files by their (byte string) name.
#include <tiffio.h>

#include "platform/core/system.h"

namespace plat::sys {

tiff* OpenTiffForReading(const std::string& path) { return TIFFOpen(path.c_str(), "r"); }

}  // namespace plat::sys
