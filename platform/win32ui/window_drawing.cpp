// Drawing straight into a numbered window's client area (boxes, scaled images, text) with GDI.
// Nothing is kept: a repaint event asks the program to draw again.
#include <vector>

#include "platform/gl/gl_state.h"
#include "platform/win32ui/win32ui_state.h"

namespace plat::win32ui {

namespace {

// The window's client area as a drawing target; nullptr when it is not on screen.
HDC BeginDrawing(int number, HWND& hwnd) {
    WindowEntry* entry = FindEntry(number);
    if (entry == nullptr || !IsWindowVisible(entry->hwnd)) return nullptr;
    hwnd = entry->hwnd;
    return GetDC(hwnd);
}

COLORREF ToColorRef(Colour colour) {
    return RGB(static_cast<BYTE>(colour.r), static_cast<BYTE>(colour.g), static_cast<BYTE>(colour.b));
}

}  // namespace

}  // namespace plat::win32ui

namespace plat {

using win32ui::g_win;

void FillWindowRect(int number, int x, int y, int width, int height, Colour colour) {
    HWND hwnd = nullptr;
    HDC dc = win32ui::BeginDrawing(number, hwnd);
    if (dc == nullptr) return;
    HBRUSH brush = CreateSolidBrush(win32ui::ToColorRef(colour));
    const RECT rect{x, y, x + width, y + height};
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, dc);
}

void DrawWindowImage(int number, Image image, int x, int y, int width, int height) {
    const std::vector<gl::ImageSlot>& images = gl::g_renderer.images;
    if (image.id < 0 || image.id >= static_cast<int>(images.size()) || width <= 0 || height <= 0) return;
    const gl::ImageSlot& slot = images[image.id];
    // Loaded images keep their pixels in memory; a grab that was never read back has none.
    if (!slot.used || slot.rgba.empty()) return;
    HWND hwnd = nullptr;
    HDC dc = win32ui::BeginDrawing(number, hwnd);
    if (dc == nullptr) return;
    // A top-down DIB of premultiplied BGRA, blended scaled over what the window shows (as
    // FLTK's image drawing does), so transparent pixels show the background drawn before.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = slot.width;
    info.bmiHeader.biHeight = -slot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC source = CreateCompatibleDC(dc);
    if (bitmap != nullptr && source != nullptr) {
        auto* bgra = static_cast<uint8_t*>(bits);
        for (size_t i = 0; i + 3 < slot.rgba.size(); i += 4) {
            const int alpha = slot.rgba[i + 3];
            for (int channel = 0; channel < 3; ++channel) {
                bgra[i + 2 - channel] = static_cast<uint8_t>((slot.rgba[i + channel] * alpha + 127) / 255);
            }
            bgra[i + 3] = static_cast<uint8_t>(alpha);
        }
        HGDIOBJ previous = SelectObject(source, bitmap);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        SetStretchBltMode(dc, COLORONCOLOR);
        AlphaBlend(dc, x, y, width, height, source, 0, 0, slot.width, slot.height, blend);
        SelectObject(source, previous);
    }
    if (source != nullptr) DeleteDC(source);
    if (bitmap != nullptr) DeleteObject(bitmap);
    ReleaseDC(hwnd, dc);
}

void DrawWindowText(int number, int x, int y, const std::string& text, Colour colour, Colour background) {
    HWND hwnd = nullptr;
    HDC dc = win32ui::BeginDrawing(number, hwnd);
    if (dc == nullptr) return;
    if (g_win.textFont == nullptr) {
        g_win.textFont = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
    }
    HGDIOBJ previous = SelectObject(dc, g_win.textFont != nullptr ? g_win.textFont : GetStockObject(ANSI_FIXED_FONT));
    SetTextColor(dc, win32ui::ToColorRef(colour));
    SetBkColor(dc, win32ui::ToColorRef(background));
    SetBkMode(dc, OPAQUE);
    const std::wstring wide = win32::Wide(text);
    TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
    SelectObject(dc, previous);
    ReleaseDC(hwnd, dc);
}

}  // namespace plat
