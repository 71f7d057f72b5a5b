// The configuration chain on real files and the start-up it drives: keys, four-line groups,
// trailing blanks, GFXPATH with and without its separator, the windows opened at desktop size,
// and the files whose absence ends the builder or is silent.
#include <gmock/gmock.h>

#include "builder/BUILDERPARSER.h"
#include "builder/BUILDERWORLD.h"
#include "builder_fixture.h"
#include "platform/files.h"

using ::testing::ExitedWithCode;
using ::testing::HasSubstr;

using BuilderConfiguration = BuilderTest;

TEST_F(BuilderConfiguration, StartUpReadsTheChainAndOpensTheThreeWindowsAtDesktopSize) {
    WriteWorld();
    // The last group of a key wins; a key with a trailing blank is not that key; a last group
    // cut short still counts (its missing lines are empty).
    WriteLines("_DATA/script.txt", {"WINDOWMODE", "", "0", "", "MAXTILES", "", "7", "", "MAXTILES ", "", "99", "",
                                    "MAXTILES", "", "12", "", "WIDTH", "", "800", "", "DNA", "", "_DATA/other.dll", "",
                                    "APPINIFILE", "", "_DATA/app.txt", "", "MATRIXRASTER", "", "  -16x"});
    ASSERT_TRUE(StartBuilder());

    EXPECT_EQ(gBuilderSettings.MAXTILES, 12);
    EXPECT_EQ(gBuilder.maxTiles, 12);
    EXPECT_EQ(gBuilder.mapTiles.size(), 13u);
    EXPECT_EQ(gBuilderSettings.MATRIXRASTER, -16);
    EXPECT_EQ(gBuilder.defaultDescriptorPath, "_DATA/other.dll");
    EXPECT_EQ(gBuilderSettings.GFXPATH, gBuilder.startDirectory + "GFX/");
    EXPECT_EQ(gBuilderSettings.LOGFILE, gBuilder.startDirectory + "USER/");
    EXPECT_EQ(gBuilderSettings.CODECS, gBuilder.startDirectory + "_DATA/codecs.txt");
    EXPECT_EQ(gBuilderSettings.GUIH, 48);
    EXPECT_EQ(gBuilderSettings.GFXCODEC, ".png");
    EXPECT_EQ(gBuilder.currentMapFile, "1");
    EXPECT_EQ(gBuilder.lastTileIndex, -1);  // no file "1": an empty map
    EXPECT_EQ(gBuilder.startDirectory, plat::CurrentDirectory());
    EXPECT_EQ(gBuilder.mainConfigurationPath, gBuilder.startDirectory + "_DATA/ini.txt");

    // WIDTH 800 with WINDOWMODE 0: the desktop's 1280 x 1024 wins.
    EXPECT_EQ(gBuilder.screenWidth, 1280);
    EXPECT_EQ(gBuilder.screenHeight, 1024);
    struct Expected {
        int number;
        const char* title;
        int x, y, width, height;
        plat::WindowStyle style;
        int owner;
    };
    const Expected windows[] = {
        {kMainWindow, "QUENTBUILDER VERSION 0.5 BASED ON ZEFA BUILDER VERSION 0.7", 0, 0, 1280, 1024,
         plat::WindowStyle::kBorderless, 0},
        {kTileWindow, "Tiles", 0, 0, 320, 256, plat::WindowStyle::kTool, kMainWindow},
        {kDescriptorWindow, "DNA_DESCRIPTOR_WINDOW", 320, 0, 320, 256, plat::WindowStyle::kTool, kMainWindow},
    };
    for (const Expected& e : windows) {
        const plat::headless::WindowRecord* w = plat::headless::FindWindow(e.number);
        ASSERT_NE(w, nullptr) << e.number;
        EXPECT_EQ(w->title, e.title);
        EXPECT_EQ(w->x, e.x);
        EXPECT_EQ(w->y, e.y);
        EXPECT_EQ(w->width, e.width);
        EXPECT_EQ(w->height, e.height);
        EXPECT_EQ(w->style, e.style);
        EXPECT_EQ(w->owner, e.owner);
    }
    EXPECT_TRUE(plat::headless::FindWindow(kMainWindow)->hasScreen);
    EXPECT_EQ(plat::ScreenWidth(), 1280);
    EXPECT_EQ(plat::headless::ActiveWindow(), kTileWindow);
    ASSERT_TRUE(plat::MenuExists(kTileMenu));
    ASSERT_TRUE(plat::MenuExists(kDescriptorMenu));
    EXPECT_EQ(plat::headless::FindMenu(kTileMenu)->window, kTileWindow);
    EXPECT_EQ(plat::headless::FindMenu(kDescriptorMenu)->window, kDescriptorWindow);
}

TEST_F(BuilderConfiguration, GfxPathWithAndWithoutItsSeparator) {
    struct Case {
        const char* gfxPath;
        std::vector<std::string> expectedTypes;
    };
    const Case cases[] = {
        {"GFX/", {"rock", "wall"}},
        // Tile names are appended to "GFX" itself: descriptors are looked for as GFXrock.dll
        // beside the directory; only that one exists, and its graphic GFXrock.png does not.
        {"GFX", {"rock"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gfxPath);
        plat::headless::Reset();
        SetBuilderStartValues();
        WriteWorld(c.gfxPath);
        WriteDescriptor("GFXrock.dll", {{"hp", "1"}});
        ASSERT_TRUE(StartBuilder());
        std::vector<std::string> names;
        for (const TileType& type : gBuilder.tileLibrary) names.push_back(type.name);
        EXPECT_EQ(names, c.expectedTypes);
        EXPECT_EQ(gBuilderSettings.GFXPATH, gBuilder.startDirectory + c.gfxPath);
    }
    EXPECT_FALSE(gBuilder.tileLibrary[0].sprite.Valid());  // "GFXrock.png" does not exist
    EXPECT_EQ(gBuilder.lastLibraryIndex, -1);
}

TEST_F(BuilderConfiguration, MissingChainFileEndsTheBuilderWithItsPathAndExitCodeZero) {
    const std::string files[] = {"_DATA/ini.txt", "_DATA/script.txt", "_DATA/app.txt"};
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        WriteWorld();
        std::filesystem::remove(file);
        // Paths of the script and application file are used as written; the main
        // configuration is below the start directory.
        const std::string shown = file == "_DATA/ini.txt" ? gBuilder.startDirectory + file : file;
        EXPECT_EXIT(StartBuilder(), ExitedWithCode(0),
                    HasSubstr("MESSAGEBOX PLOM ERROR : " + shown + " Result:   0   FAIL"));
    }
}

