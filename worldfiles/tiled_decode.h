// The byte-level steps of reading Tiled files: whole files into memory, base64, zlib/gzip and
// zstd inflation with a ceiling on the output, and CSV tile lists.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wf::tiled {

// Reads the whole file; false when it cannot be opened or is larger than `limit` bytes.
bool ReadFileBytes(const std::string& path, std::string& bytes, size_t limit);
// True when the bytes start with gzip's magic number.
bool IsGzip(const std::string& bytes);

// Decodes base64, skipping white space. False on any other character outside the alphabet or
// on a length that is not whole.
bool DecodeBase64(const std::string& text, std::string& out);

enum class Inflated { kOk, kCorrupt, kTooLong };
// Inflates zlib or gzip data (recognised by its header). At most `limit` bytes are produced:
// more gives kTooLong, so a small bomb never grows past what the layer needs.
Inflated InflateZlib(const std::string& in, size_t limit, std::string& out);
// The same for zstd frames; kCorrupt also when this build has no zstd.
Inflated InflateZstd(const std::string& in, size_t limit, std::string& out);
bool HaveZstd();

// Parses comma-separated unsigned 32-bit numbers (white space around them allowed), stopping
// after `limit` numbers. False on anything else or on an empty item.
bool ParseCsvGids(const std::string& text, size_t limit, std::vector<uint32_t>& out);

// Little-endian 32-bit numbers of decoded layer data; the size must be a multiple of four.
std::vector<uint32_t> GidsFromBytes(const std::string& bytes);

}  // namespace wf::tiled
