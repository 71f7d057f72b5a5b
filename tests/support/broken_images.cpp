// Broken image files made from good ones (see broken_images.h).
#include "tests/support/broken_images.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace brokenimages {
namespace {

enum class Format { Png, Jpeg, Tiff, Unknown };

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Format Detect(const std::string& b) {
    if (b.size() >= 8 && b.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) return Format::Png;
    if (b.size() >= 3 && static_cast<uint8_t>(b[0]) == 0xff && static_cast<uint8_t>(b[1]) == 0xd8)
        return Format::Jpeg;
    if (b.size() >= 8 && (b.compare(0, 4, "II*\0", 4) == 0 || b.compare(0, 4, "MM\0*", 4) == 0))
        return Format::Tiff;
    return Format::Unknown;
}

const char* Extension(Format f) {
    switch (f) {
        case Format::Png: return ".png";
        case Format::Jpeg: return ".jpg";
        case Format::Tiff: return ".tif";
        case Format::Unknown: break;
    }
    return ".bin";
}

void PutBigEndian(std::string& b, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<char>((value >> (8 * (bytes - 1 - i))) & 0xff);
}

uint32_t GetTiff(const std::string& b, size_t at, int bytes, bool little) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        const uint32_t byte = static_cast<uint8_t>(b[at + i]);
        v |= little ? byte << (8 * i) : byte << (8 * (bytes - 1 - i));
    }
    return v;
}

void PutTiff(std::string& b, size_t at, uint32_t value, int bytes, bool little) {
    for (int i = 0; i < bytes; ++i) {
        const int shift = little ? 8 * i : 8 * (bytes - 1 - i);
        b[at + i] = static_cast<char>((value >> shift) & 0xff);
    }
}

// PNG: width and height are the first eight bytes of IHDR; the chunk's CRC is made anew so that
// the decoder reaches its size checks instead of stopping at a CRC error.
bool SetPngSize(std::string& b, uint32_t width, uint32_t height) {
    if (b.size() < 33 || b.compare(12, 4, "IHDR") != 0) return false;
    PutBigEndian(b, 16, width, 4);
    PutBigEndian(b, 20, height, 4);
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(b.data() + 12), 17);
    PutBigEndian(b, 29, static_cast<uint32_t>(crc), 4);
    return true;
}

// JPEG: the frame header (SOFn) holds the height and then the width, 16 bits each.
bool SetJpegSize(std::string& b, uint32_t width, uint32_t height) {
    size_t at = 2;
    while (at + 9 < b.size()) {
        if (static_cast<uint8_t>(b[at]) != 0xff) return false;
        const uint8_t marker = static_cast<uint8_t>(b[at + 1]);
        const size_t length = (static_cast<uint8_t>(b[at + 2]) << 8) | static_cast<uint8_t>(b[at + 3]);
        const bool frame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
                           marker != 0xcc;
        if (frame) {
            PutBigEndian(b, at + 5, height, 2);
            PutBigEndian(b, at + 7, width, 2);
            return true;
        }
        at += 2 + length;
    }
    return false;
}

// TIFF: the ImageWidth (256) and ImageLength (257) entries of the first directory.
bool SetTiffSize(std::string& b, uint32_t width, uint32_t height) {
    const bool little = b[0] == 'I';
    const size_t ifd = GetTiff(b, 4, 4, little);
    if (ifd + 2 > b.size()) return false;
    const uint32_t entries = GetTiff(b, ifd, 2, little);
    int patched = 0;
    for (uint32_t e = 0; e < entries; ++e) {
        const size_t at = ifd + 2 + e * 12;
        if (at + 12 > b.size()) return false;
        const uint32_t tag = GetTiff(b, at, 2, little);
        const uint32_t type = GetTiff(b, at + 2, 2, little);
        if (tag != 256 && tag != 257) continue;
        const uint32_t value = tag == 256 ? width : height;
        if (type == 3) PutTiff(b, at + 8, value, 2, little);
        else if (type == 4) PutTiff(b, at + 8, value, 4, little);
        else return false;
        ++patched;
    }
    return patched == 2;
}

bool SetSize(Format f, std::string& b, uint32_t width, uint32_t height) {
    switch (f) {
        case Format::Png: return SetPngSize(b, width, height);
        case Format::Jpeg: return SetJpegSize(b, width, height);
        case Format::Tiff: return SetTiffSize(b, width, height);
        case Format::Unknown: break;
    }
    return false;
}

