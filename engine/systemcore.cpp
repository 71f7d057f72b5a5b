// systemcore: configuration (ini.crc and the codec file), system texts, fatal errors and warnings.
// Log entries have fixed layouts; every line ends with CR LF and logs are only ever appended to.
#include "engine/systemcore.h"

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/fault.h"
#include "platform/files.h"
#include "worldfiles/convert.h"
#include "worldfiles/lines.h"

namespace {

struct ConfigKey {
    const char* key;
    std::function<void(const std::string& value)> store;
};

// ini.crc keys in the order the reader tests them.
const std::vector<ConfigKey>& ConfigKeys() {
    static const std::vector<ConfigKey> keys = {
        {"SYSTEMTEXT", [](const std::string& v) { gSettings.SYSTEMTEXT = v; }},
        {"ATOMSYSTEM", [](const std::string& v) { gSettings.ATOMSYSTEM = v; }},
        {"GRIDSIZE",
         [](const std::string& v) {
             gSettings.GRIDSIZE = static_cast<float>(wf::ParseInt(v));
             gState.cellWidth = gSettings.GRIDSIZE;
             gState.cellHeight = gSettings.GRIDSIZE;
         }},
        {"MATRIXSIZE",
         [](const std::string& v) {
             gSettings.MATRIXSIZE = wf::ParseInt(v);
             if (gSettings.MATRIXSIZE > gState.gridCellLimit) gSettings.MATRIXSIZE = gState.gridCellLimit;
         }},
        {"MATRIX_OFFSET_X", [](const std::string& v) { gSettings.MATRIX_OFFSET_X = static_cast<float>(wf::ParseInt(v)); }},
        {"MATRIX_OFFSET_Y", [](const std::string& v) { gSettings.MATRIX_OFFSET_Y = static_cast<float>(wf::ParseInt(v)); }},
        {"APPMODE", [](const std::string& v) { gSettings.APPMODE = wf::ParseInt(v); }},
        {"CODECS", [](const std::string& v) { gSettings.CODECS = v; }},
        {"GFX", [](const std::string& v) { gSettings.GFX = v; }},
        {"MAXOBJECTS", [](const std::string& v) { gSettings.MAXOBJECTS = wf::ParseInt(v); }},
        {"SIMCORE", [](const std::string& v) { gSettings.SIMCORE = v; }},
        {"SOURCEWIDTH", [](const std::string& v) { gSettings.SOURCEWIDTH = wf::ParseFloat(v); }},
        {"ANIMSYSTEM", [](const std::string& v) { gSettings.ANIMSYSTEM = v; }},
        {"MAXANIMFRAMES", [](const std::string& v) { gSettings.MAXANIMFRAMES = wf::ParseInt(v); }},
        {"SOURCEHEIGHT", [](const std::string& v) { gSettings.SOURCEHEIGHT = wf::ParseFloat(v); }},
        {"SOUNDPATH", [](const std::string& v) { gSettings.SOUNDPATH = v; }},
        {"ERRORPATH", [](const std::string& v) { gSettings.ERRORPATH = v; }},
        {"WARNINGS", [](const std::string& v) { gSettings.WARNINGS = v; }},
        {"USRSCROLL", [](const std::string& v) { gSettings.USRSCROLL = wf::ParseByte(v); }},
        {"VERSION", [](const std::string& v) { gSettings.VERSION = v; }},
        {"DYNAMICSCROLL", [](const std::string& v) { gSettings.DYNAMICSCROLL = wf::ParseByte(v); }},
        {"PIP", [](const std::string& v) { gSettings.PIP = wf::ParseByte(v); }},
        {"APPENTRY",
         [](const std::string& v) {
             gSettings.APPENTRY = wf::ParseInt(v);
             gState.startArea = gSettings.APPENTRY;
             gState.requestedArea = gSettings.APPENTRY;
         }},
        {"APPSMOOTH", [](const std::string& v) { gSettings.APPSMOOTH = wf::ParseByte(v); }},
        {"MULTITASK",
         [](const std::string& v) {
             int32_t delay = wf::ParseInt(v);
             if (delay > 127) delay = 127;
             if (delay < 0) delay = 0;
             gSettings.MULTITASK = static_cast<int8_t>(delay);
         }},
        {"SIMSCOPE", [](const std::string& v) { gSettings.simulationScopeText = v; }},
    };
    return keys;
}

const char* const kErrorKeys[8] = {
    "#ERROR_UNKNOWN",     "#ERROR_INIT_IO", "#ERROR_INIT_2D_GFX",           "#ERROR_INIT_3D_GFX",
    "#ERROR_INIT_UI",     "#ERROR_INIT_INIT", "#ERROR_OPEN_DEVELOPER_WINDOW", "#ERROR_OPEN_WORLD_SCREEN",
};

const char* const kWarningBanner = "####### WARNING ######### WARNING ######## WARNING ########";
const char* const kSorryBanner =
    "####### SORRY ######### SORRY ######## SORRY ######## SORRY ######## SORRY ###### SORRY ######";

}  // namespace

