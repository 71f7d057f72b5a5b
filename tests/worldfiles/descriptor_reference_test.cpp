// The descriptor reference: plom's one-line meanings cover every key of the default descriptors
// (the demo's and the one a new world gets), name only keys the programs know, and the manual
// page tasko-dna(5) documents exactly the same keys.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "temp_dir.h"
#include "worldfiles/descriptor.h"
#include "worldfiles/lines.h"
#include "worldfiles/newworld.h"

namespace {

// The keys of a descriptor file, up to its ";" trailer.
std::vector<std::string> FileKeys(const std::string& path) {
    std::vector<std::string> keys;
    wf::ReadLinePairs(path, [&keys](const std::string& key, const std::string&) {
        if (key.rfind(';', 0) != 0) keys.push_back(key);
    });
    return keys;
}

// The keys the manual page documents: in section KEYS, each ".TP" entry headed ".B key".
std::set<std::string> ManualPageKeys() {
    std::ifstream page(std::string(TEST_SOURCE_DIR) + "/share/man/tasko-dna.5");
    std::set<std::string> keys;
    std::string line, previous;
    bool inKeys = false;
    while (std::getline(page, line)) {
        if (line.rfind(".SH", 0) == 0) inKeys = line == ".SH KEYS";
        if (inKeys && previous == ".TP" && line.rfind(".B ", 0) == 0) keys.insert(line.substr(3));
        previous = line;
    }
    return keys;
}

TEST(DescriptorReference, EveryDefaultKeyHasAMeaningAndEveryEntryAKnownKeyTheManualPageDocuments) {
    wftest::TempDir dir;
    ASSERT_TRUE(dir.Valid());
    std::string problem;
    ASSERT_TRUE(wf::WriteNewWorld(dir.File("world"), problem)) << problem;
    for (const std::string& path : {std::string(TEST_SOURCE_DIR) + "/demo/_DATA/DNA.dll", dir.File("world/_DATA/DNA.dll")}) {
        const std::vector<std::string> keys = FileKeys(path);
        EXPECT_EQ(keys.size(), 74u) << path;
        for (const std::string& key : keys) EXPECT_NE(wf::DescriptorKeyMeaning(key), "") << key << " of " << path;
    }

    std::set<std::string> entries;
    for (const wf::DescriptorKeyReference& reference : wf::DescriptorKeyReferences()) {
        const std::string meaning = reference.meaning;
        EXPECT_TRUE(wf::IsKnownDescriptorKey(reference.key)) << reference.key;
        EXPECT_TRUE(entries.insert(reference.key).second) << reference.key << " has two entries";
        EXPECT_FALSE(meaning.empty() || meaning.find('\n') != std::string::npos) << reference.key;
    }
    EXPECT_FALSE(wf::IsKnownDescriptorKey("worldFTileGravityX"));
    EXPECT_FALSE(wf::IsKnownDescriptorKey(""));
    EXPECT_EQ(wf::DescriptorKeyMeaning("worldFTileGravityX"), "");

    EXPECT_EQ(ManualPageKeys(), entries);
}

}  // namespace