// A small linear congruential generator: the same files on every machine and run.
struct Lcg {
    uint64_t state;
    uint32_t Next(uint32_t bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>((state >> 33) % bound);
    }
};

}  // namespace

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Truncated: return "truncated";
        case Kind::BitFlipped: return "bit-flipped";
        case Kind::HugeHeader: return "huge header";
        case Kind::EmptyHeader: return "empty header";
        case Kind::WrongExtension: return "wrong extension";
        case Kind::EmptyFile: return "empty file";
        case Kind::Directory: return "directory";
    }
    return "?";
}

std::vector<BrokenFile> MakeBrokenImages(const std::vector<std::string>& seeds,
                                         const std::string& directory) {
    std::filesystem::create_directories(directory);
    const std::string dir = directory.back() == '/' ? directory : directory + "/";
    std::vector<BrokenFile> made;
    auto emit = [&](const std::string& name, Kind kind, const std::string& seed,
                    const std::string& bytes) {
        WriteAll(dir + name, bytes);
        made.push_back({name, kind, seed});
    };

    for (size_t s = 0; s < seeds.size(); ++s) {
        const std::string good = ReadAll(seeds[s]);
        const Format format = Detect(good);
        if (good.empty() || format == Format::Unknown) continue;
        const std::string stem = std::filesystem::path(seeds[s]).stem().string() + "-" +
                                 std::to_string(s);
        const std::string ext = Extension(format);
        const size_t size = good.size();

        // Truncations: every length up to the first 64 bytes in steps (headers), tenths of the
        // file, and the last bytes (end markers).
        std::set<size_t> lengths = {1, 2, 3, 4, 7, 8, 12, 16, 20, 24, 29, 33, 41, 50, 64};
        for (int tenth = 1; tenth <= 9; ++tenth) lengths.insert(size * tenth / 10);
        for (size_t back : {1, 2, 4, 8, 12, 13, 16}) {
            if (back < size) lengths.insert(size - back);
        }
        for (size_t length : lengths) {
            if (length == 0 || length >= size) continue;
            emit(stem + "-cut" + std::to_string(length) + ext, Kind::Truncated, seeds[s],
                 good.substr(0, length));
        }

        // Bit flips: 1 to 8 flipped bits anywhere, 16 variants per seed.
        Lcg random{0x9e3779b97f4a7c15ULL ^ (s + 1)};
        for (int variant = 0; variant < 16; ++variant) {
            std::string bytes = good;
            const int flips = variant % 8 + 1;
            for (int f = 0; f < flips; ++f) {
                const uint32_t at = random.Next(static_cast<uint32_t>(size));
                bytes[at] = static_cast<char>(bytes[at] ^ (1u << random.Next(8)));
            }
            emit(stem + "-flip" + std::to_string(variant) + ext, Kind::BitFlipped, seeds[s], bytes);
        }

        // Headers claiming sizes no decoder may accept.
        const struct {
            uint32_t width, height;
            Kind kind;
        } sizes[] = {{65535, 65535, Kind::HugeHeader}, {65535, 1, Kind::HugeHeader},
                     {1, 65535, Kind::HugeHeader},     {16384, 16384, Kind::HugeHeader},
                     {8192, 8192, Kind::HugeHeader},   {0, 0, Kind::EmptyHeader},
                     {0, 64, Kind::EmptyHeader},       {64, 0, Kind::EmptyHeader}};
        for (const auto& claimed : sizes) {
            std::string bytes = good;
            if (!SetSize(format, bytes, claimed.width, claimed.height)) continue;
            emit(stem + "-size" + std::to_string(claimed.width) + "x" +
                     std::to_string(claimed.height) + ext,
                 claimed.kind, seeds[s], bytes);
        }

        // Good content under the other formats' extensions.
        for (const char* other : {".png", ".jpg", ".tif", ".dll"}) {
            if (ext == other) continue;
            emit(stem + "-as" + (other + 1) + other, Kind::WrongExtension, seeds[s], good);
        }
    }

    for (const char* ext : {".png", ".jpg", ".tif"}) {
        emit(std::string("empty") + ext, Kind::EmptyFile, "", "");
        const std::string name = std::string("folder") + ext;
        std::filesystem::create_directories(dir + name);
        made.push_back({name, Kind::Directory, ""});
    }
    return made;
}

}  // namespace brokenimages
