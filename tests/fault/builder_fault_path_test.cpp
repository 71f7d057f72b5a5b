// The builder's fault routine writes its log entry and its crash backup without allocating:
// with every allocation made fatal from the moment of the fault, both files are complete when
// the first allocation (the message box, shown only afterwards) ends the process.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>

#include "builder/BUILDERENV.h"
#include "builder/BUILDERio.h"
#include "builder/BUILDERTESTROUTINES.h"
#include "platform/fault.h"
#include "tests/builder/builder_fixture.h"
#include "tests/fault/allocation_trap.h"

namespace {

using BuilderFaultPathTest = BuilderTest;


TEST_F(BuilderFaultPathTest, LogEntryAndBackupAreWrittenBeforeAnyAllocation) {
    if (!faulttest::kAllocationTrapAvailable) GTEST_SKIP() << "the sanitizer owns the allocator";
    WriteWorld();
    WriteLines("USER/ERR!!!!.txt", {"earlier entry"});
    ASSERT_TRUE(StartBuilder());
    for (int i = 0; i < 90; ++i) Place(i % 2 ? "rock" : "wall", i * 3.5f, i * 2.5f, i % 5);
    gBuilder.mapTiles.at(7).active = 0;  // a deleted tile is not written
    ASSERT_TRUE(WriteMapFile("expected.dll"));

    EXPECT_EXIT(
        {
            ArmFaultHandler();
            PLAT_MARK("BUILDERio");
            faulttest::ArmAllocationTrap();
            std::raise(SIGSEGV);
        },
        ::testing::ExitedWithCode(faulttest::kAllocationTrapExitCode), "ALLOCATION IN FAULT PATH");

    const std::vector<std::string> log = ReadLines("USER/ERR!!!!.txt");
    ASSERT_EQ(log.size(), 1u + 7u);
    EXPECT_TRUE(std::regex_match(log[1], std::regex("ZEFA ERROR INFO: DATE: \\d{2}:\\d{2}:\\d{2}   \\d{4},\\d{2},\\d{2}")))
        << log[1];
    EXPECT_EQ(log[2], "ERROR: Include: BUILDERio");
    EXPECT_NE(log[4].find("SIGSEGV"), std::string::npos) << log[4];
    EXPECT_EQ(log[7], "-");

    int backups = 0;
    for (const auto& entry : std::filesystem::directory_iterator("USER")) {
        if (entry.path().filename().string().rfind("_LAZARUS", 0) != 0) continue;
        backups += 1;
        EXPECT_EQ(ReadRaw(entry.path().string()), ReadRaw("expected.dll"));
    }
    EXPECT_EQ(backups, 1);
}

}  // namespace
