// The text font on POSIX systems: whatever fontconfig matches to DejaVu Sans Mono, else the
// system's monospaced alias.
#include <fontconfig/fontconfig.h>

#include "platform/gl/fonts.h"

namespace plat::gl {
namespace {

// Families asked of fontconfig, best first.
constexpr const char* kFontPattern = "DejaVu Sans Mono,monospace";

}  // namespace

FontFile FindSystemFont() {
    FontFile found;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return found;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kFontPattern));
    if (pattern != nullptr) {
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcChar8* file = nullptr;
        if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
            found.path = reinterpret_cast<const char*>(file);
            int index = 0;
            if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) found.index = index;
        }
        if (match != nullptr) FcPatternDestroy(match);
        FcPatternDestroy(pattern);
    }
    FcConfigDestroy(config);
    return found;
}

const char* SystemFontRequest() { return "\"DejaVu Sans Mono,monospace\" through fontconfig"; }

}  // namespace plat::gl
