// Local time on Windows: the C runtime's localtime_s, and the zone offset as the difference of
// the local and the UTC reading of the same moment.
#include <time.h>

#include "platform/core/system.h"

namespace plat::sys {

bool LocalTime(long long date, struct tm& local) {
    const time_t seconds = static_cast<time_t>(date);
    return localtime_s(&local, &seconds) == 0;
}

long UtcOffsetNow() {
    const time_t now = time(nullptr);
    struct tm local {};
    if (localtime_s(&local, &now) != 0) return 0;
    // _mkgmtime reads the local fields as if they were UTC, so the difference is the offset.
    const time_t shifted = _mkgmtime(&local);
    return shifted == static_cast<time_t>(-1) ? 0 : static_cast<long>(shifted - now);
}

}  // namespace plat::sys
