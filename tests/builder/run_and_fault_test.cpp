// The main loop and the fault path as whole-process runs: quitting after the question, and a
// run-time fault leaving the seven-line log entry, the crash backup and exit code 0.
#include <gmock/gmock.h>

#include <csignal>
#include <regex>

#include "builder/BUILDERMESSAGE.h"
#include "builder/BUILDERTESTROUTINES.h"
#include "builder_fixture.h"
#include "platform/clock.h"
#include "platform/fault.h"
#include "platform/windows.h"

using ::testing::ExitedWithCode;
using ::testing::HasSubstr;
using ::testing::ElementsAre;
using ::testing::MatchesRegex;

using BuilderRun = BuilderTest;

TEST_F(BuilderRun, QuitAsksAndOnlyYesEndsTheLoopWithExitCodeZero) {
    WriteWorld();
    using plat::headless::PushEvent;
    PushEvent({plat::kEventMouseMove, kMainWindow, 0});
    PushEvent({plat::kEventMenu, kTileWindow, 106});
    PushEvent({plat::kEventRepaint, kMainWindow, 0});
    PushEvent({plat::kEventMenu, kTileWindow, 106});
    plat::headless::PushYesNoAnswer(false);
    plat::headless::PushYesNoAnswer(true);
    // No after the first question, Yes after the second; no event is left over (an empty
    // queue would end the run with exit code 86).
    EXPECT_EXIT(RunBuilder(), ExitedWithCode(0),
                MatchesRegex("(.|\n)*MAP BUILDER: Quit\\?: Do you really want to quit\nMAP Builder\\?\nNot saved "
                             "MAPs will be lost(.|\n)*MAP BUILDER: Quit\\?(.|\n)*"));
}

TEST_F(BuilderRun, AFaultLeavesTheLogEntryAndTheCrashBackup) {
    WriteWorld();
    WriteLines("USER/ERR!!!!.txt", {"earlier entry", "-"});
    ASSERT_TRUE(StartBuilder());
    Place("rock", 4, 5, 1);
    Place("wall", 6, 7, 0);
    const int64_t before = plat::DateNow();
    EXPECT_EXIT(
        {
            ArmFaultHandler();
            PLAT_MARK("BUILDERio");
            std::raise(SIGSEGV);
        },
        ExitedWithCode(0), HasSubstr("MESSAGEBOX QUENT BUILDER FATAL ERROR:: Description is stored in: _ERR!!!!.txt"));

    const std::vector<std::string> log = ReadLines("USER/ERR!!!!.txt");
    ASSERT_EQ(log.size(), 2u + 7u);
    EXPECT_THAT(log[2], MatchesRegex("ZEFA ERROR INFO: DATE: [0-9]{2}:[0-9]{2}:[0-9]{2}   [0-9]{4},[0-9]{2},[0-9]{2}"));
    EXPECT_EQ(log[3], "ERROR: Include: BUILDERio");
    EXPECT_THAT(log[4], MatchesRegex("LINE: [0-9]+"));
    EXPECT_THAT(log[5], HasSubstr("WHAT: "));
    EXPECT_THAT(log[5], HasSubstr("SIGSEGV"));
    EXPECT_EQ(log[6], "-");
    EXPECT_EQ(log[7], "-");
    EXPECT_EQ(log[8], "-");

    // The backup is named by the date value; its time is the one in the log (local time).
    std::string backup;
    for (const auto& entry : std::filesystem::directory_iterator("USER")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("_LAZARUS", 0) == 0) backup = name;
    }
    ASSERT_FALSE(backup.empty());
    const int64_t date = std::stoll(backup.substr(8));
    EXPECT_GE(date, before);
    EXPECT_EQ(log[2], "ZEFA ERROR INFO: DATE: " + plat::FormatDate(date, "%hh:%ii:%ss") + "   " +
                          plat::FormatDate(date, "%yyyy,%mm,%dd"));
    EXPECT_THAT(ReadLines("USER/" + backup),
                ElementsAre("0", "0", "TILE", "rock", "0", "4", "5", "32", "16", "1", "TILE", "wall", "1", "6", "7",
                            "64", "64", "0", "ENGINETILEINFOEND"));
}

TEST_F(BuilderRun, ATileTableTooLargeForMemoryIsToldInTheErrorBoxNotReportedAsAFault) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reports a failed allocation instead of throwing";
#endif
    WriteWorld();
    WriteGroups("_DATA/script.txt", {{"WINDOWMODE", "0"}, {"APPINIFILE", "_DATA/app.txt"}, {"MAXTILES", "2000000000"}});
    const std::string memory = MemoryAmountText(2000000001ull * sizeof(MapTile));
    EXPECT_EXIT(RunBuilder(), ExitedWithCode(0),
                HasSubstr("MESSAGEBOX MAP BUILDER ERROR:: MAXTILES 2000000000 needs " + memory +
                          " of memory for the placed-tile table, more than can be had.\nLower MAXTILES in "
                          "_DATA/script.txt"));
    EXPECT_FALSE(Exists("USER/ERR!!!!.txt"));
}

TEST(BuilderMemoryAmount, RoundsUpToTheLargestWholeUnit) {
    const struct {
        uint64_t bytes;
        const char* text;
    } cases[] = {{0, "0 bytes"},       {1023, "1023 bytes"},         {1024, "1 KiB"},
                 {1025, "2 KiB"},      {3ull << 20, "3 MiB"},        {96ull << 30, "96 GiB"},
                 {(96ull << 30) + 1, "97 GiB"}, {5ull << 40, "5 TiB"}};
    for (const auto& c : cases) EXPECT_EQ(MemoryAmountText(c.bytes), c.text) << c.bytes;
}
