// The engine's fault routine writes its entry without allocating and ends the process at once:
// with every allocation made fatal from the moment of the fault, the entry is still complete and
// the exit code is 0.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>

#include "engine/ENV.h"
#include "platform/clock.h"
#include "platform/fault.h"
#include "tests/engine/engine_fixture.h"
#include "tests/fault/allocation_trap.h"

namespace {

using FaultPathTest = EngineTest;

TEST_F(FaultPathTest, TheTrapCatchesEveryKindOfAllocation) {
    if (!faulttest::kAllocationTrapAvailable) GTEST_SKIP() << "the sanitizer owns the allocator";
    EXPECT_EXIT(
        {
            faulttest::ArmAllocationTrap();
            std::string grown(100, 'x');  // operator new
            std::_Exit(grown.size() == 100 ? 0 : 1);
        },
        ::testing::ExitedWithCode(faulttest::kAllocationTrapExitCode), "ALLOCATION IN FAULT PATH");
    EXPECT_EXIT(
        {
            faulttest::ArmAllocationTrap();
            void* volatile p = std::malloc(16);
            std::_Exit(p != nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(faulttest::kAllocationTrapExitCode), "ALLOCATION IN FAULT PATH");
}

TEST_F(FaultPathTest, EngineFaultWritesItsEntryWithoutAllocating) {
    if (!faulttest::kAllocationTrapAvailable) GTEST_SKIP() << "the sanitizer owns the allocator";
    WriteStartableWorld();
    for (int signal : {SIGSEGV, SIGFPE, SIGABRT}) {
        plat::headless::SetPollHook([signal](int poll) {
            if (poll != 3) return;
            faulttest::ArmAllocationTrap();
            std::raise(signal);
        });
        EXPECT_EXIT(RunEngine(), ::testing::ExitedWithCode(0), "") << signal;
    }
    // Three complete nine-line entries, dated like every other log entry.
    const std::string log = ReadRaw("error.log");
    const std::regex entry(
        "#+ SORRY[ #A-Z]*\r\n\r\n"
        "KORVANE ERROR HANDLER: ERROR DATE:\\d{4},\\d{2},\\d{2}  TIME:\\d{2}:\\d{2}:\\d{2}\r\n"
        "[A-Z ]+\\((SIGSEGV|SIGFPE|SIGABRT)\\)\r\n"
        "Module:gui AT LINE:[1-9][0-9]*\r\n"
        "FATAL ERROR,CAN NOT CONTINUE KORVANE_CORE, PLEASE CONTACT DEVELOPER\r\n\r\n"
        "#+ SORRY[ #A-Z]*\r\n\r\n");
    const auto begin = std::sregex_iterator(log.begin(), log.end(), entry);
    EXPECT_EQ(std::distance(begin, std::sregex_iterator()), 3) << log;
}

// The date written from the fault path is the local date FormatDate gives for the same second.
TEST(FaultDate, MatchesTheLibraryFormatting) {
    plat::PrepareFaultClock();
    const char* pattern = "%yyyy,%mm,%dd  TIME:%hh:%ii:%ss and %% text";
    const int64_t before = plat::DateNow();
    const long long now = plat::FaultDateNow();
    const int64_t after = plat::DateNow();
    // DateNow (time()) may read the system's coarse clock, up to a tick behind the precise one.
    EXPECT_GE(now, before);
    EXPECT_LE(now, after + 1);
    plat::FaultText text;
    plat::AppendFaultDate(text, pattern, now);
    EXPECT_EQ(std::string(text.data), plat::FormatDate(now, pattern));
    // Dates far from now: leap days, the turn of a century, before 1970 (same time zone offset
    // as now, so only dates of the current offset are compared).
    for (long long date : {951782400LL, 951868800LL, 4107542399LL, -86400LL * 365, 1709164800LL}) {
        plat::FaultText text;
        plat::AppendFaultDate(text, "%yyyy-%mm-%dd %hh:%ii:%ss", date);
        struct tm local {};
        const time_t t = static_cast<time_t>(date);
        localtime_r(&t, &local);
        const time_t nowT = time(nullptr);
        struct tm nowLocal {};
        localtime_r(&nowT, &nowLocal);
        if (local.tm_gmtoff != nowLocal.tm_gmtoff) continue;
        EXPECT_EQ(std::string(text.data), plat::FormatDate(date, "%yyyy-%mm-%dd %hh:%ii:%ss")) << date;
    }
}

TEST(FaultText, CutsAtItsCapacityAndWritesNumbers) {
    plat::FaultText text;
    text.AppendInt(-2147483648LL);
    text.Append(" ");
    text.AppendInt(0);
    text.Append(" abcdef", 3);
    EXPECT_STREQ(text.data, "-2147483648 0 ab");
    const std::string longText(plat::FaultText::kCapacity * 2, 'y');
    text.Append(longText.c_str());
    EXPECT_EQ(text.length, plat::FaultText::kCapacity);
    EXPECT_EQ(text.data[text.length], '\0');
}

}  // namespace
