// Square sprites drawn as GL points (gl_PointSize, gl_PointCoord): one vertex per sprite
// instead of four, one rasterised square instead of two triangles. With llvmpipe this takes three
// quarters of the vertex work and half the triangle setup and binning away, and the blocks along
// a quad's diagonal are no longer shaded twice.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>

#include "platform/gl/gl_state.h"

namespace plat::gl {

namespace {

bool CentreInside(float low, float high, int extent) {
    return low + high > 0 && low + high < 2.0f * static_cast<float>(extent);
}

// The centre of a sprite's point on one axis. A sprite whose centre lies inside the surface is
// its own point. One whose centre lies beyond an edge (but that still shows a pixel) is cut from
// a point twice its side, centred on the nearest whole pixel inside the surface that keeps the
// sprite within the point; the shader then discards the point's pixels outside the sprite.
float PointCentre(float low, float side, bool cut, int extent) {
    if (!cut) return low + side * 0.5f;
    return std::clamp(std::floor(low + side * 0.5f), 1.0f, static_cast<float>(extent - 1));
}

}  // namespace

bool MakePointSprites(Renderer& r) {
    DeletePointSprites(r);
    // The points need their programs, the batch buffers' layout, and sides of 2 or more (a
    // sprite cut at an edge is a point of twice its side).
    if (!r.caps.pointPrograms || !r.caps.batchBuffers || r.caps.largestPoint < 2 ||
        r.caps.smallestPoint > r.caps.largestPoint) {
        return false;
    }
    if (!MakePointPrograms(r)) {
        r.caps.pointPrograms = false;
        return false;
    }
    glGenBuffers(1, &r.pointBuffer);
    glGenVertexArrays(1, &r.pointArrays);
    if (r.pointBuffer == 0 || r.pointArrays == 0) {
        DeletePointSprites(r);
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindVertexArray(r.pointArrays);
    r.boundArrays = 0;
    glBindBuffer(GL_ARRAY_BUFFER, r.pointBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kMaxBatchQuads) * sizeof(PointVertex),
                 nullptr, GL_STREAM_DRAW);
    const GLsizei stride = sizeof(PointVertex);
    glVertexAttribPointer(kCornerAttribute, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(PointVertex, x)));
    glVertexAttribPointer(kTexelAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(PointVertex, left)));
    glVertexAttribPointer(kColourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(PointVertex, colour)));
    glVertexAttribPointer(kKeepAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(PointVertex, keep)));
    for (const GLuint attribute : {kCornerAttribute, kTexelAttribute, kColourAttribute, kKeepAttribute}) {
        glEnableVertexAttribArray(attribute);
    }
    glBindVertexArray(0);
    if (glGetError() != GL_NO_ERROR) {
        DeletePointSprites(r);
        return false;
    }
    return true;
}

void DeletePointSprites(Renderer& r) {
    for (auto& pair : r.pointPrograms) {
        for (GLuint& program : pair) {
            if (program != 0) glDeleteProgram(program);
            program = 0;
        }
    }
    if (r.pointBuffer != 0) glDeleteBuffers(1, &r.pointBuffer);
    r.pointBuffer = 0;
    if (r.pointArrays != 0) glDeleteVertexArrays(1, &r.pointArrays);
    r.pointArrays = 0;
    r.boundProgram = 0;
    r.boundArrays = 0;
}

bool QuadIsPointSprite(const Renderer& r, const float xy[8], const float uv[8]) {
    const float left = xy[0], top = xy[1], right = xy[4], bottom = xy[5];
    const float side = right - left;
    if (r.pointBuffer == 0 || !r.nearest || xy[2] != right || xy[3] != top || xy[6] != left ||
        xy[7] != bottom || bottom - top != side || !(side > 0) || left != std::floor(left) ||
        top != std::floor(top) || uv[2] != uv[4] || uv[6] != uv[0] || uv[3] != uv[1] || uv[7] != uv[5]) {
        return false;
    }
    // GL clamps a point's side to its range: a point outside it would not cover the sprite.
    const auto drawable = [&r](float pointSide) {
        return pointSide >= r.caps.smallestPoint && pointSide <= r.caps.largestPoint;
    };
    if (CentreInside(left, right, r.width) && CentreInside(top, bottom, r.height)) return drawable(side);
    // Beyond an edge: a point of twice the side, when any of the sprite shows.
    return right > 0 && bottom > 0 && left < static_cast<float>(r.width) && top < static_cast<float>(r.height) &&
           r.width >= 2 && r.height >= 2 && drawable(side * 2);
}

void FillPointSprites(Renderer& r) {
    r.points.resize(r.colours.size());
    r.pointsCut = false;
    for (const Run& run : r.runs) {
        if (!run.asPoints) continue;
        for (int q = run.firstQuad; q < run.firstQuad + run.quads; ++q) {
            const Vertex* v = &r.vertices[static_cast<size_t>(q) * 4];
            const float side = v[2].x - v[0].x;
            const bool cut = !CentreInside(v[0].x, v[2].x, r.width) || !CentreInside(v[0].y, v[2].y, r.height);
            const float pointSide = cut ? side * 2 : side;
            const float x = PointCentre(v[0].x, side, cut, r.width);
            const float y = PointCentre(v[0].y, side, cut, r.height);
            // The sprite's place within the point, in point coordinates (all of it, 0..1, for a
            // sprite that is its own point), and the texture coordinates at the point's corner
            // and over its side.
            const float keepLeft = (v[0].x - (x - pointSide * 0.5f)) / pointSide;
            const float keepTop = (v[0].y - (y - pointSide * 0.5f)) / pointSide;
            const float scale = pointSide / side;
            const float du = v[2].u - v[0].u, dv = v[2].v - v[0].v;
            r.points[static_cast<size_t>(q)] =
                PointVertex{x, y, pointSide, v[0].u - keepLeft * scale * du, v[0].v - keepTop * scale * dv,
                            du * scale, dv * scale, r.colours[q],
                            {keepLeft, keepTop, keepLeft + 1 / scale, keepTop + 1 / scale}};
            r.pointsCut = r.pointsCut || cut;
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, r.pointBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(r.points.size() * sizeof(PointVertex)),
                    r.points.data());
}

}  // namespace plat::gl
