// make_broken_images OUTPUT_DIR SEED...: writes the broken variants of the seed images into
// OUTPUT_DIR and prints one line per file: its name and what is broken about it.
#include <cstdio>

#include "tests/support/broken_images.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_broken_images OUTPUT_DIR SEED...\n");
        return 2;
    }
    const std::vector<std::string> seeds(argv + 2, argv + argc);
    for (const auto& file : brokenimages::MakeBrokenImages(seeds, argv[1]))
        std::printf("%s\t%s\n", file.name.c_str(), brokenimages::KindName(file.kind));
    return 0;
}
