// Image codecs: PNG, JPEG and TIFF decoded into RGBA pixels, PNG written. Backend-neutral.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct Pixels {
    int width = 0;                 // pixels
    int height = 0;                // pixels
    std::vector<uint8_t> rgba;     // width * height * 4 bytes, rows top to bottom
};

// Largest width or height accepted by the decoders; larger files count as "no image".
constexpr int kMaxImageSide = 16384;
// Largest pixel count accepted by the decoders (8192 x 4096; 128 MiB of RGBA). A header claiming
// more is refused before anything is allocated, so a tiny hostile file cannot make a decoder
// reserve gigabytes.
constexpr long long kMaxImagePixels = 1LL << 25;

// Decodes a PNG, JPEG or TIFF file (recognised by its first bytes, not by its name).
// A missing, corrupt, truncated or oversized file gives false ("no image").
bool DecodeImageFile(const std::string& path, Pixels& out);
// Encodes RGBA pixels as PNG bytes in memory; false (and `bytes` empty) for impossible pixels.
bool EncodePng(const Pixels& pixels, std::string& bytes);
// Writes RGBA pixels as a PNG file; false on failure (nothing half-written is left behind).
bool WritePngFile(const std::string& path, const Pixels& pixels);
// Gives every pixel of exactly this colour alpha 0.
void MakeColourTransparent(Pixels& pixels, int r, int g, int b);

}  // namespace plat
