// Fault handling's backend-neutral part: the installed routine and the fatal path's state, the
// fault descriptions, the position marker globals, and the fixed-buffer texts and dates a
// routine writes. The traps themselves are the system's (posix/fault.cpp, win32/fault.cpp).
#include "platform/fault.h"

#include <csignal>

#include "platform/core/system.h"

namespace plat {

const char* g_faultModule = "UNKNOWN";
int g_faultLine = 0;

namespace {

// The fault unit's own record.
struct FaultRecord {
    FaultRoutine routine = nullptr;
    volatile std::sig_atomic_t handling = 0;  // a fault's fatal path is under way
    long utcOffset = 0;                       // seconds east of UTC, taken by PrepareFaultClock
    bool clockPrepared = false;
};

FaultRecord g_fault;

}  // namespace

const char* DescribeFault(FaultKind kind) {
    switch (kind) {
        case FaultKind::AccessViolation: return "ACCESS VIOLATION (SIGSEGV)";
        case FaultKind::Arithmetic: return "ARITHMETIC FAULT (SIGFPE)";
        case FaultKind::BusError: return "BUS ERROR (SIGBUS)";
        case FaultKind::IllegalInstruction: return "ILLEGAL INSTRUCTION (SIGILL)";
        case FaultKind::Abort: return "ABORT (SIGABRT)";
        case FaultKind::Unknown: break;
    }
    return "UNKNOWN FAULT";
}

FaultRoutine TakeFaultRoutine() {
    if (g_fault.handling && g_fault.routine != nullptr) EndProcessNow();
    g_fault.handling = 1;
    return g_fault.routine;
}

const char* FaultModule() { return g_faultModule != nullptr ? g_faultModule : "UNKNOWN"; }

void InstallFaultHandler(FaultRoutine routine) {
    // Re-arming (every frame) swaps the routine and checks the traps are still ours.
    g_fault.routine = routine;
    if (!g_fault.clockPrepared) PrepareFaultClock();
    sys::InstallFaultTraps();
}

void RemoveFaultHandler() {
    sys::RemoveFaultTraps();
    g_fault.routine = nullptr;
}

void RaiseFault(const char* description) {
    FaultRoutine routine = g_fault.routine;
    if (routine == nullptr) return;
    if (g_fault.handling) EndProcessNow();
    g_fault.handling = 1;
    routine(description != nullptr ? description : "", FaultModule(), g_faultLine);
    g_fault.handling = 0;  // only a routine that broke its contract gets here
}

void ArmFaultWatchdog(unsigned seconds) {
    g_fault.handling = 1;
    sys::StartFaultWatchdog(seconds > 0 ? seconds : 1);
}

void FaultText::Append(const char* text, size_t limit) {
    if (text == nullptr) return;
    for (size_t n = 0; *text != '\0' && n < limit && length < kCapacity; ++n) data[length++] = *text++;
    data[length] = '\0';
}

void FaultText::AppendInt(long long value) {
    char digits[24];
    int count = 0;
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits[count++] = '-';
    char text[24];
    for (int i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
    text[count] = '\0';
    Append(text);
}

void PrepareFaultClock() {
    g_fault.utcOffset = sys::UtcOffsetNow();
    g_fault.clockPrepared = true;
}

namespace {

// Civil date from days since 1970-01-01 (proleptic Gregorian), by whole-number arithmetic.
void CivilFromDays(long long days, long long& year, int& month, int& day) {
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

void AppendTwoDigits(FaultText& text, long long value) {
    if (value < 10) text.Append("0");
    text.AppendInt(value);
}

}  // namespace

void AppendFaultDate(FaultText& text, const char* pattern, long long date) {
    const long long local = date + g_fault.utcOffset;
    long long days = local / 86400;
    long long seconds = local % 86400;
    if (seconds < 0) {
        seconds += 86400;
        days -= 1;
    }
    long long year = 0;
    int month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    const struct {
        const char* field;
        long long value;
        bool fourDigits;
    } fields[] = {{"%yyyy", year, true},          {"%mm", month, false},
                  {"%dd", day, false},            {"%hh", seconds / 3600, false},
                  {"%ii", seconds / 60 % 60, false}, {"%ss", seconds % 60, false}};
    for (const char* p = pattern; p != nullptr && *p != '\0';) {
        bool matched = false;
        for (const auto& f : fields) {
            size_t n = 0;
            while (f.field[n] != '\0' && p[n] == f.field[n]) ++n;
            if (f.field[n] != '\0') continue;
            if (f.fourDigits) text.AppendInt(f.value);
            else AppendTwoDigits(text, f.value);
            p += n;
            matched = true;
            break;
        }
        if (!matched) {
            const char one[2] = {*p++, '\0'};
            text.Append(one);
        }
    }
}

}  // namespace plat
