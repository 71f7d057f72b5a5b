// BUILDERPARSER: the configuration chain's readers. Each tests its keys in a fixed order; a
// key must match the whole line; the last group of a key wins; values that do not parse give 0.
#include "builder/BUILDERPARSER.h"

#include <cstdint>
#include <string>

#include "builder/BUILDERRECORDS.h"
#include "platform/display.h"
#include "platform/fault.h"
#include "worldfiles/convert.h"
#include "worldfiles/lines.h"

namespace {

enum class ValueKind { kInteger, kDecimal, kText, kStartDirectoryText };

struct ConfigKey {
    const char* key;
    ValueKind kind;
    void* field;  // int32_t*, float* or std::string* by kind
};

void Store(const ConfigKey& entry, const std::string& value) {
    switch (entry.kind) {
        case ValueKind::kInteger: *static_cast<int32_t*>(entry.field) = wf::ParseInt(value); break;
        case ValueKind::kDecimal: *static_cast<float*>(entry.field) = wf::ParseFloat(value); break;
        case ValueKind::kText: *static_cast<std::string*>(entry.field) = value; break;
        case ValueKind::kStartDirectoryText:
            *static_cast<std::string*>(entry.field) = gBuilder.startDirectory + value;
            break;
    }
}

// Reads the file's groups against the keys in their order; false when it cannot be opened.
template <size_t N>
bool ReadGroups(const std::string& path, const ConfigKey (&keys)[N]) {
    return wf::ReadGroupsOfFour(path, [&keys](const std::string& key, const std::string& value) {
        for (const ConfigKey& entry : keys) {
            if (key == entry.key) {
                Store(entry, value);
                return;
            }
        }
    });
}

}  // namespace

void ReadMainConfiguration() {
    PLAT_MARK("BUILDERPARSER");
    BuilderSettings& s = gBuilderSettings;
    const ConfigKey keys[] = {{"DEFAULTINISCRIPT", ValueKind::kText, &s.DEFAULTINISCRIPT}};
    if (!ReadGroups(gBuilder.mainConfigurationPath, keys)) ReportConfigFailure(gBuilder.mainConfigurationPath);
}

void ReadApplicationScript(const std::string& path) {
    PLAT_MARK("BUILDERPARSER");
    BuilderSettings& s = gBuilderSettings;
    const ConfigKey keys[] = {
        {"RESBASEW", ValueKind::kDecimal, &s.RESBASEW},
        {"RESBASEH", ValueKind::kDecimal, &s.RESBASEH},
        {"WINDOWMODE", ValueKind::kInteger, &s.WINDOWMODE},
        {"WINDOWFLAGS", ValueKind::kInteger, &s.WINDOWFLAGS},
        {"DEPTH", ValueKind::kInteger, &s.DEPTH},
        {"WIDTH", ValueKind::kDecimal, &s.WIDTH},
        {"HEIGHT", ValueKind::kDecimal, &s.HEIGHT},
        {"TOP", ValueKind::kInteger, &s.TOP},
        {"LEFT", ValueKind::kInteger, &s.LEFT},
        {"NAME", ValueKind::kText, &s.NAME},
        {"R", ValueKind::kInteger, &s.R},
        {"G", ValueKind::kInteger, &s.G},
        {"B", ValueKind::kInteger, &s.B},
        {"GFXDETAIL", ValueKind::kInteger, &s.GFXDETAIL},
        {"APPINIFILE", ValueKind::kText, &s.APPINIFILE},
        {"DNA", ValueKind::kText, &s.DNA},
        {"MAXTILES", ValueKind::kInteger, &s.MAXTILES},
        {"MATRIXRASTER", ValueKind::kInteger, &s.MATRIXRASTER},
    };
    if (!ReadGroups(path, keys)) ReportConfigFailure(path);
    // An empty DNA value names no file: the default descriptor stays "_DATA/DNA.dll".
    if (!s.DNA.empty()) gBuilder.defaultDescriptorPath = s.DNA;
    // The sprite drawing quality: 0 and below draw scaled tiles pixel for pixel (nearest texel),
    // 1 and above smooth them (linear filtering).
    plat::SetNearestSampling(s.GFXDETAIL <= 0);
    gBuilder.screenWidth = s.WIDTH;
    gBuilder.screenHeight = s.HEIGHT;
}

void ReadApplicationFile(const std::string& path) {
    PLAT_MARK("BUILDERPARSER");
    BuilderSettings& s = gBuilderSettings;
    const ValueKind dir = ValueKind::kStartDirectoryText;
    const ConfigKey keys[] = {
        {"GFXPATH", dir, &s.GFXPATH},
        {"SNDPATH", dir, &s.SNDPATH},
        {"SAVEPATH", dir, &s.SAVEPATH},
        {"LOADPATH", dir, &s.LOADPATH},
        {"GFXSCRIPTS", dir, &s.GFXSCRIPTS},
        {"MAPENV", dir, &s.MAPENV},
        {"LOGFILE", dir, &s.LOGFILE},
        {"UNIVERSE", dir, &s.UNIVERSE},
        {"DEVELOPEPATH", dir, &s.DEVELOPEPATH},
        {"DESCRIPTOR", dir, &s.DESCRIPTOR},
        {"GUIINI", dir, &s.GUIINI},
        {"CODECS", dir, &s.CODECS},
        {"PROMO", ValueKind::kInteger, &s.PROMO},
    };
    if (!ReadGroups(path, keys)) ReportConfigFailure(path);
}

void ReadInterfaceFile(const std::string& path) {
    BuilderSettings& s = gBuilderSettings;
    const ConfigKey keys[] = {
        {"MAXGUIITEMS", ValueKind::kInteger, &s.MAXGUIITEMS},
        {"USEBGBOX", ValueKind::kInteger, &s.USEBGBOX},
        {"GUITOP", ValueKind::kInteger, &s.GUITOP},
        {"GUIH", ValueKind::kInteger, &s.GUIH},
        {"GUIOBJECTSIZE", ValueKind::kInteger, &s.GUIOBJECTSIZE},
    };
    ReadGroups(path, keys);
}

void ReadCodecFile(const std::string& path) {
    BuilderSettings& s = gBuilderSettings;
    const ConfigKey keys[] = {
        {"GFXCODEC", ValueKind::kText, &s.GFXCODEC},
        {"SOUNDCODEC", ValueKind::kText, &s.SOUNDCODEC},
        {"MUSICCODEC", ValueKind::kText, &s.MUSICCODEC},
    };
    ReadGroups(path, keys);
}
