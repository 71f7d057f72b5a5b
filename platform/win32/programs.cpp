// Starting a program for real on Windows: CreateProcessW with a command line quoted by the rules
// the C runtime's argument parser (CommandLineToArgvW) reads back, in the given directory. The
// process handles are kept in this unit's record, keyed by the Process id.
#include <map>

#include "platform/files.h"
#include "platform/process.h"
#include "platform/win32/wide.h"

namespace plat {
namespace {

// The started programs' record: the handle of each one not yet seen to have ended.
struct ProgramsRecord {
    std::map<int, HANDLE> handles;  // Process id (the process number) -> process handle
};

ProgramsRecord g_programs;

// Appends one argument so that the parser yields it unchanged: quoted when it is empty or holds
// white space or a quote; inside quotes, backslashes are doubled where they come before a quote
// (an escaped one, or the closing one) and kept as they are elsewhere.
void AppendArgument(std::wstring& line, const std::wstring& argument) {
    if (!line.empty()) line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

}  // namespace

Process StartProgram(const std::string& path, const std::vector<std::string>& arguments,
                     const std::string& directory) {
    if (!FileExists(path) || !DirectoryExists(directory)) return {};
    const std::wstring program = win32::Wide(path);
    std::wstring line;
    AppendArgument(line, program);
    for (const std::string& argument : arguments) AppendArgument(line, win32::Wide(argument));
    const std::wstring workingDirectory = win32::Wide(directory);

    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, nullptr,
                        workingDirectory.c_str(), &startup, &started))
        return {};
    CloseHandle(started.hThread);
    const int id = static_cast<int>(started.dwProcessId);
    // A handle left behind under the same number belongs to an ended program that was never
    // asked about again.
    if (auto old = g_programs.handles.find(id); old != g_programs.handles.end()) CloseHandle(old->second);
    g_programs.handles[id] = started.hProcess;
    return Process{id};
}

bool ProgramRunning(Process& process) {
    if (!process.Valid()) return false;
    const auto entry = g_programs.handles.find(process.id);
    if (entry != g_programs.handles.end() && WaitForSingleObject(entry->second, 0) == WAIT_TIMEOUT) return true;
    if (entry != g_programs.handles.end()) {
        CloseHandle(entry->second);
        g_programs.handles.erase(entry);
    }
    process = Process{};  // ended (or not started here at all)
    return false;
}

}  // namespace plat
