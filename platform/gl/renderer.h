// What a window backend needs from the GL sprite renderer: start it on a current GL context,
// flush the batch, stop it, free everything, and read the back buffer back (for tests).
#pragma once
#include <cstdint>
#include <vector>

#include "platform/handles.h"

namespace plat::gl {

// Starts the renderer for a drawable surface of width x height pixels; an OpenGL 3.3 (core, or
// a compatibility profile of which only the core part is used) or OpenGL ES 3.0 context must be
// current. Images loaded earlier get their textures again. False when the
// context is unusable.
bool StartRenderer(int width, int height);
// The surface changed size (the context stays the same).
void ResizeRenderer(int width, int height);
bool RendererRunning();
// Sends every queued quad to GL (before anything that must follow them, such as a texture change).
void FlushBatch();
// Draws everything queued and a clear still pending: the back buffer then holds the frame.
void FinishFrame();
// Finishes the frame and leaves `swap` (the window's buffer swap) to be made just before the
// back buffer is next cleared, drawn to or read; a clear waits likewise for the first drawing.
// A software rasteriser draws the parts of a large frame already flushed to it (see FlushBatch)
// on its own threads while the program works out its next frame, as beside a GPU. The end of
// the frame is not flushed here: that made small frames slower (1,000 sprites on llvmpipe:
// about 236 against 210 frames per second).
void SubmitFrame(void (*swap)());
// Deletes every GL object while the context is still current. Images keep their pixels in
// memory (grabbed ones are read back first), so a later StartRenderer shows them again.
void StopRenderer();
// Frees every image and drawable (and their textures when the renderer runs).
void FreeAllGraphics();

// The frame last flipped, kept as a texture so that an expose can show it again (the map
// builder draws only after its own events).
struct KeptFrame {
    Image image;
    Drawable drawable;
};
// Replaces the kept frame by the finished back buffer: after FinishFrame, before the swap.
void KeepFrame(KeptFrame& kept);
// Frees the kept frame (its texture too while the renderer runs).
void ForgetFrame(KeptFrame& kept);

// The straightforward path (on) draws every quad as 6 coloured vertices in a buffer made anew
// at every flush, each image from its own texture, every quad blended; it is kept to check the
// normal (off) path against, pixel for pixel.
void UseReferencePath(bool on);

// Draw statistics since the last ResetRendererStats.
struct RendererStats {
    int flushes = 0;    // batches sent
    int drawCalls = 0;  // draw calls (one per texture run of a batch)
    int quads = 0;      // quads sent
    int skipped = 0;    // quads left out because they could not change the frame
    int unblended = 0;  // quads drawn with blending off because the result is the same
    int textureOnly = 0;  // quads drawn from the texture alone (untinted and fully opaque)
    int pointSprites = 0;  // quads drawn as point sprites
};
RendererStats ReadRendererStats();
void ResetRendererStats();

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};
// Reads one pixel of the back buffer (origin top-left) after flushing; false outside the surface
// or when the renderer is not running.
bool ReadPixel(int x, int y, Rgba& pixel);
// Reads a rectangle of the back buffer as RGBA, rows top to bottom; false when the rectangle is
// not wholly inside the surface.
bool ReadPixels(int x, int y, int width, int height, std::vector<uint8_t>& rgba);

}  // namespace plat::gl
