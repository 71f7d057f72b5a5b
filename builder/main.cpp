// plom: the map builder. Everything lives in builder_lib; main only starts it.
#include "builder/BUILDERENV.h"

int main() {
    RunBuilder();
}
