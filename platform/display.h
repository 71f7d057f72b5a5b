// Display, images as textures, drawables (textured quads) and 2D drawing over the frame.
// Implemented by the GL renderer (platform/gl) with the screen of platform/sdl (the engine) or of
// platform/ui with platform/fltk or platform/win32ui (the map builder), and by platform/headless.
#pragma once
#include <string>

#include "platform/handles.h"

namespace plat {

struct DesktopInfo {
    int width = 0;   // pixels
    int height = 0;  // pixels
    int depth = 0;   // bits per pixel
};

// --- display ------------------------------------------------------------------------------
DesktopInfo QueryDesktop();
// Initialisation of the sprite and 3D sprite services (no result the caller checks).
void InitSprites();
void Init3D();
// Opens the full-screen display window at (0, 0) with this size; false when it cannot be opened.
bool OpenScreen(int width, int height, int depth, const std::string& title);
void CloseScreen();
bool ScreenOpen();
int ScreenWidth();
int ScreenHeight();
void ClearScreen(Colour colour);
// Begins the 3D pass; blending is reset to the normal mode 5 with 6.
void Begin3D();
void End3D();
// Ends the frame: the back buffer is shown. The GL window shows it just before the next frame
// first draws, clears or reads (see plat::gl::SubmitFrame), so the next frame's world update
// runs while a software rasteriser finishes this one.
void Flip();
// Runs `step` once per frame until it returns false, then `finish`. On the desktop a plain
// loop; in a browser page the step runs once per animation frame (a page must not block), so
// this returns only through `finish`.
[[noreturn]] void RunFrameLoop(bool (*step)(), void (*finish)());
// true: nearest-pixel sampling for scaled drawables (the default); false: smoothing filter.
void SetNearestSampling(bool nearest);

// --- images -------------------------------------------------------------------------------
// Loads a PNG, JPEG or TIFF file as a texture; invalid when it does not decode.
Image LoadImage(const std::string& path);
// Every pixel of exactly this colour becomes transparent.
void MakeTransparent(Image image, Colour colour);
int ImageWidth(Image image);
int ImageHeight(Image image);
// Copies a rectangle of the current back buffer into a new image (invalid when the rectangle
// is empty or lies wholly outside the screen).
Image GrabScreen(int x, int y, int width, int height);
// Writes the image as a PNG file; false on failure.
bool SaveImagePng(Image image, const std::string& path);
void FreeImage(Image& image);

// --- drawables ----------------------------------------------------------------------------
struct Corner {
    float x = 0, y = 0;  // pixels, relative to the drawing position
};
// A quad showing the whole image, as large as the image.
Drawable MakeDrawable(Image image);
// Resizes the quad to width x height (corners become the plain rectangle).
void ZoomDrawable(Drawable drawable, int width, int height);
// Sets the four corners: top-left, top-right, bottom-right, bottom-left.
void SetCorners(Drawable drawable, const Corner corners[4]);
// Blend factors for the following draws, numbered 1..13 (5 with 6 is normal blending). A pair
// with a number outside 1..13 is ignored: the previous blending stays.
void SetBlend(int source, int destination);
// Draws the quad with its top-left at (x, y) with opacity 0..255 (clamped).
void DrawDrawable(Drawable drawable, int x, int y, int opacity);
void FreeDrawable(Drawable& drawable);
// The image a drawable shows (for tests and sharing).
Image DrawableImage(Drawable drawable);

// --- 2D drawing over the frame --------------------------------------------------------------
void Begin2D();
void End2D();
// Text in the default font, top-left at (x, y); with `opaque` the text's box is filled with `background`.
void DrawText(int x, int y, const std::string& text, Colour colour, bool opaque = false,
              Colour background = {});
// Height in pixels of one text line of the default font.
int TextLineHeight();
void DrawBox(int x, int y, int width, int height, Colour colour, bool filled);
void SetPixel(int x, int y, Colour colour);

}  // namespace plat
