// Local time on POSIX systems: the C library's thread-safe conversion and its zone offset.
#include <time.h>

#include "platform/core/system.h"

namespace plat::sys {

bool LocalTime(long long date, struct tm& local) {
    const time_t seconds = static_cast<time_t>(date);
    return localtime_r(&seconds, &local) != nullptr;
}

long UtcOffsetNow() {
    const time_t now = time(nullptr);
    struct tm local {};
    return localtime_r(&now, &local) != nullptr ? local.tm_gmtoff : 0;
}

}  // namespace plat::sys
