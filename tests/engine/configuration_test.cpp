// Reading of ini.crc, the codec file and the system text file through the engine's readers.
#include <gtest/gtest.h>

#include "engine/ENV.h"
#include "engine/systemcore.h"
#include "engine_fixture.h"

namespace {

class ConfigurationTest : public EngineTest {
protected:
    void ReadIni(const std::vector<std::string>& lines) {
        WriteLines("CORE/ini.crc", lines);
        ReadConfiguration();
    }
};

TEST_F(ConfigurationTest, StartValuesBeforeAnyFileIsRead) {
    EXPECT_EQ(gSettings.VERSION, "VERSION INFO MISSING");
    EXPECT_EQ(gState.loadedArea, -1000);
    EXPECT_EQ(gState.requestedArea, 0);
    EXPECT_EQ(gState.nextSecond, 1000);
    EXPECT_EQ(gState.gridCellLimit, 256);
    EXPECT_FLOAT_EQ(gSettings.SOURCEWIDTH, 1.0f);
    EXPECT_FLOAT_EQ(gState.bottomBarHeight, 1.0f);
    EXPECT_FALSE(gState.currentSound.Valid());
    EXPECT_EQ(gState.engineDirectory, (dir_ / "CORE").generic_string() + "/");
}

TEST_F(ConfigurationTest, EveryKeyStoredByItsType) {
    ReadIni({"SYSTEMTEXT", "CORE/texts.txt", "ATOMSYSTEM", "atoms", "GRIDSIZE", "32", "MATRIXSIZE", "20",
             "MATRIX_OFFSET_X", "-15", "MATRIX_OFFSET_Y", "7.9", "APPMODE", "1", "CODECS", "CORE/codecs.crc",
             "GFX", "GFX/", "MAXOBJECTS", "500", "SIMCORE", "MAPS/", "SOURCEWIDTH", "800.5", "ANIMSYSTEM", "ANIM/",
             "MAXANIMFRAMES", "6", "SOURCEHEIGHT", "6e2", "SOUNDPATH", "SND/", "ERRORPATH", "err.log",
             "WARNINGS", "warn.log", "USRSCROLL", "1", "VERSION", "V 2", "DYNAMICSCROLL", "1", "PIP", "1",
             "APPENTRY", "3", "APPSMOOTH", "1", "MULTITASK", "12"});
    EXPECT_EQ(gSettings.SYSTEMTEXT, "CORE/texts.txt");
    EXPECT_EQ(gSettings.ATOMSYSTEM, "atoms");
    EXPECT_FLOAT_EQ(gSettings.GRIDSIZE, 32.0f);
    EXPECT_FLOAT_EQ(gState.cellWidth, 32.0f);
    EXPECT_FLOAT_EQ(gState.cellHeight, 32.0f);
    EXPECT_EQ(gSettings.MATRIXSIZE, 20);
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_X, -15.0f);
    EXPECT_FLOAT_EQ(gSettings.MATRIX_OFFSET_Y, 7.0f);  // an integer key: the fraction is not read
    EXPECT_EQ(gSettings.APPMODE, 1);
    EXPECT_EQ(gSettings.CODECS, "CORE/codecs.crc");
    EXPECT_EQ(gSettings.GFX, "GFX/");
    EXPECT_EQ(gSettings.MAXOBJECTS, 500);
    EXPECT_EQ(gSettings.SIMCORE, "MAPS/");
    EXPECT_FLOAT_EQ(gSettings.SOURCEWIDTH, 800.5f);
    EXPECT_EQ(gSettings.ANIMSYSTEM, "ANIM/");
    EXPECT_EQ(gSettings.MAXANIMFRAMES, 6);
    EXPECT_FLOAT_EQ(gSettings.SOURCEHEIGHT, 600.0f);
    EXPECT_EQ(gSettings.SOUNDPATH, "SND/");
    EXPECT_EQ(gSettings.ERRORPATH, "err.log");
    EXPECT_EQ(gSettings.WARNINGS, "warn.log");
    EXPECT_EQ(gSettings.USRSCROLL, 1);
    EXPECT_EQ(gSettings.VERSION, "V 2");
    EXPECT_EQ(gSettings.DYNAMICSCROLL, 1);
    EXPECT_EQ(gSettings.PIP, 1);
    EXPECT_EQ(gSettings.APPENTRY, 3);
    EXPECT_EQ(gState.requestedArea, 3);
    EXPECT_EQ(gState.startArea, 3);
    EXPECT_EQ(gSettings.APPSMOOTH, 1);
    EXPECT_EQ(gSettings.MULTITASK, 12);
    EXPECT_EQ(gSettings.simulationScope, kScopeRegion);
}

