// A fresh directory under the system's temporary directory for one test, removed afterwards,
// with helpers to write and read raw file bytes.
#pragma once
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace coretest {

inline std::atomic<int> g_tempDirCount{0};  // makes names unique within one test process

class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() /
                ("plat_core_" + std::to_string(getpid()) + "_" + std::to_string(g_tempDirCount++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory with a trailing separator, as the platform's directory prefixes expect.
    std::string Prefix() const { return path_.generic_string() + "/"; }
    std::string File(const std::string& name) const { return (path_ / name).generic_string(); }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace coretest
