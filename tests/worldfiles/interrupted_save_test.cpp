// Saves that cannot be torn: a child process writes a map file (or a descriptor file) over and
// over, alternating two contents, and is killed with SIGKILL at random moments. After every kill
// the file holds exactly one of the two contents, and the next successful write leaves no
// temporary file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <random>

#include "tests/worldfiles/temp_dir.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/mapfile.h"

namespace {

constexpr int kKills = 1000;

struct KillResult {
    int kills = 0;
    int torn = 0;                 // the file was neither content
    int interrupted = 0;          // kills that left the writer's temporary file behind
};

std::vector<std::string> Temporaries(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tmp") != std::string::npos) names.push_back(name);
    }
    return names;
}

// Runs the kill loop for one file kind; `write(first)` writes the first or the second content.
KillResult KillWhileWriting(const wftest::TempDir& dir, const std::string& path,
                            const std::function<bool(bool)>& write) {
    const std::string target = dir.File(path);
    EXPECT_TRUE(write(true));  // the file exists before the first kill
    const std::string first = wftest::ReadBytes(target);
    EXPECT_TRUE(write(false));
    const std::string second = wftest::ReadBytes(target);
    EXPECT_NE(first, second);

    KillResult result;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> delay(0, 4000);  // microseconds before the kill
    for (int round = 0; round < kKills; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            for (bool which = (round % 2) == 0;; which = !which) write(which);
        }
        if (child < 0) {
            ADD_FAILURE() << "fork failed";
            break;
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << "round " << round << " status " << status;
        result.kills += 1;
        if (std::filesystem::exists(target + ".tmp" + std::to_string(child))) result.interrupted += 1;
        const std::string now = wftest::ReadBytes(target);
        if (now != first && now != second) {
            result.torn += 1;
            ADD_FAILURE() << "round " << round << ": " << now.size() << " bytes, neither content";
        }
    }
    EXPECT_TRUE(write(true));
    EXPECT_EQ(wftest::ReadBytes(target), first);
    EXPECT_TRUE(Temporaries(dir.Path()).empty()) << "temporaries left after a successful write";
    return result;
}

TEST(InterruptedSave, MapAndDescriptorFilesAreAlwaysOldOrNew) {
    const std::vector<wf::MapFileTile> smallMap = {{"floor", 3, 0, 0, 128, 128, 0}};
    std::vector<wf::MapFileTile> largeMap;
    for (int i = 0; i < 400; ++i)
        largeMap.push_back({"wall", 1, float(i * 32), float(i % 7 * 32), 32, 32, i % 9});
    const std::vector<wf::DescriptorRow> shortRows = {{"worldFTileVELO", "0"}};
    std::vector<wf::DescriptorRow> longRows;
    for (int i = 0; i < 300; ++i) longRows.push_back({"key" + std::to_string(i), std::to_string(i)});

    wftest::TempDir mapDir, descriptorDir;
    ASSERT_TRUE(mapDir.Valid() && descriptorDir.Valid());
    const KillResult maps = KillWhileWriting(mapDir, "LVL0.dll", [&](bool first) {
        return wf::WriteMapFile(mapDir.File("LVL0.dll"), first ? smallMap : largeMap);
    });
    const KillResult descriptors = KillWhileWriting(descriptorDir, "crate.dll", [&](bool first) {
        return wf::WriteDescriptorFile(descriptorDir.File("crate.dll"), first ? shortRows : longRows);
    });

    for (const KillResult* r : {&maps, &descriptors}) {
        EXPECT_EQ(r->kills, kKills);
        EXPECT_EQ(r->torn, 0);
    }
    // Many kills landed inside a write (the killed writer left its temporary file behind), so
    // the files were really interrupted, not only killed between two writes.
    EXPECT_GT(maps.interrupted, kKills / 20);
    EXPECT_GT(descriptors.interrupted, kKills / 20);
    std::printf("kills: %d map (%d inside a write), %d descriptor (%d inside a write)\n", maps.kills,
                maps.interrupted, descriptors.kills, descriptors.interrupted);
}

}  // namespace
