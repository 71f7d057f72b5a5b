// Tests of fault trapping: each trapped signal reaches the routine with its description and the
// last position mark, a stack overflow is handled on the alternate stack, re-arming and removal.
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "platform/fault.h"
#include "tests/platform/core_temp_dir.h"

namespace {

// Reports what it was given on stderr and ends the process the way the programs' fatal paths do.
void ReportAndExit(const char* description, const char* module, int line) {
    fprintf(stderr, "FAULT[%s] MODULE[%s] LINE[%d]\n", description, module, line);
    fflush(stderr);
    _exit(0);
}

void OtherRoutine(const char* description, const char*, int) {
    fprintf(stderr, "OTHER ROUTINE[%s]\n", description);
    fflush(stderr);
    _exit(0);
}

// For the direct path: remembers the call instead of ending the process.
struct RecordedFault {
    int calls = 0;
    std::string description, module;
    int line = -1;
};
RecordedFault g_recorded;

void RecordFault(const char* description, const char* module, int line) {
    ++g_recorded.calls;
    g_recorded.description = description;
    g_recorded.module = module;
    g_recorded.line = line;
}

// Recurses until the stack is used up; the volatile frame keeps the compiler from folding it.
int Overflow(int depth) {
    volatile char frame[512];
    frame[0] = static_cast<char>(depth);
    if (depth < 0) return frame[0];  // never true; keeps the recursion formally finite
    return Overflow(depth + 1) + frame[0];
}

class CoreFault : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        plat::g_faultModule = "UNKNOWN";
        plat::g_faultLine = 0;
    }
    void TearDown() override { plat::RemoveFaultHandler(); }
};

TEST_F(CoreFault, RaisedSignalsReachTheRoutineWithTheLastMark) {
    struct Case {
        int signal;
        const char* description;
    };
    const Case cases[] = {
        {SIGSEGV, "ACCESS VIOLATION \\(SIGSEGV\\)"}, {SIGFPE, "ARITHMETIC FAULT \\(SIGFPE\\)"},
        {SIGBUS, "BUS ERROR \\(SIGBUS\\)"},          {SIGILL, "ILLEGAL INSTRUCTION \\(SIGILL\\)"},
        {SIGABRT, "ABORT \\(SIGABRT\\)"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                plat::InstallFaultHandler(ReportAndExit);
                PLAT_MARK("UNIT");
                raise(c.signal);
            },
            ::testing::ExitedWithCode(0),
            std::string("FAULT\\[") + c.description + "\\] MODULE\\[UNIT\\] LINE\\[[0-9]+\\]");
    }
}

TEST_F(CoreFault, LineComesFromTheMarkMacro) {
    const int expectedLine = __LINE__ + 4;
    EXPECT_EXIT(
        {
            plat::InstallFaultHandler(ReportAndExit);
            PLAT_MARK("GFXCORE");
            raise(SIGSEGV);
        },
        ::testing::ExitedWithCode(0),
        "MODULE\\[GFXCORE\\] LINE\\[" + std::to_string(expectedLine) + "\\]");
}

TEST_F(CoreFault, WithoutAMarkThePlaceholderIsReported) {
    EXPECT_EXIT(
        {
            plat::InstallFaultHandler(ReportAndExit);
            raise(SIGSEGV);
        },
        ::testing::ExitedWithCode(0), "MODULE\\[UNKNOWN\\] LINE\\[0\\]");
}

TEST_F(CoreFault, RealAccessViolationAndStackOverflow) {
    EXPECT_EXIT(
        {
            plat::InstallFaultHandler(ReportAndExit);
            PLAT_MARK("IO");
            // An unmapped address in the first page, not null itself, so that the undefined-
            // behaviour checker lets the store reach the hardware fault.
            volatile uintptr_t address = 16;
            *reinterpret_cast<volatile int*>(address) = 1;
        },
        ::testing::ExitedWithCode(0), "FAULT\\[ACCESS VIOLATION \\(SIGSEGV\\)\\] MODULE\\[IO\\]");

    // The normal stack is used up: only the alternate stack lets the handler run.
    EXPECT_EXIT(
        {
            plat::InstallFaultHandler(ReportAndExit);
            PLAT_MARK("AI");
            Overflow(0);
        },
        ::testing::ExitedWithCode(0), "FAULT\\[ACCESS VIOLATION \\(SIGSEGV\\)\\] MODULE\\[AI\\]");
}

TEST_F(CoreFault, ReArmingReplacesTheRoutine) {
    EXPECT_EXIT(
        {
            plat::InstallFaultHandler(ReportAndExit);
            plat::InstallFaultHandler(OtherRoutine);
            raise(SIGFPE);
        },
        ::testing::ExitedWithCode(0), "OTHER ROUTINE\\[ARITHMETIC FAULT \\(SIGFPE\\)\\]");
}

TEST_F(CoreFault, RemovedHandlerLeavesTheFaultToThePlatform) {
    // After removal the routine (which would exit with 0) must not run.
    EXPECT_EXIT(
        {
            plat::InstallFaultHandler(ReportAndExit);
            plat::RemoveFaultHandler();
            raise(SIGSEGV);
            _exit(3);  // a default-handled fault never gets here
        },
        [](int status) { return !(WIFEXITED(status) && WEXITSTATUS(status) == 0); }, "");
}

