// Text-to-number conversions and rounding shared by every reader and writer of both programs.
// Parsing never fails: unreadable text gives 0, and values out of range saturate.
#include "worldfiles/convert.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace wf {

namespace {

// A decimal floating-point number from [begin, end), as std::from_chars with the general
// format reads it. The browser build's C++ library (libc++ 14) has no floating-point
// from_chars; there the C library's strtod reads a copy (in the "C" locale, which is the only
// one a page has), after the forms strtod takes but from_chars does not are cut off: leading
// blanks and a '+' never reach here, a hexadecimal "0x" ends after its "0".
std::from_chars_result ReadDouble(const char* begin, const char* end, double& value) {
#if defined(_LIBCPP_VERSION)
    std::string copy(begin, end);
    const size_t digits = !copy.empty() && copy[0] == '-' ? 1 : 0;
    if (copy.size() > digits + 1 && copy[digits] == '0' && (copy[digits + 1] == 'x' || copy[digits + 1] == 'X')) {
        copy.resize(digits + 1);
    }
    errno = 0;
    char* stop = nullptr;
    const double read = std::strtod(copy.c_str(), &stop);
    const size_t used = static_cast<size_t>(stop - copy.c_str());
    if (used == 0) return {begin, std::errc::invalid_argument};
    if (errno == ERANGE) return {begin + used, std::errc::result_out_of_range};
    value = read;
    return {begin + used, std::errc{}};
#else
    return std::from_chars(begin, end, value, std::chars_format::general);
#endif
}

size_t SkipBlanks(const std::string& text, size_t at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    return at;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A double beyond the float range cannot be converted safely; it is clamped to the largest float.
float ToFloat(double value) {
    if (std::isnan(value)) {
        return 0.0f;
    }
    if (value > FLT_MAX) {
        return FLT_MAX;
    }
    if (value < -FLT_MAX) {
        return -FLT_MAX;
    }
    return static_cast<float>(value);
}

}  // namespace

int32_t ParseInt(const std::string& text) {
    size_t at = SkipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Accumulate the magnitude in 64 bits and stop growing once it is past the 32-bit range.
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : static_cast<int64_t>(std::numeric_limits<int32_t>::max());
    int64_t magnitude = 0;
    while (at < text.size() && IsDigit(text[at])) {
        magnitude = magnitude * 10 + (text[at] - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
        ++at;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

float ParseFloat(const std::string& text) {
    size_t at = SkipBlanks(text, 0);
    bool hadPlus = false;
    if (at < text.size() && text[at] == '+') {
        hadPlus = true;
        ++at;
    }
    // Only plain decimal numbers: no "inf", "nan" or a second sign after "+".
    size_t first = at;
    if (first < text.size() && text[first] == '-' && !hadPlus) {
        ++first;
    }
    if (first >= text.size() || !(IsDigit(text[first]) || text[first] == '.')) {
        return 0.0f;
    }

    const char* begin = text.data() + at;
    const char* end = text.data() + text.size();
    double value = 0.0;
    std::from_chars_result result = ReadDouble(begin, end, value);
    if (result.ec == std::errc::invalid_argument) {
        return 0.0f;
    }
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: a negative exponent means the value is tiny.
        bool tiny = false;
        for (const char* p = begin; p < result.ptr; ++p) {
            if ((*p == 'e' || *p == 'E') && p + 1 < result.ptr && p[1] == '-') {
                tiny = true;
            }
        }
        if (tiny) {
            return 0.0f;
        }
        return text[at] == '-' ? -FLT_MAX : FLT_MAX;
    }
    return ToFloat(value);
}

int8_t LowByte(int32_t value) {
    return static_cast<int8_t>(static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu));
}

int8_t ParseByte(const std::string& text) { return LowByte(ParseInt(text)); }

float RoundNearest(float value) {
    // Explicit halves-to-even, independent of the floating-point rounding mode in effect.
    if (!std::isfinite(value)) {
        return value;
    }
    float below = std::floor(value);
    float fraction = value - below;  // exact: both values share the same magnitude range
    if (fraction > 0.5f) {
        return below + 1.0f;
    }
    if (fraction == 0.5f && std::fmod(below, 2.0f) != 0.0f) {
        return below + 1.0f;
    }
    if (below == 0.0f) {
        return 0.0f;  // no negative zero
    }
    return below;
}

int32_t RoundToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    float rounded = RoundNearest(value);
    if (rounded >= 2147483648.0f) {
        return std::numeric_limits<int32_t>::max();
    }
    if (rounded < -2147483648.0f) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(rounded);
}

float RoundUp(float value) { return std::ceil(value); }

std::string IntText(int64_t value) { return std::to_string(value); }

}  // namespace wf
