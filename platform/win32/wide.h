// UTF-8 inside the program, UTF-16 at every Windows call: the one place both conversions live.
// Paths handed back by the system get '/' as their separator, the one the program writes.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <string>

namespace plat::win32 {

// UTF-8 to UTF-16; invalid sequences become U+FFFD.
inline std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(count > 0 ? count : 0), L'\0');
    if (count > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), count);
    return wide;
}

// UTF-16 to UTF-8.
inline std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int size = static_cast<int>(wide.size());
    const int count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(count > 0 ? count : 0), '\0');
    if (count > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), count, nullptr, nullptr);
    return text;
}

// A path the system handed back, in UTF-8 with '/' separators.
inline std::string NarrowPath(const std::wstring& wide) {
    std::string path = Narrow(wide);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// UTF-8 to UTF-16 into a caller's buffer, for code that must not allocate (fault routines);
// false when the text is empty or does not fit.
inline bool WideInto(const char* text, wchar_t* buffer, int capacity) {
    if (text == nullptr || *text == '\0' || capacity < 2) return false;
    const int count = MultiByteToWideChar(CP_UTF8, 0, text, -1, buffer, capacity);
    return count > 0;
}

}  // namespace plat::win32