TEST_F(ConfigurationTest, ClampsAndEightBitKeys) {
    ReadIni({"MATRIXSIZE", "300", "MULTITASK", "200", "USRSCROLL", "257", "PIP", "255"});
    EXPECT_EQ(gSettings.MATRIXSIZE, 256);
    EXPECT_EQ(gSettings.MULTITASK, 127);
    EXPECT_EQ(gSettings.USRSCROLL, 1);
    EXPECT_EQ(gSettings.PIP, -1);

    SetStartValues();
    ReadIni({"MATRIXSIZE", "-5", "MULTITASK", "-3"});
    EXPECT_EQ(gSettings.MATRIXSIZE, -5);  // no lower bound: an empty grid
    EXPECT_EQ(gSettings.MULTITASK, 0);

    SetStartValues();
    ReadIni({"MULTITASK", "12 frames", "MAXOBJECTS", "  42", "APPENTRY", "+7", "MAXANIMFRAMES", "x5"});
    EXPECT_EQ(gSettings.MULTITASK, 12);
    EXPECT_EQ(gSettings.MAXOBJECTS, 42);
    EXPECT_EQ(gSettings.APPENTRY, 7);
    EXPECT_EQ(gSettings.MAXANIMFRAMES, 0);
}

TEST_F(ConfigurationTest, KeysAreWholeLinesAndTheLastOneWins) {
    ReadIni({"GRIDSIZE ", "64", "gridsize", "65", "UNKNOWN", "x", "SIMCORE", "first/", "SIMCORE", "second/"});
    EXPECT_FLOAT_EQ(gSettings.GRIDSIZE, 0.0f);
    EXPECT_EQ(gSettings.SIMCORE, "second/");
}

TEST_F(ConfigurationTest, OddLineCountGivesTheLastKeyAnEmptyValue) {
    ReadIni({"VERSION", "V1", "MAXOBJECTS", "10", "VERSION"});
    EXPECT_EQ(gSettings.VERSION, "");
    EXPECT_EQ(gSettings.MAXOBJECTS, 10);
}

TEST_F(ConfigurationTest, AnyLineEndingSeparatesLines) {
    WriteRaw("CORE/ini.crc", std::string("GFX\rG/\nSIMCORE\r\nS/\r\nVERSION") + '\0' + "V9\nMAXOBJECTS\n5");
    ReadConfiguration();
    EXPECT_EQ(gSettings.GFX, "G/");
    EXPECT_EQ(gSettings.SIMCORE, "S/");
    EXPECT_EQ(gSettings.VERSION, "V9");
    EXPECT_EQ(gSettings.MAXOBJECTS, 5);
}

TEST_F(ConfigurationTest, CodecFileIsReadInGroupsOfFour) {
    WriteLines("CORE/codecs.crc", {"GFXCODEC", "graphics", ".png", "-", "SOUNDCODEC", "sound", ".wav", "-",
                                   "MUSICCODEC", "music", ".ogg", "-", "OTHER", "", "x", ""});
    ReadIni({"CODECS", "CORE/codecs.crc"});
    EXPECT_EQ(gSettings.GFXCODEC, ".png");
    EXPECT_EQ(gSettings.SOUNDCODEC, ".wav");
    EXPECT_EQ(gSettings.MUSICCODEC, ".ogg");
}

TEST_F(ConfigurationTest, ShiftedCodecGroupsSetNothing) {
    WriteLines("CORE/codecs.crc", {"", "GFXCODEC", "ignored", ".png", "-"});
    ReadIni({"CODECS", "CORE/codecs.crc"});
    EXPECT_EQ(gSettings.GFXCODEC, "");
}

TEST_F(ConfigurationTest, MissingCodecFileIsSilent) {
    ReadIni({"CODECS", "CORE/none.crc", "GFX", "G/"});
    EXPECT_EQ(gSettings.GFXCODEC, "");
    EXPECT_EQ(gSettings.GFX, "G/");
}

TEST_F(ConfigurationTest, SystemTextsByKey) {
    WriteLines("texts.txt", {"#ERROR_UNKNOWN", "t0", "#ERROR_INIT_IO", "t1", "#ERROR_INIT_2D_GFX", "t2",
                             "#ERROR_INIT_3D_GFX", "t3", "#ERROR_INIT_UI", "t4", "#ERROR_INIT_INIT ", "ignored",
                             "#ERROR_OPEN_DEVELOPER_WINDOW", "t6", "OTHER", "x", "#ERROR_OPEN_WORLD_SCREEN", "first",
                             "#ERROR_OPEN_WORLD_SCREEN", "t7"});
    ReadIni({"SYSTEMTEXT", "texts.txt"});
    ReadSystemTexts();
    const char* expected[8] = {"t0", "t1", "t2", "t3", "t4", "", "t6", "t7"};
    for (int code = 0; code < 8; ++code) EXPECT_EQ(gTexts.texts[code], expected[code]) << "code " << code;
}

}  // namespace
