// Warning and fault log entries byte for byte, and the fatal paths (message boxes, exit code 0).
#include <gtest/gtest.h>

#include <csignal>
#include <regex>

#include "engine/ENV.h"
#include "engine/systemcore.h"
#include "engine_fixture.h"
#include "platform/clock.h"
#include "platform/headless.h"
#include "platform/input.h"

namespace {

const char* const kWarningBanner = "####### WARNING ######### WARNING ######## WARNING ########";
const char* const kSorryBanner =
    "####### SORRY ######### SORRY ######## SORRY ######## SORRY ######## SORRY ###### SORRY ######";
const std::regex kLogDate(R"(\d{4},\d{2},\d{2}  TIME:\d{2}:\d{2}:\d{2})");

// Splits a log into its CR LF lines; fails the test on a bare CR or LF.
std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "log does not end with CR LF";
        if (end == std::string::npos) break;
        const std::string line = bytes.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "bare line break in: " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

void ExpectWarningEntry(const std::vector<std::string>& lines, size_t first, const std::string& text) {
    ASSERT_GE(lines.size(), first + 7);
    EXPECT_EQ(lines[first], kWarningBanner);
    EXPECT_EQ(lines[first + 1], "");
    const std::string prefix = "KORVANE WARNING:DATE:";
    EXPECT_EQ(lines[first + 2].substr(0, prefix.size()), prefix);
    EXPECT_TRUE(std::regex_match(lines[first + 2].substr(prefix.size()), kLogDate)) << lines[first + 2];
    EXPECT_EQ(lines[first + 3], text);
    EXPECT_EQ(lines[first + 4], "");
    EXPECT_EQ(lines[first + 5], kWarningBanner);
    EXPECT_EQ(lines[first + 6], "");
}

using LogTest = EngineTest;

TEST_F(LogTest, WarningsAreAppendedAfterEarlierContent) {
    WriteRaw("warn.log", "older line\r\n");
    gSettings.WARNINGS = "warn.log";
    const std::string before = plat::FormatDate(plat::DateNow(), kLogDatePattern);
    WriteWarning("COULD NOT FIND SOUND:S#L3.wav");
    WriteWarning("second");
    const std::string after = plat::FormatDate(plat::DateNow(), kLogDatePattern);

    const std::vector<std::string> lines = CrLfLines(ReadRaw("warn.log"));
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "older line");
    ExpectWarningEntry(lines, 1, "COULD NOT FIND SOUND:S#L3.wav");
    ExpectWarningEntry(lines, 8, "second");
    const std::string date = lines[3].substr(std::string("KORVANE WARNING:DATE:").size());
    EXPECT_TRUE(date == before || date == after) << date;
}

TEST_F(LogTest, WarningLogIsCreatedWhenMissing) {
    gSettings.WARNINGS = "new.log";
    WriteWarning("hello");
    ExpectWarningEntry(CrLfLines(ReadRaw("new.log")), 0, "hello");
}

TEST_F(LogTest, UnwritableWarningLogIsDroppedSilently) {
    gSettings.WARNINGS = "no/such/dir/warn.log";
    WriteWarning("lost");
    EXPECT_FALSE(std::filesystem::exists("no/such/dir/warn.log"));
    gSettings.WARNINGS = "";
    WriteWarning("lost too");
}

using FatalTest = EngineTest;

TEST_F(FatalTest, MissingConfigurationShowsTwoBoxesNamingTheFile) {
    EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0),
                "MESSAGEBOX KORVANE_CORE ERROR:: #ERROR_INIT_INIT: .*CORE/ini\\.crc\n"
                "MESSAGEBOX KORVANE_CORE INFO: Sorry,Dear User: KORVANE has to quit, because of the error\n");
}

TEST_F(FatalTest, MissingSystemTextFileShowsTwoBoxes) {
    WriteLines("CORE/ini.crc", {"SYSTEMTEXT", "CORE/missing.txt"});
    EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0),
                "MESSAGEBOX KORVANE_CORE ERROR:: #ERROR_INIT_INIT: CORE/missing\\.txt\n"
                "MESSAGEBOX KORVANE_CORE INFO: Sorry,Dear User: KORVANE has to quit");
}