void ReadConfiguration() {
    PLAT_MARK("systemcore");
    const std::string path = gState.engineDirectory + "ini.crc";
    const bool opened = wf::ReadLinePairs(path, [](const std::string& key, const std::string& value) {
        for (const ConfigKey& entry : ConfigKeys()) {
            if (key == entry.key) {
                entry.store(value);
                return;
            }
        }
    });
    if (!opened) {
        gState.errorDetail = path;
        ShowFatalError(kErrorInitInit);
    }
    // The fault routine may run with a broken heap: it reads the log's path from a fixed buffer.
    const size_t pathLength = std::min(gSettings.ERRORPATH.size(), gState.faultLogPath.size() - 1);
    std::copy_n(gSettings.ERRORPATH.data(), pathLength, gState.faultLogPath.data());
    gState.faultLogPath[pathLength] = '\0';
    if (gSettings.simulationScopeText == "MAP") {
        gSettings.simulationScope = kScopeMap;
    } else {
        gSettings.simulationScope = kScopeRegion;
    }
    ReadCodecs(gSettings.CODECS);
}

void ReadCodecs(const std::string& path) {
    wf::ReadGroupsOfFour(path, [](const std::string& key, const std::string& value) {
        if (key == "GFXCODEC") {
            gSettings.GFXCODEC = value;
        } else if (key == "SOUNDCODEC") {
            gSettings.SOUNDCODEC = value;
        } else if (key == "MUSICCODEC") {
            gSettings.MUSICCODEC = value;
        }
    });
}

const char* ErrorKey(uint8_t code) { return code < 8 ? kErrorKeys[code] : kErrorKeys[0]; }

void ReadSystemTexts() {
    PLAT_MARK("systemcore");
    const bool opened = wf::ReadLinePairs(gSettings.SYSTEMTEXT, [](const std::string& key, const std::string& text) {
        for (int code = 0; code < 8; ++code) {
            if (key == kErrorKeys[code]) {
                gTexts.texts[code] = text;
                return;
            }
        }
    });
    if (!opened) {
        gState.errorDetail = gSettings.SYSTEMTEXT;
        ShowFatalError(kErrorInitInit);
    }
}

void ShowFatalError(uint8_t code) {
    std::string text = code < 8 ? gTexts.texts[code] : std::string();
    // Without a text (the texts are read after the configuration) the box names the error key
    // and what failed (the file that could not be opened), so the user still learns it.
    if (text.empty()) {
        text = ErrorKey(code);
        if (!gState.errorDetail.empty()) text += ": " + gState.errorDetail;
    }
    plat::MessageBox("KORVANE_CORE ERROR:", text);
    plat::MessageBox("KORVANE_CORE INFO", "Sorry,Dear User: KORVANE has to quit, because of the error");
    EndEngine();
}

void FatalErrorHandler(const char* description, const char* module, int line) {
    // Runs in place of the faulting frame, maybe inside malloc or the GL driver: the entry is
    // built in a fixed buffer and written with the system's plain file calls, and nothing is released (the window, the
    // GL context, sound and memory go with the process; releasing them here could deadlock).
    plat::FaultText entry;
    entry.Append(kSorryBanner);
    entry.Append("\r\n\r\nKORVANE ERROR HANDLER: ERROR DATE:");
    plat::AppendFaultDate(entry, kLogDatePattern, plat::FaultDateNow());
    entry.Append("\r\n");
    entry.Append(description, 1024);  // a long exception text must not push the banner out
    entry.Append("\r\nModule:");
    entry.Append(module != nullptr ? module : "UNKNOWN");
    entry.Append(" AT LINE:");
    entry.AppendInt(line);
    entry.Append("\r\nFATAL ERROR,CAN NOT CONTINUE KORVANE_CORE, PLEASE CONTACT DEVELOPER\r\n\r\n");
    entry.Append(kSorryBanner);
    entry.Append("\r\n\r\n");
    plat::AppendToFileRaw(gState.faultLogPath.data(), entry.data, entry.length);
    plat::EndProcessNow();
}

void WriteWarning(const std::string& text) {
    const std::string date = plat::FormatDate(plat::DateNow(), kLogDatePattern);
    plat::TextFile log = plat::OpenAppend(gSettings.WARNINGS);
    if (!log.Valid()) return;
    const std::string lines[] = {kWarningBanner, "", "KORVANE WARNING:DATE:" + date, text, "", kWarningBanner, ""};
    for (const std::string& line : lines) plat::WriteLine(log, line);
    plat::Close(log);
}
