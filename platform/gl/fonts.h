// The system's part of finding the text font (posix/fonts.cpp: fontconfig; win32/fonts.cpp: the
// Windows fonts directory). The shipped font beside the program comes first (gl/text.cpp).
#pragma once
#include <string>

namespace plat::gl {

struct FontFile {
    std::string path;  // "" when the system offers no font
    int index = 0;     // face index inside the file
};

// The monospaced font the system offers, DejaVu Sans Mono when it has it.
FontFile FindSystemFont();
// What the system's lookup asked for, for the warning when nothing could be loaded.
const char* SystemFontRequest();

}  // namespace plat::gl