TEST_F(CoreFault, RaiseFaultCallsTheRoutineDirectly) {
    g_recorded = RecordedFault{};
    plat::RaiseFault("UNCAUGHT EXCEPTION");
    EXPECT_EQ(g_recorded.calls, 0);  // nothing installed: nothing happens

    plat::InstallFaultHandler(RecordFault);
    PLAT_MARK("FWORLD");
    const int markLine = __LINE__ - 1;
    plat::RaiseFault("UNCAUGHT EXCEPTION: bad_alloc");
    EXPECT_EQ(g_recorded.calls, 1);
    EXPECT_EQ(g_recorded.description, "UNCAUGHT EXCEPTION: bad_alloc");
    EXPECT_EQ(g_recorded.module, "FWORLD");
    EXPECT_EQ(g_recorded.line, markLine);

    plat::RemoveFaultHandler();
    plat::RaiseFault("after removal");
    EXPECT_EQ(g_recorded.calls, 1);

    EXPECT_EXIT(
        {
            plat::InstallFaultHandler(ReportAndExit);
            PLAT_MARK("OUTPUT");
            plat::RaiseFault("UNCAUGHT EXCEPTION");
        },
        ::testing::ExitedWithCode(0), "FAULT\\[UNCAUGHT EXCEPTION\\] MODULE\\[OUTPUT\\]");
}

}  // namespace

namespace {

// A fatal path that faults again before it ends: after its first line it either faults, raises
// a fault, or waits forever (a box nobody answers, a hung release) under the watchdog.
enum class Then { kSegfault, kAbort, kRaise, kHangUnderWatchdog };
Then g_then = Then::kSegfault;

void FaultsAgain(const char* description, const char*, int) {
    fprintf(stderr, "FIRST[%s]\n", description);
    fflush(stderr);
    if (g_then == Then::kHangUnderWatchdog) plat::ArmFaultWatchdog(1);
    switch (g_then) {
        case Then::kSegfault: raise(SIGSEGV); break;
        case Then::kAbort: abort();
        case Then::kRaise: plat::RaiseFault("SECOND"); break;
        case Then::kHangUnderWatchdog:
            for (;;) pause();
    }
    fprintf(stderr, "NOT ENDED\n");
    _exit(3);
}

}  // namespace

TEST_F(CoreFault, AFaultDuringTheFatalPathOrItsWatchdogEndsWithExitCodeZero) {
    const struct {
        Then then;
        bool trappedFirst;  // the first fault a signal (else raised directly)
    } cases[] = {{Then::kSegfault, true},  {Then::kAbort, true},  {Then::kRaise, true},
                 {Then::kSegfault, false}, {Then::kHangUnderWatchdog, true}, {Then::kHangUnderWatchdog, false}};
    for (const auto& c : cases) {
        g_then = c.then;
        EXPECT_EXIT(
            {
                plat::InstallFaultHandler(FaultsAgain);
                if (c.trappedFirst) {
                    raise(SIGFPE);
                } else {
                    plat::RaiseFault("FIRST FAULT");
                }
                _exit(4);
            },
            ::testing::ExitedWithCode(0), "FIRST\\[")
            << static_cast<int>(c.then) << " " << c.trappedFirst;
    }
}

namespace {

using coretest::ReadBytes;
using coretest::TempDir;
using coretest::WriteBytes;

TEST(CoreFaultFiles, RawWritersTruncateAppendAndFailCleanly) {
    TempDir dir;
    const std::string log = dir.File("log.txt");
    WriteBytes(log, "old entry\r\n");
    EXPECT_TRUE(plat::AppendToFileRaw(log.c_str(), "new\r\n", 5));
    EXPECT_TRUE(plat::AppendToFileRaw(dir.File("fresh.txt").c_str(), "x", 1));
    EXPECT_EQ(ReadBytes(log), "old entry\r\nnew\r\n");
    EXPECT_EQ(ReadBytes(dir.File("fresh.txt")), "x");
    EXPECT_FALSE(plat::AppendToFileRaw(dir.File("missing/log.txt").c_str(), "x", 1));
    EXPECT_FALSE(plat::AppendToFileRaw("", "x", 1));

    // A created file starts empty, takes writes larger than any buffer whole, and closes once.
    const std::string backup = dir.File("backup");
    WriteBytes(backup, "older and longer content");
    const std::string large(200000, 'm');
    plat::FaultFile file = plat::CreateFaultFile(backup.c_str());
    ASSERT_TRUE(file.Valid());
    EXPECT_TRUE(plat::WriteFaultFile(file, "0\r\n", 3));
    EXPECT_TRUE(plat::WriteFaultFile(file, large.data(), large.size()));
    EXPECT_TRUE(plat::CloseFaultFile(file));
    EXPECT_FALSE(file.Valid());
    EXPECT_FALSE(plat::CloseFaultFile(file));
    EXPECT_FALSE(plat::WriteFaultFile(file, "x", 1));
    EXPECT_EQ(ReadBytes(backup), "0\r\n" + large);

    // The backup's directory is made first; one that cannot be made leaves the file unopened.
    const std::string user = dir.File("USER");
    EXPECT_FALSE(plat::CreateFaultFile((user + "/_LAZARUS1").c_str()).Valid());
    EXPECT_TRUE(plat::MakeDirectoryRaw(user.c_str()));
    EXPECT_TRUE(plat::MakeDirectoryRaw(user.c_str()));  // existing already
    EXPECT_FALSE(plat::MakeDirectoryRaw(backup.c_str()));  // a plain file is in the way
    EXPECT_FALSE(plat::MakeDirectoryRaw(""));
    plat::FaultFile inside = plat::CreateFaultFile((user + "/_LAZARUS1").c_str());
    EXPECT_TRUE(inside.Valid());
    EXPECT_TRUE(plat::CloseFaultFile(inside));
}

}  // namespace
