// Shared pieces of the engine tests on the real GL renderer: the engine started in a world
// directory as tasko starts (screen, tile library, tables, first area), the objects drawn as
// the world update draws them by one of the renderer's paths, and a byte comparison.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/ENV.h"
#include "engine/FWORLD.h"
#include "engine/GFXCORE.h"
#include "engine/IO.h"
#include "engine/SGFXCORE.h"
#include "engine/basevars.h"
#include "engine/systemcore.h"
#include "platform/display.h"
#include "platform/gl/renderer.h"
#include "tests/support/posix_calls.h"

namespace glworld {

// Runs the engine's start-up in `directory` and loads its first area (no main loop).
inline void StartEngineIn(const std::string& directory) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(chdir(directory.c_str()), 0) << directory;
    SetStartValues();
    RunStartUpSteps();
    plat::SetNearestSampling(true);
    LoadArea();
}

inline void StopEngine() {
    plat::gl::UseReferencePath(false);
    plat::gl::FreeAllGraphics();
    plat::CloseScreen();
}

// The objects drawn in index order on the cleared screen, read back; `stats` gets the draws.
inline std::vector<uint8_t> DrawWorld(bool reference, plat::gl::RendererStats& stats) {
    plat::gl::UseReferencePath(reference);
    plat::ClearScreen({1, 1, 1});
    plat::Begin3D();
    plat::gl::ResetRendererStats();
    for (int i = 0; i <= gState.lastObjectIndex; ++i) DrawObject(i);
    plat::End3D();
    stats = plat::gl::ReadRendererStats();
    std::vector<uint8_t> rgba;
    EXPECT_TRUE(plat::gl::ReadPixels(0, 0, plat::ScreenWidth(), plat::ScreenHeight(), rgba));
    plat::Flip();
    return rgba;
}

inline size_t DifferingBytes(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return a.size() > b.size() ? a.size() : b.size();
    size_t differing = 0;
    for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing;
}

// The largest difference of one byte between the pictures (256 when their sizes differ).
inline int LargestDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

}  // namespace glworld