TEST_F(BuilderConfiguration, MissingInterfaceAndCodecFilesAreSilent) {
    WriteWorld();
    std::filesystem::remove("_DATA/gui.txt");
    std::filesystem::remove("_DATA/codecs.txt");
    ASSERT_TRUE(StartBuilder());
    EXPECT_TRUE(plat::headless::MessageBoxes().empty());
    EXPECT_EQ(gBuilderSettings.GUIH, 0);
    EXPECT_EQ(gBuilderSettings.GFXCODEC, "");
}

TEST_F(BuilderConfiguration, WindowModeOtherThanZeroOpensNoWindowAndEnds) {
    WriteWorld();
    WriteGroups("_DATA/script.txt", {{"WINDOWMODE", "1"}, {"APPINIFILE", "_DATA/app.txt"}});
    EXPECT_EXIT(StartBuilder(), ExitedWithCode(0), HasSubstr("MESSAGEBOX MAP BUILDER ERROR:: Can Not Open Main Window"));
}

TEST_F(BuilderConfiguration, KeyWithTrailingBlankIsIgnoredAndThePreviousValueKept) {
    // The blank-ended key comes last in each file, so trimming keys would take its value.
    struct Case {
        const char* file;
        std::vector<std::pair<std::string, std::string>> groups;
    };
    const std::vector<std::pair<std::string, std::string>> script = {
        {"WINDOWMODE", "0"}, {"APPINIFILE", "_DATA/app.txt"}, {"MATRIXRASTER", "32"},
        {"MAXTILES", "12"},  {"GFXDETAIL", "0"},              {"MAXTILES ", "99"},
        {"GFXDETAIL ", "3"}, {"DNA ", "_DATA/other.dll"}};
    const std::vector<std::pair<std::string, std::string>> app = {
        {"GFXPATH", "GFX/"}, {"LOGFILE", "USER/"},  {"GUIINI", "_DATA/gui.txt"},
        {"CODECS", "_DATA/codecs.txt"}, {"GFXPATH ", "ELSEWHERE/"}};
    const Case cases[] = {{"_DATA/script.txt", script},
                          {"_DATA/app.txt", app},
                          {"_DATA/codecs.txt", {{"GFXCODEC", ".png"}, {"GFXCODEC ", ".jpg"}}},
                          {"_DATA/gui.txt", {{"GUIH", "48"}, {"GUIH ", "7"}}}};
    WriteWorld();
    for (const Case& c : cases) WriteGroups(c.file, c.groups);
    ASSERT_TRUE(StartBuilder());
    EXPECT_EQ(gBuilder.maxTiles, 12);
    EXPECT_EQ(gBuilderSettings.GFXDETAIL, 0);
    EXPECT_TRUE(plat::headless::NearestSampling());
    EXPECT_EQ(gBuilder.defaultDescriptorPath, gBuilder.startDirectory + "_DATA/DNA.dll");
    EXPECT_EQ(gBuilderSettings.GFXPATH, gBuilder.startDirectory + "GFX/");
    EXPECT_EQ(gBuilderSettings.GFXCODEC, ".png");
    EXPECT_EQ(gBuilderSettings.GUIH, 48);
    EXPECT_EQ(gBuilder.tileLibrary.size(), 2u);  // rock and wall were found under GFX/ as .png
}

TEST_F(BuilderConfiguration, GfxDetailSetsTheSpriteSamplingAndAnEmptyDnaKeepsTheDefault) {
    const struct {
        const char* detail;
        bool nearest;
    } cases[] = {{"0", true}, {"-4", true}, {"1", false}, {"7", false}};
    for (const auto& c : cases) {
        plat::headless::Reset();
        SetBuilderStartValues();
        WriteWorld();
        WriteGroups("_DATA/script.txt", {{"WINDOWMODE", "0"},
                                         {"APPINIFILE", "_DATA/app.txt"},
                                         {"DNA", ""},
                                         {"GFXDETAIL", c.detail}});
        ASSERT_TRUE(StartBuilder()) << c.detail;
        EXPECT_EQ(plat::headless::NearestSampling(), c.nearest) << c.detail;
        EXPECT_EQ(gBuilder.defaultDescriptorPath, gBuilder.startDirectory + "_DATA/DNA.dll") << c.detail;
    }
}

TEST_F(BuilderConfiguration, PlacedTileTableSizeAtTheEdgesOfMaxTiles) {
    // Slots 0..MAXTILES, in 64 bits: the largest 32-bit value does not overflow to 0 slots.
    const struct {
        int32_t maxTiles;
        size_t slots;
    } cases[] = {{INT32_MIN, 0}, {-1, 0}, {0, 1}, {3, 4}, {2147483646, 2147483647u}, {INT32_MAX, 2147483648u}};
    for (const auto& c : cases) EXPECT_EQ(PlacedTileSlots(c.maxTiles), c.slots) << c.maxTiles;
}
