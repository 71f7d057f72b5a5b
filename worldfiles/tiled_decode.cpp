// Tiled's layer data encodings: base64 and CSV text, zlib, gzip and zstd compression, all with
// ceilings on what they produce so that a hostile file cannot exhaust memory.
#include "worldfiles/tiled_decode.h"

#include <zlib.h>

#include <filesystem>
#include <fstream>

#ifdef TILED_WITH_ZSTD
#include <zstd.h>
#endif

namespace wf::tiled {

bool ReadFileBytes(const std::string& path, std::string& bytes, size_t limit) {
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<unsigned long long>(size) > limit) return false;
    in.seekg(0, std::ios::beg);
    bytes.assign(static_cast<size_t>(size), '\0');
    if (size > 0 && !in.read(bytes.data(), size)) return false;
    return true;
}

bool IsGzip(const std::string& bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1f &&
           static_cast<unsigned char>(bytes[1]) == 0x8b;
}

namespace {

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

bool DecodeBase64(const std::string& text, std::string& out) {
    out.clear();
    out.reserve(text.size() / 4 * 3);
    unsigned buffer = 0;
    int bits = 0;
    int symbols = 0;  // alphabet and padding symbols seen
    int padding = 0;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
        if (c == '=') {
            ++padding;
            ++symbols;
            continue;
        }
        const int value = Base64Value(c);
        if (value < 0 || padding > 0) return false;  // a symbol after padding is not base64
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        ++symbols;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((buffer >> bits) & 0xff));
        }
    }
    return padding <= 2 && symbols % 4 == 0;
}

Inflated InflateZlib(const std::string& in, size_t limit, std::string& out) {
    out.clear();
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK) return Inflated::kCorrupt;  // 32: zlib or gzip
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream.avail_in = static_cast<uInt>(in.size());
    char chunk[16384];
    Inflated result = Inflated::kCorrupt;
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        const int status = inflate(&stream, Z_NO_FLUSH);
        const size_t produced = sizeof chunk - stream.avail_out;
        if (out.size() + produced > limit) {
            result = Inflated::kTooLong;
            break;
        }
        out.append(chunk, produced);
        if (status == Z_STREAM_END) {
            result = Inflated::kOk;
            break;
        }
        if (status != Z_OK) break;  // corrupt data, or input ended before the stream did
        if (produced == 0 && stream.avail_in == 0) break;
    }
    inflateEnd(&stream);
    return result;
}

bool HaveZstd() {
#ifdef TILED_WITH_ZSTD
    return true;
#else
    return false;
#endif
}

Inflated InflateZstd(const std::string& in, size_t limit, std::string& out) {
    out.clear();
#ifdef TILED_WITH_ZSTD
    ZSTD_DStream* stream = ZSTD_createDStream();
    if (stream == nullptr) return Inflated::kCorrupt;
    ZSTD_initDStream(stream);
    ZSTD_inBuffer input{in.data(), in.size(), 0};
    char chunk[16384];
    Inflated result = Inflated::kCorrupt;
    size_t hint = 1;
    while (input.pos < input.size || hint == 0) {
        ZSTD_outBuffer output{chunk, sizeof chunk, 0};
        hint = ZSTD_decompressStream(stream, &output, &input);
        if (ZSTD_isError(hint)) break;
        if (out.size() + output.pos > limit) {
            result = Inflated::kTooLong;
            break;
        }
        out.append(chunk, output.pos);
        if (hint == 0 && input.pos == input.size) {
            result = Inflated::kOk;
            break;
        }
        if (output.pos == 0 && input.pos == input.size) break;  // cut off inside a frame
    }
    ZSTD_freeDStream(stream);
    return result;
#else
    (void)in;
    (void)limit;
    return Inflated::kCorrupt;
#endif
}

bool ParseCsvGids(const std::string& text, size_t limit, std::vector<uint32_t>& out) {
    out.clear();
    size_t at = 0;
    const size_t n = text.size();
    auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; };
    while (at < n && blank(text[at])) ++at;
    if (at == n) return true;  // no numbers at all
    for (;;) {
        while (at < n && blank(text[at])) ++at;
        uint64_t value = 0;
        size_t digits = 0;
        while (at < n && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            if (value > 0xffffffffull) return false;
            ++at;
            ++digits;
        }
        if (digits == 0) return false;
        if (out.size() >= limit) return true;  // enough to show the caller the list is longer
        out.push_back(static_cast<uint32_t>(value));
        while (at < n && blank(text[at])) ++at;
        if (at == n) return true;
        if (text[at] != ',') return false;
        ++at;
        // Tiled ends each row but the last with a comma and a line break; a trailing comma at
        // the very end is tolerated too.
        size_t look = at;
        while (look < n && blank(text[look])) ++look;
        if (look == n) return true;
    }
}

std::vector<uint32_t> GidsFromBytes(const std::string& bytes) {
    std::vector<uint32_t> gids(bytes.size() / 4);
    for (size_t i = 0; i < gids.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + i * 4);
        gids[i] = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                  (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    }
    return gids;
}

}  // namespace wf::tiled
