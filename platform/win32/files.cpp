// Files and directories on Windows: streams by _wfopen, attributes, atomic replacement by
// MoveFileExW after FlushFileBuffers, directory reading by FindFirstFileW, the working directory.
// Paths are UTF-8 in the program and UTF-16 at each call; '/' and '\' both separate.
#include <cstdio>

#include "platform/core/system.h"
#include "platform/files.h"
#include "platform/win32/wide.h"

namespace plat {
namespace {

using win32::Wide;

DWORD Attributes(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(Wide(path).c_str());
}

bool IsDirectoryAttribute(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDrive(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

namespace sys {

FILE* OpenStream(const std::string& path, const char* mode) {
    return _wfopen(Wide(path).c_str(), Wide(mode).c_str());
}

bool IsPlainFile(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = WriteFaultFile(FaultFile{reinterpret_cast<intptr_t>(file)}, data.data(), data.size()) &&
                    FlushFileBuffers(file) != 0;
    return CloseHandle(file) != 0 && ok;
}

bool RenameOver(const std::string& from, const std::string& to) {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

bool DirectoryNames(const std::string& directory, std::vector<std::string>& names) {
    names.clear();
    std::string pattern = directory;
    if (!pattern.empty() && !IsSeparator(pattern.back())) pattern += '/';
    pattern += '*';
    WIN32_FIND_DATAW entry {};
    // The basic information only: no short 8.3 names, which a pattern could otherwise match.
    const HANDLE find = FindFirstFileExW(Wide(pattern).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                         nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        // An empty drive root has not even "." and "..".
        return GetLastError() == ERROR_FILE_NOT_FOUND && IsDirectoryAttribute(Attributes(directory.empty() ? "." : directory));
    }
    do {
        std::string name = win32::Narrow(entry.cFileName);
        if (name != "." && name != "..") names.push_back(std::move(name));
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return true;
}

bool MakeDirectory(const std::string& path) {
    return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

size_t RootLength(const std::string& path) {
    // "//server/share/" (or with '\'): the server and the share name belong to the root.
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t at = 2;
        for (int part = 0; part < 2 && at < path.size(); ++part) {
            while (at < path.size() && !IsSeparator(path[at])) ++at;
            if (at < path.size()) ++at;
        }
        return at;
    }
    if (!path.empty() && IsSeparator(path[0])) return 1;  // the working directory's drive
    if (path.size() >= 2 && IsDrive(path[0]) && path[1] == ':') {
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    }
    return 0;
}

}  // namespace sys

std::string CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(size, L'\0');
    const DWORD length = size > 0 ? GetCurrentDirectoryW(size, buffer.data()) : 0;
    if (length == 0 || length >= size) return "./";
    buffer.resize(length);
    std::string path = win32::NarrowPath(buffer);
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !IsDirectoryAttribute(attributes);
}

bool DirectoryExists(const std::string& path) { return IsDirectoryAttribute(Attributes(path)); }

bool ChangeDirectory(const std::string& path) { return !path.empty() && SetCurrentDirectoryW(Wide(path).c_str()) != 0; }

}  // namespace plat
