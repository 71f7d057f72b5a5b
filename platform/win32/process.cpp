// Processes on Windows: this program's own directory (GetModuleFileNameW), the process number
// and whether another one still runs, and what counts as a program file (by its extension,
// since Windows files carry no permission to run).
#include <cctype>

#include "platform/core/system.h"
#include "platform/process.h"
#include "platform/win32/wide.h"

#include <shellapi.h>

namespace plat {
namespace {

// Extensions of the files Windows runs as programs.
constexpr const char* kProgramExtensions[] = {".exe", ".com", ".bat", ".cmd"};

bool EndsWithIgnoringCase(const std::string& text, const std::string& tail) {
    if (text.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(text[text.size() - tail.size() + i]);
        if (std::tolower(a) != static_cast<unsigned char>(tail[i])) return false;
    }
    return true;
}

}  // namespace

namespace sys {

long ProcessNumber() { return static_cast<long>(GetCurrentProcessId()); }

bool ProcessRuns(long number) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(number));
    // A process that exists but may not be asked about still runs.
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) != 0 && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

bool IsExecutableFile(const std::string& path) {
    if (!IsPlainFile(path)) return false;
    for (const char* extension : kProgramExtensions) {
        if (EndsWithIgnoringCase(path, extension)) return true;
    }
    return false;
}

std::vector<std::string> ProgramFileNames(const std::string& name) {
    if (EndsWithIgnoringCase(name, ".exe")) return {name};
    return {name, name + ".exe"};
}

char SearchPathSeparator() { return ';'; }

}  // namespace sys

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(win32::Narrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

std::string OwnProgramDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return "";
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        if (buffer.size() >= 32768) return "";  // longer than any Windows path
        buffer.resize(buffer.size() * 2);
    }
    const std::string path = win32::NarrowPath(buffer);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

}  // namespace plat
