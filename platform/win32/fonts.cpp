// The text font on Windows: the first monospaced font of the Windows fonts directory
// (%WINDIR%\Fonts) among DejaVu Sans Mono, Consolas, Courier New and Lucida Console.
#include <cstdlib>

#include "platform/core/system.h"
#include "platform/gl/fonts.h"
#include "platform/win32/wide.h"

namespace plat::gl {
namespace {

constexpr const char* kSystemFonts[] = {"DejaVuSansMono.ttf", "consolas.ttf", "cour.ttf", "lucon.ttf"};

// The Windows fonts directory, ending with '/'; "" when the system does not say.
std::string FontsDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"WINDIR", buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return win32::NarrowPath(buffer) + "/Fonts/";
    const UINT windows = GetWindowsDirectoryW(buffer, MAX_PATH);
    if (windows > 0 && windows < MAX_PATH) return win32::NarrowPath(buffer) + "/Fonts/";
    return "";
}

}  // namespace

FontFile FindSystemFont() {
    const std::string directory = FontsDirectory();
    if (directory.empty()) return {};
    for (const char* name : kSystemFonts) {
        if (sys::IsPlainFile(directory + name)) return FontFile{directory + name, 0};
    }
    return {};
}

const char* SystemFontRequest() { return "DejaVuSansMono.ttf, consolas.ttf, cour.ttf or lucon.ttf in %WINDIR%\\Fonts"; }

}  // namespace plat::gl
