// PNG, JPEG and TIFF decoding of arbitrary files: "no image" or a well-formed picture, never a
// crash, and a decoded picture survives a PNG round trip.
#include <unistd.h>

#include <cstdint>

#include "fuzz_common.h"
#include "platform/images.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteScratchFile(data, size, ".img");
    plat::Pixels pixels;
    if (plat::DecodeImageFile(path, pixels)) {
        if (pixels.width <= 0 || pixels.height <= 0 ||
            pixels.rgba.size() != static_cast<size_t>(pixels.width) * pixels.height * 4) {
            __builtin_trap();
        }
        if (static_cast<size_t>(pixels.width) * pixels.height <= 4096) {
            const std::string png = path + ".png";
            plat::Pixels back;
            if (!plat::WritePngFile(png, pixels) || !plat::DecodeImageFile(png, back) || back.rgba != pixels.rgba) {
                __builtin_trap();
            }
            ::unlink(png.c_str());
        }
    }
    ::unlink(path.c_str());
    return 0;
}
