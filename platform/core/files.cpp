// Text files by handle (line reading and writing), whole-file reads and atomic writes,
// directory listing with wildcards and path helpers. What touches the system goes through
// platform/core/system.h (posix/files.cpp, win32/files.cpp).
#include "platform/files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/core/system.h"

namespace plat {
namespace {

// One open text file. A FILE opened for reading and writing needs a seek between a read and a
// following write (and the other way round), so the last direction is remembered.
struct OpenFile {
    FILE* stream = nullptr;    // null: the slot is free
    bool lastWasWrite = false;
    bool writeFailed = false;  // a WriteLine failed since opening
};

// The files unit's own record: the table of open files, indexed by TextFile::id.
struct FilesRecord {
    std::vector<OpenFile> files;
};

FilesRecord g_files;

OpenFile* Lookup(TextFile file) {
    if (file.id < 0 || file.id >= static_cast<int>(g_files.files.size())) return nullptr;
    OpenFile& entry = g_files.files[file.id];
    return entry.stream != nullptr ? &entry : nullptr;
}

TextFile Register(FILE* stream) {
    if (stream == nullptr) return TextFile{};
    for (size_t i = 0; i < g_files.files.size(); ++i) {
        if (g_files.files[i].stream == nullptr) {
            g_files.files[i] = OpenFile{stream, false, false};
            return TextFile{static_cast<int>(i)};
        }
    }
    g_files.files.push_back(OpenFile{stream, false, false});
    return TextFile{static_cast<int>(g_files.files.size() - 1)};
}

// Switches the stream to reading or writing; ISO C requires a positioning call in between.
void PrepareDirection(OpenFile& entry, bool forWrite) {
    if (entry.lastWasWrite != forWrite) {
        fseek(entry.stream, 0, SEEK_CUR);
        entry.lastWasWrite = forWrite;
    }
}

// The position just after the last separator of `path` (0 when it has none).
size_t NameStart(const std::string& path) {
    for (size_t at = path.size(); at > 0; --at) {
        if (sys::IsSeparator(path[at - 1])) return at;
    }
    return 0;
}

}  // namespace

TextFile OpenRead(const std::string& path) {
    if (path.empty() || !sys::IsPlainFile(path)) return TextFile{};
    return Register(sys::OpenStream(path, "rb"));
}

TextFile OpenAppend(const std::string& path) {
    if (path.empty() || DirectoryExists(path)) return TextFile{};
    FILE* stream = sys::OpenStream(path, "a+b");
    if (stream == nullptr) return TextFile{};
    fseek(stream, 0, SEEK_END);  // reading starts at the end too, so AtEnd is true at once
    return Register(stream);
}

TextFile OpenCreate(const std::string& path) {
    if (path.empty()) return TextFile{};
    return Register(sys::OpenStream(path, "w+b"));
}

std::string ReadLine(TextFile file) {
    std::string line;
    OpenFile* entry = Lookup(file);
    if (entry == nullptr) return line;
    PrepareDirection(*entry, false);
    FILE* stream = entry->stream;
    for (;;) {
        int c = getc(stream);
        if (c == EOF || c == '\n' || c == '\0') break;
        if (c == '\r') {
            int next = getc(stream);
            if (next != '\n' && next != EOF) ungetc(next, stream);
            break;
        }
        line.push_back(static_cast<char>(c));
    }
    return line;
}

bool AtEnd(TextFile file) {
    OpenFile* entry = Lookup(file);
    if (entry == nullptr) return true;
    PrepareDirection(*entry, false);
    int c = getc(entry->stream);
    if (c == EOF) return true;
    ungetc(c, entry->stream);
    return false;
}

bool WriteLine(TextFile file, const std::string& text) {
    OpenFile* entry = Lookup(file);
    if (entry == nullptr) return false;
    PrepareDirection(*entry, true);
    bool ok = fwrite(text.data(), 1, text.size(), entry->stream) == text.size() &&
              fwrite("\r\n", 1, 2, entry->stream) == 2;
    if (!ok) entry->writeFailed = true;
    return ok;
}

bool Close(TextFile& file) {
    OpenFile* entry = Lookup(file);
    file.id = -1;
    if (entry == nullptr) return true;
    bool ok = fclose(entry->stream) == 0 && !entry->writeFailed;
    *entry = OpenFile{};
    return ok;
}

void CloseAllFiles() {
    for (OpenFile& entry : g_files.files) {
        if (entry.stream != nullptr) fclose(entry.stream);
        entry = OpenFile{};
    }
    g_files.files.clear();
}

bool ReadAllLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    if (path.empty() || !sys::IsPlainFile(path)) return false;
    FILE* stream = sys::OpenStream(path, "rb");
    if (stream == nullptr) return false;
    std::string data;
    if (fseek(stream, 0, SEEK_END) == 0) {
        long size = ftell(stream);
        if (size > 0) data.reserve(static_cast<size_t>(size));
        fseek(stream, 0, SEEK_SET);
    }
    char chunk[65536];
    size_t n = 0;
    while ((n = fread(chunk, 1, sizeof chunk, stream)) > 0) data.append(chunk, n);
    bool readFailed = ferror(stream) != 0;
    fclose(stream);
    if (readFailed) return false;

