// Shared set-up of the engine tests: a fresh temporary working directory with a CORE folder, the
// headless backend reset and the engine's records at their start values.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/basevars.h"
#include "engine/systemcore.h"
#include "platform/headless.h"
#include "platform/images.h"
#include "tests/support/temp_world_test.h"

class EngineTest : public TempWorldTest {
public:
    void SetUp() override {
        TempWorldTest::SetUp();
        std::filesystem::create_directories("CORE");
        plat::headless::Reset();
        SetStartValues();
    }
};

// A complete world that starts: configuration, texts, one tile, one map.
inline void WriteStartableWorld() {
    EngineTest::WriteLines("CORE/ini.crc", {"SYSTEMTEXT", "CORE/texts.txt", "CODECS", "CORE/codecs.crc", "GFX", "GFX/",
                                            "SIMCORE", "MAPS/", "ERRORPATH", "error.log", "WARNINGS", "warn.log",
                                            "MAXOBJECTS", "10", "SOURCEWIDTH", "1280", "SOURCEHEIGHT", "1024"});
    EngineTest::WriteLines("CORE/texts.txt", {"#ERROR_OPEN_WORLD_SCREEN", "The display could not be opened."});
    EngineTest::WriteLines("CORE/codecs.crc", {"GFXCODEC", "", ".png", ""});
    EngineTest::WritePng("GFX/rock.png", 8, 8, 10, 20, 30);
    EngineTest::WriteLines("GFX/rock.dll", {"worldFTileTransparency", "255"});
    EngineTest::WriteLines("MAPS/LVL0.dll", {"0", "0", "TILE", "rock", "0", "0", "0", "8", "8", "0", "ENGINETILEINFOEND"});
}
