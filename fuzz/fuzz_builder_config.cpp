// The builder's configuration chain of arbitrary bytes: the first byte picks one file of the
// chain (main configuration, application script, application file, interface file, codec file or
// default descriptor), the rest replaces its content, and the builder starts over it, reads its
// tile library and the start-up map, saves and reads back.
#include <cstdint>

#include "builder/BUILDERWORLD.h"
#include "builder_world.h"
#include "worldfiles/convert.h"
#include "worldfiles/lines.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzbuilder::MakeWorld();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t file = data[0] % fuzzbuilder::Chain().size();
    std::string content(reinterpret_cast<const char*>(data + 1), size - 1);
    content += "\n";
    // The pinned groups must start a group: the content is filled up to whole groups of four.
    while (SplitLines(reinterpret_cast<const uint8_t*>(content.data()), content.size()).size() % 4 != 0) {
        content += "\n";
    }
    fuzzbuilder::WriteChainFile(file, content);
    // The start keeps a small pinned MAXTILES (a huge table ends the builder with a message, which
    // would end the fuzzer); the table size of every fuzzed MAXTILES value is checked on its own:
    // slots 0..value, none for a negative value, with no overflow up to 2,147,483,647.
    wf::ReadGroupsOfFour(scratch::At(fuzzbuilder::Chain()[file].path), [](const std::string& key, const std::string& value) {
        if (key != "MAXTILES") return;
        const int32_t maxTiles = wf::ParseInt(value);
        const size_t expected = maxTiles < 0 ? 0 : static_cast<size_t>(maxTiles) + 1;
        scratch::Check(PlacedTileSlots(maxTiles) == expected);
    });
    fuzzbuilder::RunBuilder();
    fuzzbuilder::WriteChainFile(file, fuzzbuilder::DefaultContent(file));
    return 0;
}
