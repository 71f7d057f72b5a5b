// Finding and starting programs: the lookup beside the own binary and along PATH, a started
// program running in its directory without blocking the caller, and starts that must fail.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"
#include "tests/platform/core_temp_dir.h"
#include "tests/support/posix_calls.h"

namespace {

// Sets PATH for one test and puts the old value back.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& value) : old_(getenv("PATH") ? getenv("PATH") : "") {
        setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath() { setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

void WriteScript(const std::string& path, const std::string& body) {
    coretest::WriteBytes(path, "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

TEST(CoreProcess, FindsOnlyExecutableFilesAlongThePathInOrder) {
    coretest::TempDir dir;
    const std::string a = dir.File("a"), b = dir.File("b");
    std::filesystem::create_directories(a);
    std::filesystem::create_directories(b);
    WriteScript(b + "/prog", "exit 0");
    coretest::WriteBytes(a + "/prog", "not executable");  // first on the path, but not runnable
    std::filesystem::create_directories(a + "/dirprog");  // a directory never counts
    ScopedPath path(a + ":" + b);
    EXPECT_EQ(plat::FindProgram("prog"), b + "/prog");
    EXPECT_EQ(plat::FindProgram("dirprog"), "");
    EXPECT_EQ(plat::FindProgram("nothing-by-this-name"), "");
    EXPECT_EQ(plat::FindProgram(""), "");
}

TEST(CoreProcess, StartedProgramRunsInItsDirectoryWithoutBlocking) {
    coretest::TempDir dir;
    const std::string script = dir.File("prog");
    // Writes its arguments into a file of its working directory, then waits for a go file.
    WriteScript(script, "echo \"$1 $2\" > seen; while [ ! -f go ]; do sleep 0.05; done");
    plat::Process process = plat::StartProgram(script, {"--map", "m x"}, dir.Prefix());
    ASSERT_TRUE(process.Valid());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    // The shell makes the file before it writes the line: wait for the whole line.
    while (coretest::ReadBytes(dir.File("seen")).find('\n') == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(coretest::ReadBytes(dir.File("seen")), "--map m x\n");
    EXPECT_TRUE(plat::ProgramRunning(process));
    coretest::WriteBytes(dir.File("go"), "");
    while (plat::ProgramRunning(process) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(plat::ProgramRunning(process));
    EXPECT_FALSE(process.Valid());
}

TEST(CoreProcess, StartsThatCannotWorkGiveAnInvalidHandle) {
    coretest::TempDir dir;
    const std::string script = dir.File("prog");
    WriteScript(script, "exit 0");
    coretest::WriteBytes(dir.File("plain"), "#!/bin/sh\n");
    EXPECT_FALSE(plat::StartProgram(dir.File("missing"), {}, dir.Prefix()).Valid());
    EXPECT_FALSE(plat::StartProgram(dir.File("plain"), {}, dir.Prefix()).Valid());
    EXPECT_FALSE(plat::StartProgram(script, {}, dir.File("no-such-directory")).Valid());
    plat::Process none;
    EXPECT_FALSE(plat::ProgramRunning(none));
}

}  // namespace
