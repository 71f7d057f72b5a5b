// Text files by handle (line reading and writing), whole-file reads and atomic writes,
// directory listing with wildcards, the working directory and path helpers.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

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

bool IsPlainFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Writes the whole buffer to a descriptor, retrying short writes and interruptions.
bool WriteAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

TextFile OpenRead(const std::string& path) {
    if (path.empty() || !IsPlainFile(path)) return TextFile{};
    return Register(fopen(path.c_str(), "rb"));
}

TextFile OpenAppend(const std::string& path) {
    if (path.empty()) return TextFile{};
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return TextFile{};
    FILE* stream = fopen(path.c_str(), "a+b");
    if (stream == nullptr) return TextFile{};
    fseek(stream, 0, SEEK_END);  // reading starts at the end too, so AtEnd is true at once
    return Register(stream);
}

TextFile OpenCreate(const std::string& path) {
    if (path.empty()) return TextFile{};
    return Register(fopen(path.c_str(), "w+b"));
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
    if (path.empty() || !IsPlainFile(path)) return false;
    FILE* stream = fopen(path.c_str(), "rb");
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

    const std::string temp = AtomicTempPath(path);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    if (ok) RemoveStaleTemporaries(path);
    return ok;
}

std::string AtomicTempPath(const std::string& path) {
    return path + ".tmp" + std::to_string(static_cast<long>(getpid()));
}

void RemoveStaleTemporaries(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp";
    DIR* dir = opendir(directory.c_str());
    if (dir == nullptr) return;
    while (dirent* item = readdir(dir)) {
        const std::string name = item->d_name;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const pid_t writer = static_cast<pid_t>(std::stol(digits));
        // Our own temporary belongs to a write in progress; a running writer's is left alone.
        if (writer == getpid() || writer <= 0 || kill(writer, 0) == 0 || errno != ESRCH) continue;
        unlink((slash == std::string::npos ? name : directory + name).c_str());
    }
    closedir(dir);
}

std::vector<std::string> ListDirectory(const std::string& directory, const std::string& pattern) {
    std::vector<std::string> names;
    const std::string opened = directory.empty() ? std::string(".") : directory;
    std::string prefix = directory;
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    DIR* dir = opendir(opened.c_str());
    if (dir == nullptr) return names;
    while (dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        if (!WildcardMatch(pattern, name)) continue;
        // stat follows links, so a link to a plain file counts as one.
        if (!IsPlainFile(prefix + name)) continue;
        names.push_back(std::move(name));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
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

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return "./";
        buffer.resize(buffer.size() * 2);
    }
    std::string path = buffer.data();
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

char PathSeparator() { return '/'; }

std::string NativePath(const std::string& literal) {
    std::string path = literal;
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DirectoryIsEmpty(const std::string& path) {
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) return false;
    bool empty = true;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    closedir(directory);
    return empty;
}

bool MakeDirectories(const std::string& path) {
    if (path.empty()) return false;
    // Each prefix that ends before a separator is made in turn; existing ones are passed over.
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
        const std::string prefix = path.substr(0, at);
        if (!DirectoryExists(prefix) && mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    if (!DirectoryExists(path) && mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) return false;
    return DirectoryExists(path);
}

bool ChangeDirectory(const std::string& path) { return !path.empty() && chdir(path.c_str()) == 0; }

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') return path;
    return CurrentDirectory() + path;
}

int64_t FileModificationTime(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) return -1;
    return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

bool CopyDirectoryTree(const std::string& from, const std::string& to) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!DirectoryExists(from) || fs::exists(to, error)) return false;
    fs::copy(from, to, fs::copy_options::recursive, error);
    return !error;
}

bool RemoveDirectoryTree(const std::string& path) {
    std::error_code error;
    std::filesystem::remove_all(path, error);
    return !error && !std::filesystem::exists(path, error);
}

bool RenamePath(const std::string& from, const std::string& to) {
    return !from.empty() && !to.empty() && rename(from.c_str(), to.c_str()) == 0;
}

std::string UserDataDirectory() {
    const char* data = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and is ignored.
    if (data != nullptr && data[0] == '/') return std::string(data) + "/";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.local/share/";
    return "";
}

}  // namespace plat
