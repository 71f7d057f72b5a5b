// A tile descriptor of arbitrary bytes through the engine's loader: the hero's descriptor file
// is replaced, then the engine starts, loads an area using every tile kind and runs a few
// frames, so every descriptor value reaches the objects, the grid and the drawing.
#include <cstdint>

#include "engine_world.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzworld::MakeWorld();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzworld::WriteFile("GFX/hero.dll", data, size);
    fuzzworld::RunEngine();
    return 0;
}