TEST_F(FatalTest, DisplayThatCannotOpenShowsItsSystemText) {
    WriteStartableWorld();
    plat::headless::SetScreenFails(true);
    EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0),
                "MESSAGEBOX KORVANE_CORE ERROR:: The display could not be opened\\.\n"
                "MESSAGEBOX KORVANE_CORE INFO: Sorry,Dear User");
}

TEST_F(FatalTest, ObjectTablesTooLargeForMemoryEndWithTwoBoxes) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reports a failed allocation instead of throwing";
#endif
    WriteStartableWorld();
    WriteLines("CORE/ini.crc", {"SYSTEMTEXT", "CORE/texts.txt", "CODECS", "CORE/codecs.crc", "GFX", "GFX/",
                                "MAXOBJECTS", "2000000000"});
    EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0),
                "MESSAGEBOX KORVANE_CORE ERROR:: #ERROR_UNKNOWN: .*alloc.*\n"
                "MESSAGEBOX KORVANE_CORE INFO: Sorry,Dear User");
}

TEST_F(FatalTest, FaultInsideTheMainLoopWritesTheNineLineEntry) {
    WriteStartableWorld();
    WriteRaw("error.log", "earlier\r\n");
    // The third poll of the keyboard (inside the loop's input step) faults.
    plat::headless::SetPollHook([](int poll) {
        if (poll == 3) std::raise(SIGSEGV);
    });
    EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0), "");

    const std::vector<std::string> lines = CrLfLines(ReadRaw("error.log"));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "earlier");
    EXPECT_EQ(lines[1], kSorryBanner);
    EXPECT_EQ(lines[2], "");
    const std::string prefix = "KORVANE ERROR HANDLER: ERROR DATE:";
    EXPECT_EQ(lines[3].substr(0, prefix.size()), prefix);
    EXPECT_TRUE(std::regex_match(lines[3].substr(prefix.size()), kLogDate)) << lines[3];
    EXPECT_NE(lines[4].find("SIGSEGV"), std::string::npos) << lines[4];
    EXPECT_TRUE(std::regex_match(lines[5], std::regex(R"(Module:gui AT LINE:[1-9][0-9]*)"))) << lines[5];
    EXPECT_EQ(lines[6], "FATAL ERROR,CAN NOT CONTINUE KORVANE_CORE, PLEASE CONTACT DEVELOPER");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[8], kSorryBanner);
    EXPECT_EQ(lines[9], "");
}

TEST_F(FatalTest, FaultWithAnUnwritableLogStillEndsCleanly) {
    WriteStartableWorld();
    WriteLines("CORE/ini.crc", {"SYSTEMTEXT", "CORE/texts.txt", "CODECS", "CORE/codecs.crc", "GFX", "GFX/",
                                "ERRORPATH", "no/such/dir/error.log"});
    plat::headless::SetPollHook([](int poll) {
        if (poll == 2) std::raise(SIGFPE);
    });
    EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(std::filesystem::exists("no/such/dir/error.log"));
}

TEST_F(FatalTest, UncaughtExceptionInTheLoopTakesTheFaultPath) {
    WriteStartableWorld();
    plat::headless::SetPollHook([](int poll) {
        if (poll == 2) throw std::runtime_error("broken frame");
    });
    EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0), "");
    const std::vector<std::string> lines = CrLfLines(ReadRaw("error.log"));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[3], "UNCAUGHT EXCEPTION: broken frame");
}

TEST_F(FatalTest, EscapeAndLeftAltEndTheEngineWithCodeZero) {
    WriteStartableWorld();
    plat::headless::SetPollHook([](int poll) {
        // Escape alone for a while, then both keys.
        plat::headless::SetKey(plat::kKeyEscape, poll >= 3);
        plat::headless::SetKey(plat::kKeyLeftAlt, poll >= 10);
    });
    EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(std::filesystem::exists("error.log"));
}

}  // namespace
