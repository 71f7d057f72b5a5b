// Message boxes (MessageBoxW) and the common open and save dialogs of the Win32 backend. The boxes are modal for the whole program while open; Return, Escape,
// Y and N answer them as the dialog manager handles a box's keys, and Escape in a Yes/No box
// answers No (Windows itself ignores it in a box without a Cancel button).
#include <algorithm>
#include <cstdio>

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/win32ui/win32ui_state.h"
// After windows.h, which the state header brings.
#include <commdlg.h>
// windows.h names its MessageBoxA/W by a macro; plat::MessageBox is meant here.
#undef MessageBox

namespace plat::win32ui {

namespace {

// Escape sends IDCANCEL to the box: it presses No instead.
LRESULT CALLBACK YesNoBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(g_win.boxProc);
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && GetDlgItem(hwnd, IDCANCEL) == nullptr) {
        return CallWindowProcW(original, hwnd, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                               reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDNO)));
    }
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

// Catches the Yes/No box as it is activated and puts YesNoBoxProc in front of its own procedure.
LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_win.boxProc == nullptr) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        g_win.boxProc = reinterpret_cast<void*>(
            SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(YesNoBoxProc)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Shows the box (modal for every window of the program) and gives its answer; 0 when it could
// not be shown.
int RunBox(const std::string& title, const std::string& text, UINT buttons) {
    const bool yesNo = buttons == MB_YESNO;
    HHOOK hook = yesNo ? SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId()) : nullptr;
    g_win.boxProc = nullptr;
    ++g_win.boxesOpen;
    const int answer = MessageBoxW(nullptr, win32::Wide(text).c_str(), win32::Wide(title).c_str(),
                                   buttons | MB_TASKMODAL | MB_SETFOREGROUND | (yesNo ? MB_ICONQUESTION : 0));
    --g_win.boxesOpen;
    if (hook != nullptr) UnhookWindowsHookEx(hook);
    g_win.boxProc = nullptr;
    return answer;
}

// The dialog's filter: the pattern named by itself ("*" -> "*").
std::wstring Filter(const std::string& pattern) {
    const std::wstring wide = win32::Wide(pattern.empty() ? std::string("*") : pattern);
    return wide + L'\0' + wide + L'\0' + L'\0';
}

std::wstring WindowsPath(const std::string& path) {
    std::wstring wide = win32::Wide(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

// The common dialog starting in the start path's directory (with its file name filled in when
// the path names an existing file), like the requester on Linux. The working directory is left
// as it was.
std::string RunFileDialog(const std::string& title, const std::string& startPath, const std::string& pattern,
                          bool save) {
    std::string directory = startPath.empty() ? CurrentDirectory() : startPath;
    std::wstring file;
    if (!startPath.empty() && !DirectoryExists(startPath) && FileExists(startPath)) {
        const size_t cut = startPath.find_last_of("/\\");
        directory = cut == std::string::npos ? CurrentDirectory() : startPath.substr(0, cut + 1);
        file = WindowsPath(cut == std::string::npos ? startPath : startPath.substr(cut + 1));
    }
    const std::wstring initialDirectory = WindowsPath(directory);
    const std::wstring filter = Filter(pattern);
    const std::wstring caption = win32::Wide(title);
    std::wstring buffer(32768, L'\0');
    std::copy(file.begin(), file.begin() + static_cast<ptrdiff_t>(std::min(file.size(), buffer.size() - 1)),
              buffer.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrInitialDir = initialDirectory.c_str();
    dialog.lpstrTitle = caption.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   (save ? 0 : OFN_FILEMUSTEXIST);
    ++g_win.boxesOpen;
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    --g_win.boxesOpen;
    if (!chosen) return "";
    buffer.resize(wcslen(buffer.c_str()));
    return win32::NarrowPath(buffer);
}

}  // namespace

}  // namespace plat::win32ui

namespace plat {

void MessageBox(const std::string& title, const std::string& text) {
    if (win32ui::RunBox(title, text, MB_OK) == 0) std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

bool AskYesNo(const std::string& title, const std::string& text) {
    const int answer = win32ui::RunBox(title, text, MB_YESNO);
    if (answer == 0) {
        // Nobody can answer: say so and take the cautious answer.
        std::fprintf(stderr, "%s: %s (no)\n", title.c_str(), text.c_str());
        return false;
    }
    return answer == IDYES;
}

std::string RequestOpenFile(const std::string& title, const std::string& startPath,
                            const std::string& pattern) {
    return win32ui::RunFileDialog(title, startPath, pattern, false);
}

std::string RequestSaveFile(const std::string& title, const std::string& startPath,
                            const std::string& pattern) {
    return win32ui::RunFileDialog(title, startPath, pattern, true);
}

std::string RequestFolder(const std::string& title, const std::string& startPath) {
    // The save dialog takes the folder's name, new or existing, as typed.
    return win32ui::RunFileDialog(title, startPath, "*", true);
}

}  // namespace plat
