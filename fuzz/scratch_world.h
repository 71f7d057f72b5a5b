// The scratch directory the engine and builder fuzz worlds are written into: one per process,
// named after the process and removed when it ends, with helpers that write and read files in
// it by paths relative to it (the working directory stays where libFuzzer was started, so its
// relative corpus and artifact paths keep working).
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/images.h"

namespace scratch {

inline std::filesystem::path gDirectory;

inline std::string At(const std::string& path) { return (gDirectory / path).string(); }

inline void WriteFile(const std::string& path, const std::string& bytes) {
    const std::filesystem::path p(At(path));
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    WriteFile(path, std::string(reinterpret_cast<const char*>(data), size));
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(At(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A PNG of one shade; with `whiteFirstColumn`, its first column is white (the colour a tile
// kind may key out).
inline void WriteTile(const std::string& path, int width, int height, uint8_t shade, bool whiteFirstColumn) {
    std::filesystem::create_directories(std::filesystem::path(At(path)).parent_path());
    plat::Pixels pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.rgba.assign(static_cast<size_t>(width) * height * 4, shade);
    for (int y = 0; whiteFirstColumn && y < height; ++y) {
        for (int c = 0; c < 4; ++c) pixels.rgba[static_cast<size_t>(y) * width * 4 + c] = 255;
    }
    if (!plat::WritePngFile(At(path), pixels)) std::abort();
}

inline void RemoveDirectory() {
    std::error_code ignored;
    if (!gDirectory.empty()) std::filesystem::remove_all(gDirectory, ignored);
}

// Makes a fresh, empty scratch directory named `prefix` and the process id in the temporary
// directory, removed again when the process ends.
inline void MakeDirectory(const std::string& prefix) {
    gDirectory = std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()));
    RemoveDirectory();
    std::filesystem::create_directories(gDirectory);
    std::atexit(RemoveDirectory);
}

// A property every input must keep; a crash libFuzzer reports when it does not.
inline void Check(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace scratch