    // Same rules as ReadLine: CR, LF, CR LF and NUL end a line; there is a line for every
    // position at which bytes remain.
    const size_t size = data.size();
    size_t count = 0;  // reserving first saves regrowing a table of many thousand lines
    for (size_t i = 0; i < size; ++i) {
        char c = data[i];
        if (c == '\n' || c == '\0' || (c == '\r' && (i + 1 == size || data[i + 1] != '\n'))) ++count;
    }
    lines.reserve(count + 1);
    size_t pos = 0;
    while (pos < size) {
        size_t end = pos;
        while (end < size && data[end] != '\r' && data[end] != '\n' && data[end] != '\0') ++end;
        lines.emplace_back(data, pos, end - pos);
        pos = end;
        if (pos < size) {
            if (data[pos] == '\r' && pos + 1 < size && data[pos + 1] == '\n') ++pos;
            ++pos;
        }
    }
    return true;
}

bool WriteLinesAtomically(const std::string& path, const std::vector<std::string>& lines) {
    if (path.empty()) return false;
    size_t total = 0;
    for (const std::string& line : lines) total += line.size() + 2;
    std::string data;
    data.reserve(total);
    for (const std::string& line : lines) {
        data += line;
        data += "\r\n";
    }
    return WriteBytesAtomically(path, data);
}

bool WriteBytesAtomically(const std::string& path, const std::string& data) {
    const std::string temp = AtomicTempPath(path);
    const bool ok = sys::WriteWholeFile(temp, data) && sys::RenameOver(temp, path);
    if (!ok) sys::RemoveFile(temp);
    if (ok) RemoveStaleTemporaries(path);
    return ok;
}

std::string AtomicTempPath(const std::string& path) { return path + ".tmp" + std::to_string(sys::ProcessNumber()); }

void RemoveStaleTemporaries(const std::string& path) {
    const size_t nameStart = NameStart(path);
    const std::string directory = path.substr(0, nameStart);
    const std::string prefix = path.substr(nameStart) + ".tmp";
    std::vector<std::string> names;
    if (!sys::DirectoryNames(directory, names)) return;
    for (const std::string& name : names) {
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const long writer = std::stol(digits);
        // Our own temporary belongs to a write in progress; a running writer's is left alone.
        if (writer == sys::ProcessNumber() || writer <= 0 || sys::ProcessRuns(writer)) continue;
        sys::RemoveFile(directory + name);
    }
}

std::vector<std::string> ListDirectory(const std::string& directory, const std::string& pattern) {
    std::vector<std::string> names;
    std::string prefix = directory;
    if (!prefix.empty() && !sys::IsSeparator(prefix.back())) prefix += '/';
    if (!sys::DirectoryNames(directory, names)) return names;
    // Plain files only; links to plain files count as such.
    std::erase_if(names, [&](const std::string& name) {
        return !WildcardMatch(pattern, name) || !sys::IsPlainFile(prefix + name);
    });
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ListSubdirectories(const std::string& directory) {
    std::vector<std::string> names;
    std::string prefix = directory;
    if (!prefix.empty() && !sys::IsSeparator(prefix.back())) prefix += '/';
    if (!sys::DirectoryNames(directory, names)) return names;
    std::erase_if(names, [&](const std::string& name) { return !DirectoryExists(prefix + name); });
    std::sort(names.begin(), names.end());
    return names;
}

bool ReadWholeFile(const std::string& path, std::string& data) {
    data.clear();
    if (path.empty() || !sys::IsPlainFile(path)) return false;
    FILE* stream = sys::OpenStream(path, "rb");
    if (stream == nullptr) return false;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) data.append(buffer, got);
    const bool ok = std::ferror(stream) == 0;
    std::fclose(stream);
    if (!ok) data.clear();
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
    return !path.empty() && sys::WriteWholeFile(path, data);
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    // Greedy matching with one back-tracking point: the last '*' seen.
    size_t p = 0, n = 0;
    size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

char PathSeparator() { return '/'; }

std::string NativePath(const std::string& literal) {
    std::string path = literal;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool DirectoryIsEmpty(const std::string& path) {
    std::vector<std::string> names;
    return DirectoryExists(path) && sys::DirectoryNames(path, names) && names.empty();
}

bool MakeDirectories(const std::string& path) {
    if (path.empty()) return false;
    // Each prefix that ends before a separator (after the root) is made in turn; existing ones
    // are passed over.
    for (size_t at = std::max<size_t>(sys::RootLength(path), 1); at < path.size(); ++at) {
        if (!sys::IsSeparator(path[at]) || sys::IsSeparator(path[at - 1])) continue;
        const std::string prefix = path.substr(0, at);
        if (!DirectoryExists(prefix) && !sys::MakeDirectory(prefix)) return false;
    }
    if (!DirectoryExists(path) && !sys::MakeDirectory(path)) return false;
    return DirectoryExists(path);
}

std::string AbsolutePath(const std::string& path) {
    if (sys::RootLength(path) > 0) return path;
    return CurrentDirectory() + path;
}

bool CopyDirectoryTree(const std::string& from, const std::string& to) {
    // The target by its own name: given with a trailing separator, MinGW's copy copies nothing.
    std::string target = to;
    while (target.size() > 1 && sys::IsSeparator(target.back())) target.pop_back();
    std::error_code error;
    if (!DirectoryExists(from) || std::filesystem::exists(sys::FileSystemPath(target), error)) return false;
    std::filesystem::copy(sys::FileSystemPath(from), sys::FileSystemPath(target),
                          std::filesystem::copy_options::recursive, error);
    return !error && DirectoryExists(target);
}

bool RemoveDirectoryTree(const std::string& path) {
    std::error_code error;
    std::filesystem::remove_all(sys::FileSystemPath(path), error);
    return !error && !std::filesystem::exists(sys::FileSystemPath(path), error);
}

bool RenamePath(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() && sys::Rename(from, to);
}

}  // namespace plat
