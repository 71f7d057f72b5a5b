// Drawing straight into a numbered window's client area (boxes, scaled images, text) with
// FLTK's drawing calls; pending redraws are flushed first so they cannot paint over it later.
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include "platform/fltk/fltk_state.h"
#include "platform/gl/gl_state.h"

namespace plat::fltk {

namespace {

// Makes the window the drawing target; nullptr when it is not on screen.
NumberedWindow* BeginDrawing(int number) {
    Fl::flush();
    NumberedWindow* window = FindWindow(number);
    if (window == nullptr || !window->shown()) return nullptr;
    window->make_current();
    return window;
}

void EndDrawing() {
    if (fl_display != nullptr) XFlush(fl_display);
}

}  // namespace

}  // namespace plat::fltk

namespace plat {

void FillWindowRect(int number, int x, int y, int width, int height, Colour colour) {
    fltk::NumberedWindow* window = fltk::BeginDrawing(number);
    if (window == nullptr) return;
    fl_color(static_cast<uchar>(colour.r), static_cast<uchar>(colour.g), static_cast<uchar>(colour.b));
    fl_rectf(x, y + window->clientTop, width, height);
    fltk::EndDrawing();
}

void DrawWindowImage(int number, Image image, int x, int y, int width, int height) {
    const std::vector<gl::ImageSlot>& images = gl::g_renderer.images;
    if (image.id < 0 || image.id >= static_cast<int>(images.size()) || width <= 0 || height <= 0) return;
    const gl::ImageSlot& slot = images[image.id];
    // Loaded images keep their pixels in memory; a grab that was never read back has none.
    if (!slot.used || slot.rgba.empty()) return;
    fltk::NumberedWindow* window = fltk::BeginDrawing(number);
    if (window == nullptr) return;
    Fl_RGB_Image whole(slot.rgba.data(), slot.width, slot.height, 4);
    Fl_Image* scaled = whole.copy(width, height);
    scaled->draw(x, y + window->clientTop);
    delete scaled;
    fltk::EndDrawing();
}

void DrawWindowText(int number, int x, int y, const std::string& text, Colour colour, Colour background) {
    fltk::NumberedWindow* window = fltk::BeginDrawing(number);
    if (window == nullptr) return;
    fl_font(FL_COURIER, 12);
    const int top = y + window->clientTop;
    const int width = static_cast<int>(fl_width(text.c_str()));
    fl_color(static_cast<uchar>(background.r), static_cast<uchar>(background.g), static_cast<uchar>(background.b));
    fl_rectf(x, top, width, fl_height());
    fl_color(static_cast<uchar>(colour.r), static_cast<uchar>(colour.g), static_cast<uchar>(colour.b));
    fl_draw(text.c_str(), x, top + fl_height() - fl_descent());
    fltk::EndDrawing();
}

}  // namespace plat
