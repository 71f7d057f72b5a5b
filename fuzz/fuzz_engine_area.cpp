// An engine area loaded from arbitrary map bytes on the headless backend: the start-up steps
// (configuration, texts, tile library, world tables), the area load and a few frames of the
// world over it, with the loaded world's tables checked afterwards.
#include <cstdint>

#include "engine_world.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzworld::MakeWorld();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzworld::WriteFile("MAPS/LVL0.dll", data, size);
    fuzzworld::RunEngine();
    return 0;
}
