// tasko: the tile-world engine. Everything lives in engine_lib; main only starts it.
#include "engine/ENV.h"

int main() {
    RunEngine();
    return 0;
}
