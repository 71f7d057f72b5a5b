// The text file reader on arbitrary bytes: the whole-file read gives exactly the lines of the
// line-by-line read, and both agree with the line rules.
#include <unistd.h>

#include <cstdint>

#include "fuzz_common.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteScratchFile(data, size, ".txt");
    std::vector<std::string> whole;
    if (!plat::ReadAllLines(path, whole)) __builtin_trap();
    std::vector<std::string> byLine;
    plat::TextFile file = plat::OpenRead(path);
    while (!plat::AtEnd(file)) byLine.push_back(plat::ReadLine(file));
    plat::Close(file);
    if (whole != byLine || whole != SplitLines(data, size)) __builtin_trap();
    ::unlink(path.c_str());
    return 0;
}
