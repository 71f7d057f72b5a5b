// A test run in a fresh temporary working directory (removed afterwards), with helpers that write
// and read world files there. The engine's and the map builder's test fixtures build on it.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/images.h"

class TempWorldTest : public ::testing::Test {
public:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("korvane_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    // Writes raw bytes to a file below the working directory (directories are created).
    static void WriteRaw(const std::string& path, const std::string& bytes) {
        const std::filesystem::path p(path);
        if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary);
        out << bytes;
    }
    // Writes lines, each ended by CR LF.
    static void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) bytes += line + "\r\n";
        WriteRaw(path, bytes);
    }
    static std::string ReadRaw(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The lines of a file, without their CR LF (or LF) endings.
    static std::vector<std::string> ReadLines(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    // A PNG of one colour.
    static void WritePng(const std::string& path, int width, int height, int r, int g, int b, int a = 255) {
        const std::filesystem::path p(path);
        if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
        plat::Pixels pixels;
        pixels.width = width;
        pixels.height = height;
        pixels.rgba.resize(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < pixels.rgba.size(); i += 4) {
            pixels.rgba[i] = static_cast<uint8_t>(r);
            pixels.rgba[i + 1] = static_cast<uint8_t>(g);
            pixels.rgba[i + 2] = static_cast<uint8_t>(b);
            pixels.rgba[i + 3] = static_cast<uint8_t>(a);
        }
        ASSERT_TRUE(plat::WritePngFile(path, pixels)) << path;
    }

    std::filesystem::path dir_;

private:
    std::filesystem::path previous_;
    static inline int counter_ = 0;
};
