// The text font in a browser page: DejaVu Sans Mono, built into the runtime at a fixed path of
// the page's file system (scripts/web-build.sh embeds it), where the shipped font beside the
// program is looked for first anyway.
#include "platform/gl/fonts.h"

namespace plat::gl {

FontFile FindSystemFont() {
    FontFile found;
    found.path = "/fonts/DejaVuSansMono.ttf";
    return found;
}

const char* SystemFontRequest() { return "DejaVu Sans Mono built into the runtime"; }

}  // namespace plat::gl
