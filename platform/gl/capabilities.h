// What the GL context offers the renderer's fast paths, read once when the renderer starts on
// a context, and a test-only narrowing of it that forces the fallbacks. Internal to platform/gl.
#pragma once

namespace plat::gl {

// Each fast path checks its entry here; where the context lacks it, the renderer draws the same
// pixels the plain way.
struct Capabilities {
    // Square sprites as points need their programs (gl_PointSize, gl_PointCoord) to compile,
    // and a point side within the aliased range GL rasterises (GL_ALIASED_POINT_SIZE_RANGE, or
    // GL_POINT_SIZE_RANGE where a core profile knows only that one: points are never smoothed). A sprite whose point would fall outside that range is two triangles; without the
    // programs (or without points of side 2) every sprite is.
    bool pointPrograms = false;
    float smallestPoint = 0;  // pixels
    float largestPoint = 0;   // pixels
    // GL_MAX_TEXTURE_SIZE. Atlas pages grow to no more than this side; when it is below the
    // largest image a page cell takes, there are no pages and every image has its own texture.
    int largestTexture = 0;
    // The batch's buffers (vertices and colours, the fixed quad indices, the points) are made
    // once at the start and written in part at every flush. When GL cannot give them their
    // storage, every batch is drawn as the reference path draws it: a buffer of 6 vertices per
    // quad made anew at each flush, and no point sprites.
    bool batchBuffers = false;
};

// Test only: every StartRenderer from now on narrows what it reads from GL to `limit` (the
// smaller sides and ranges, a feature only when both have it); nullptr: GL's own again.
void LimitCapabilities(const Capabilities* limit);
// The running renderer's capabilities (all off when it does not run).
Capabilities CurrentCapabilities();

}  // namespace plat::gl
