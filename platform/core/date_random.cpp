// Calendar dates (current date, local-time formatting) and the random number generator.
// The millisecond clock and sleep are not here: each backend provides its own.
#include <cstdio>
#include <ctime>
#include <random>

#include "platform/clock.h"
#include "platform/core/system.h"

namespace plat {
namespace {

// The random unit's own record: one generator for the whole process.
struct RandomRecord {
    std::mt19937 generator;
    bool seeded = false;  // false until SeedRandom or the first draw
};

RandomRecord g_random;

void AppendNumber(std::string& out, int value, int digits) {
    char buffer[16];
    snprintf(buffer, sizeof buffer, "%0*d", digits, value);
    out += buffer;
}

}  // namespace

int64_t DateNow() { return static_cast<int64_t>(time(nullptr)); }

std::string FormatDate(int64_t date, const std::string& pattern) {
    struct tm local {};
    if (!sys::LocalTime(date, local)) local = tm{};

    struct Field {
        const char* token;
        int value;
        int digits;
    };
    const Field fields[] = {
        {"%yyyy", local.tm_year + 1900, 4}, {"%mm", local.tm_mon + 1, 2}, {"%dd", local.tm_mday, 2},
        {"%hh", local.tm_hour, 2},          {"%ii", local.tm_min, 2},     {"%ss", local.tm_sec, 2},
    };

    std::string out;
    out.reserve(pattern.size() + 8);
    size_t pos = 0;
    while (pos < pattern.size()) {
        bool replaced = false;
        if (pattern[pos] == '%') {
            for (const Field& field : fields) {
                if (pattern.compare(pos, std::char_traits<char>::length(field.token), field.token) ==
                    0) {
                    AppendNumber(out, field.value, field.digits);
                    pos += std::char_traits<char>::length(field.token);
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += pattern[pos++];
    }
    return out;
}

int Random(int n) {
    if (!g_random.seeded) SeedRandom(static_cast<uint32_t>(time(nullptr)));
    if (n <= 0) return 0;
    std::uniform_int_distribution<int> range(0, n);
    return range(g_random.generator);
}

void SeedRandom(uint32_t seed) {
    g_random.generator.seed(seed);
    g_random.seeded = true;
}

}  // namespace plat
