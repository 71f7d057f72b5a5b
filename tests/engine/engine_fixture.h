// Shared set-up of the engine tests: a fresh temporary working directory, the headless backend
// reset, the engine's records at their start values, and helpers that write world files.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/basevars.h"
#include "engine/systemcore.h"
#include "platform/headless.h"
#include "platform/images.h"

class EngineTest : public ::testing::Test {
public:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() /
               ("tasko_engine_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "CORE");
        std::filesystem::current_path(dir_);
        plat::headless::Reset();
        SetStartValues();
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

    // The engine's start-up steps before the main loop, on the files written by the test.
    static void RunStartUpSteps() {
        ReadConfiguration();
        ReadSystemTexts();
        InitSubsystems();
        OpenWorldScreen();
        LoadTileLibrary();
        SetUpWorldTables();
    }

    std::filesystem::path dir_;

private:
    std::filesystem::path previous_;
    static inline int counter_ = 0;
};

// A complete world that starts: configuration, texts, one tile, one map.
inline void WriteStartableWorld() {
    EngineTest::WriteLines("CORE/ini.crc", {"SYSTEMTEXT", "CORE/texts.txt", "CODECS", "CORE/codecs.crc", "GFX", "GFX/",
                                            "SIMCORE", "MAPS/", "ERRORPATH", "error.log", "WARNINGS", "warn.log",
                                            "MAXOBJECTS", "10", "SOURCEWIDTH", "1280", "SOURCEHEIGHT", "1024"});
    EngineTest::WriteLines("CORE/texts.txt", {"#ERROR_OPEN_WORLD_SCREEN", "The display could not be opened."});
    EngineTest::WriteLines("CORE/codecs.crc", {"GFXCODEC", "", ".png", ""});
    EngineTest::WritePng("GFX/rock.png", 8, 8, 10, 20, 30);
    EngineTest::WriteLines("GFX/rock.dll", {"worldFTileTransparency", "255"});
    EngineTest::WriteLines("MAPS/LVL0.dll", {"0", "0", "TILE", "rock", "0", "0", "0", "8", "8", "0", "ENGINETILEINFOEND"});
}
