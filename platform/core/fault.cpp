// Run-time fault trapping: signal handlers on an alternate stack that hand the fault, with the
// last position mark, to the program's fault routine; the fatal path's watchdog; the position
// marker globals.
#include "platform/fault.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>

namespace plat {

const char* g_faultModule = "UNKNOWN";
int g_faultLine = 0;

namespace {

constexpr int kTrappedSignals[] = {SIGSEGV, SIGFPE, SIGBUS, SIGILL, SIGABRT};
constexpr int kSignalCount = sizeof kTrappedSignals / sizeof kTrappedSignals[0];
// Generous: the routine writes a log and shuts the program down while on this stack.
constexpr size_t kAltStackBytes = 1 << 20;

// The fault unit's own record.
struct FaultRecord {
    FaultRoutine routine = nullptr;
    bool installed = false;                  // our handlers are in place
    volatile sig_atomic_t handling = 0;      // a trapped fault is being handled
    struct sigaction previous[kSignalCount];  // dispositions before InstallFaultHandler
    void* altStack = nullptr;                 // allocated once, kept for the whole run
    long utcOffset = 0;                       // seconds east of UTC, taken by PrepareFaultClock
    bool clockPrepared = false;
};

FaultRecord g_fault;

const char* DescribeSignal(int signal) {
    switch (signal) {
        case SIGSEGV: return "ACCESS VIOLATION (SIGSEGV)";
        case SIGFPE: return "ARITHMETIC FAULT (SIGFPE)";
        case SIGBUS: return "BUS ERROR (SIGBUS)";
        case SIGILL: return "ILLEGAL INSTRUCTION (SIGILL)";
        case SIGABRT: return "ABORT (SIGABRT)";
        default: return "UNKNOWN FAULT";
    }
}

// The program's fatal path is under way and a second fault struck, or its watchdog ran out: the
// log entry is written (or cannot be), so the process ends here with exit code 0.
void EndFatalPath(int) { _exit(0); }

// Lets a second fault or the watchdog's alarm reach the process while the routine runs (inside
// the handler they would be blocked, and a blocked fault kills the process with its signal).
void UnblockFaultSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : kTrappedSignals) sigaddset(&signals, signal);
    sigaddset(&signals, SIGALRM);
    sigprocmask(SIG_UNBLOCK, &signals, nullptr);
}

void OnFault(int signal, siginfo_t*, void*) {
    if (g_fault.handling && g_fault.routine != nullptr) EndFatalPath(signal);
    FaultRoutine routine = g_fault.routine;
    g_fault.handling = 1;
    if (routine != nullptr) {
        UnblockFaultSignals();
        const char* module = g_faultModule != nullptr ? g_faultModule : "UNKNOWN";
        routine(DescribeSignal(signal), module, g_faultLine);
    }
    // No routine, or a routine that returned against its contract: let the fault take its
    // default course.
    // The signal is blocked here, so the re-raised one arrives when the handler returns.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

bool EnsureAltStack() {
    if (g_fault.altStack == nullptr) {
        size_t size = std::max<size_t>(kAltStackBytes, SIGSTKSZ);
        g_fault.altStack = malloc(size);
        if (g_fault.altStack == nullptr) return false;
        stack_t stack {};
        stack.ss_sp = g_fault.altStack;
        stack.ss_size = size;
        stack.ss_flags = 0;
        if (sigaltstack(&stack, nullptr) != 0) return false;
    }
    return true;
}

}  // namespace

void InstallFaultHandler(FaultRoutine routine) {
    // Re-arming (every frame) only swaps the routine.
    g_fault.routine = routine;
    if (g_fault.installed) return;
    if (!g_fault.clockPrepared) PrepareFaultClock();
    EnsureAltStack();  // without it the handler still runs, on the normal stack

    struct sigaction action {};
    action.sa_sigaction = OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kTrappedSignals) sigaddset(&action.sa_mask, signal);
    for (int i = 0; i < kSignalCount; ++i) sigaction(kTrappedSignals[i], &action, &g_fault.previous[i]);
    g_fault.installed = true;
}

void RemoveFaultHandler() {
    if (g_fault.installed) {
        for (int i = 0; i < kSignalCount; ++i)
            sigaction(kTrappedSignals[i], &g_fault.previous[i], nullptr);
        g_fault.installed = false;
    }
    g_fault.routine = nullptr;
}

void RaiseFault(const char* description) {
    FaultRoutine routine = g_fault.routine;
    if (routine == nullptr) return;
    if (g_fault.handling) EndFatalPath(0);
    const char* module = g_faultModule != nullptr ? g_faultModule : "UNKNOWN";
    g_fault.handling = 1;
    routine(description != nullptr ? description : "", module, g_faultLine);
    g_fault.handling = 0;  // only a routine that broke its contract gets here
}

void ArmFaultWatchdog(unsigned seconds) {
    g_fault.handling = 1;
    struct sigaction action {};
    action.sa_handler = EndFatalPath;
    action.sa_flags = SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    UnblockFaultSignals();
    alarm(seconds > 0 ? seconds : 1);
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
    const time_t now = time(nullptr);
    struct tm local {};
    g_fault.utcOffset = localtime_r(&now, &local) != nullptr ? local.tm_gmtoff : 0;
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

long long FaultDateNow() {
    struct timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec);
}

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

bool AppendToFileRaw(const char* path, const char* data, size_t length) {
    if (path == nullptr || *path == '\0') return false;
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(fd, data + done, length - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return done == length;
}

}  // namespace plat
