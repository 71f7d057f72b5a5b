// Helpers of the fuzz targets: fuzz input as a scratch file, and as lines split the way the
// text file reader splits them (CR, LF, CR LF or NUL end a line).
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

inline std::string WriteScratchFile(const uint8_t* data, size_t size, const char* suffix) {
    const std::string path = "fuzz_scratch_" + std::to_string(::getpid()) + suffix;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out != nullptr) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    return path;
}

inline std::vector<std::string> SplitLines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < size) {
        std::string line;
        while (i < size && data[i] != '\r' && data[i] != '\n' && data[i] != 0) line.push_back(char(data[i++]));
        if (i < size) {
            const bool crlf = data[i] == '\r' && i + 1 < size && data[i + 1] == '\n';
            i += crlf ? 2 : 1;
        }
        lines.push_back(line);
    }
    return lines;
}
