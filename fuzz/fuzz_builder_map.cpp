// The builder's start-up map ("1" in the start directory) of arbitrary bytes: the builder starts,
// places what the map holds, draws it, saves it and reads it back (see builder_world.h).
#include <cstdint>

#include "builder_world.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzbuilder::MakeWorld();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzbuilder::WriteFile("1", std::string(reinterpret_cast<const char*>(data), size));
    fuzzbuilder::RunBuilder();
    return 0;
}
