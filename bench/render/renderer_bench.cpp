// The GL renderer's normal path against its straightforward reference path, side by side in one
// process on a real screen: wall and CPU milliseconds per frame (all threads, so the software
// rasteriser's too) for N quads of SIZE pixels, of one kind or of many kinds.
// Run under X (e.g. scripts/with-display.sh build/bench/bench_renderer 10000 32 60 5).
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/gl/renderer.h"
#include "platform/images.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;

struct Cost {
    double wallMs = 0;  // per frame
    double cpuMs = 0;   // per frame, every thread of the process
    int drawCalls = 0;  // per frame
};

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A SIZE x SIZE tile like frame_ratio.sh's: a half-transparent square in the kind's colour,
// an opaque disc, a fully transparent corner block.
plat::Image MakeTile(const std::string& dir, int size, int kind) {
    plat::Pixels pixels;
    pixels.width = pixels.height = size;
    const float centre = size / 2.0f;
    const float radius = size * 0.3f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
            uint8_t px[4] = {static_cast<uint8_t>(40 + kind * 37), static_cast<uint8_t>(90 + kind * 11),
                             static_cast<uint8_t>(200 - kind * 5), 128};
            if (dx * dx + dy * dy <= radius * radius) {
                px[0] = 230, px[1] = 120, px[2] = 30, px[3] = 255;
            }
            if (x < size / 4 && y < size / 4) px[3] = 0;
            pixels.rgba.insert(pixels.rgba.end(), px, px + 4);
        }
    }
    const std::string path = dir + "/tile" + std::to_string(kind) + ".png";
    plat::WritePngFile(path, pixels);
    return plat::LoadImage(path);
}

Cost RunFrames(bool reference, const std::vector<plat::Drawable>& sprites,
               const std::vector<int>& xs, const std::vector<int>& ys, int frames) {
    plat::gl::UseReferencePath(reference);
    plat::gl::ResetRendererStats();
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = CpuSeconds();
    for (int f = 0; f < frames; ++f) {
        plat::ClearScreen({1, 1, 1});
        plat::Begin3D();
        for (size_t i = 0; i < xs.size(); ++i) plat::DrawDrawable(sprites[i], xs[i], ys[i], 255);
        plat::End3D();
        plat::Flip();
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Cost cost;
    cost.wallMs = wall * 1000 / frames;
    cost.cpuMs = (CpuSeconds() - cpuStart) * 1000 / frames;
    cost.drawCalls = plat::gl::ReadRendererStats().drawCalls / frames;
    return cost;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int size = argc > 2 ? std::atoi(argv[2]) : 32;
    const int frames = argc > 3 ? std::atoi(argv[3]) : 60;
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 3;
    const int kinds = argc > 5 ? std::atoi(argv[5]) : 1;
    if (count < 1 || size < 4 || frames < 1 || rounds < 1 || kinds < 1) {
        std::fprintf(stderr, "usage: bench_renderer [N] [SIZE] [FRAMES] [ROUNDS] [KINDS]\n");
        return 1;
    }
    if (!plat::OpenScreen(kScreenWidth, kScreenHeight, 24, "bench_renderer")) {
        std::fprintf(stderr, "bench_renderer: no screen (is DISPLAY set?)\n");
        return 1;
    }
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("bench_renderer_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<plat::Drawable> kindSprites;
    for (int k = 0; k < kinds; ++k) kindSprites.push_back(plat::MakeDrawable(MakeTile(dir.string(), size, k)));
    std::filesystem::remove_all(dir);

    // One drawable per object, as the engine makes them; fixed pseudo-random spots on screen.
    std::mt19937 random(12345);
    std::vector<plat::Drawable> sprites;
    std::vector<int> xs, ys;
    for (int i = 0; i < count; ++i) {
        sprites.push_back(plat::MakeDrawable(plat::DrawableImage(kindSprites[random() % kinds])));
        xs.push_back(static_cast<int>(random() % (kScreenWidth - size + 1)));
        ys.push_back(static_cast<int>(random() % (kScreenHeight - size + 1)));
    }
    std::printf("N=%d size=%d kinds=%d frames=%d per round\n", count, size, kinds, frames);
    std::vector<double> ratios;
    for (int round = 1; round <= rounds; ++round) {
        // Alternate the order so that neither path always runs first.
        const bool referenceFirst = round % 2 == 1;
        Cost first = RunFrames(referenceFirst, sprites, xs, ys, frames);
        Cost second = RunFrames(!referenceFirst, sprites, xs, ys, frames);
        const Cost& reference = referenceFirst ? first : second;
        const Cost& normal = referenceFirst ? second : first;
        std::printf("round %d: reference %.2f ms/frame (CPU %.2f, %d draw calls), normal %.2f ms/frame "
                    "(CPU %.2f, %d draw calls), CPU ratio reference/normal %.3f\n",
                    round, reference.wallMs, reference.cpuMs, reference.drawCalls, normal.wallMs,
                    normal.cpuMs, normal.drawCalls, reference.cpuMs / normal.cpuMs);
        ratios.push_back(reference.cpuMs / normal.cpuMs);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("median CPU ratio reference/normal: %.3f\n", ratios[ratios.size() / 2]);
    plat::CloseScreen();
    return 0;
}
