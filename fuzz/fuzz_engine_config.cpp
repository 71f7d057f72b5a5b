// The engine's configuration (CORE/ini.crc) of arbitrary bytes: the engine starts over it, loads
// the area and runs a few frames. The keys naming files and folders and the object table size are
// appended after the input, so they always win (a later pair overrides an earlier one): the
// engine never writes its logs outside the scratch directory, and tables too large for memory
// (which end the start-up with the fatal boxes) are left to the limits benchmark.
#include <cstdint>

#include "engine_world.h"
#include "fuzz_common.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzworld::MakeWorld();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    bytes += "\n";
    // An odd number of lines would turn the appended keys into values.
    if (SplitLines(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()).size() % 2 != 0) bytes += "\n";
    fuzzworld::WriteFile("CORE/ini.crc", bytes + fuzzworld::Lines(fuzzworld::PathSettings()));
    fuzzworld::RunEngine();
    return 0;
}
