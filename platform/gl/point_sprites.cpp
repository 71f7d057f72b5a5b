// Square sprites drawn as GL point sprites: one vertex per sprite instead of four, one
// rasterised square instead of two triangles. With llvmpipe this takes three quarters of the
// vertex work and half the triangle setup and binning away, and the blocks along a quad's
// diagonal are no longer shaded twice.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

#include "platform/gl/gl_state.h"

namespace plat::gl {

namespace {

// Generic attribute of `keep`: 1 is no conventional array's alias on any driver we know.
constexpr GLuint kKeepAttribute = 1;

// A point comes in as gl_Vertex (centre x, y and side), its texture mapping as
// gl_MultiTexCoord0 (the texture coordinates at the point's top-left corner, and their change
// over the point's side), and the part of the point the sprite covers as `keep` (left, top,
// right, bottom in point coordinates 0..1): all of it, except for a sprite whose centre lies
// beyond the surface's edge, which GL would drop as a point of its own size (see PointCentre).
constexpr const char* kVertexShader = R"(#version 120
attribute vec4 keep;
varying vec4 cell;
varying vec4 kept;
void main() {
    gl_Position = gl_ModelViewProjectionMatrix * vec4(gl_Vertex.xy, 0.0, 1.0);
    gl_PointSize = gl_Vertex.z;
    cell = gl_MultiTexCoord0;
    kept = keep;
    gl_FrontColor = gl_Color;
}
)";

// The fragment shader: texel times colour, or the texel alone; with `cut`, the pixels outside
// the kept part are discarded (that test costs llvmpipe about 6 % of a sprite's fill, so
// batches without any cut sprite go without it).
std::string FragmentShader(bool cut, bool textureOnly) {
    std::string text = "#version 120\nuniform sampler2D tile;\nvarying vec4 cell;\nvarying vec4 kept;\n"
                       "void main() {\n    vec2 at = gl_PointCoord;\n";
    if (cut) text += "    if (at.x < kept.x || at.y < kept.y || at.x >= kept.z || at.y >= kept.w) discard;\n";
    text += textureOnly ? "    gl_FragColor = texture2D(tile, cell.xy + at * cell.zw);\n"
                        : "    gl_FragColor = texture2D(tile, cell.xy + at * cell.zw) * gl_Color;\n";
    return text + "}\n";
}

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

GLuint CompileShader(GLenum kind, const char* source) {
    const GLuint shader = glCreateShader(kind);
    if (shader == 0) return 0;
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint LinkProgram(GLuint vertexShader, const std::string& fragmentSource) {
    const GLuint fragmentShader = CompileShader(GL_FRAGMENT_SHADER, fragmentSource.c_str());
    if (fragmentShader == 0) return 0;
    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    glBindAttribLocation(program, kKeepAttribute, "keep");
    glLinkProgram(program);
    glDeleteShader(fragmentShader);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteProgram(program);
        return 0;
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "tile"), 0);
    glUseProgram(0);
    return program;
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
    const GLuint vertexShader = CompileShader(GL_VERTEX_SHADER, kVertexShader);
    if (vertexShader == 0) return false;
    bool linked = true;
    for (int cut = 0; cut < 2; ++cut) {
        for (int textureOnly = 0; textureOnly < 2; ++textureOnly) {
            r.pointPrograms[cut][textureOnly] = LinkProgram(vertexShader, FragmentShader(cut != 0, textureOnly != 0));
            linked = linked && r.pointPrograms[cut][textureOnly] != 0;
        }
    }
    glDeleteShader(vertexShader);
    glGenBuffers(1, &r.pointBuffer);
    if (!linked || r.pointBuffer == 0) {
        DeletePointSprites(r);
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindBuffer(GL_ARRAY_BUFFER, r.pointBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kMaxBatchQuads) * sizeof(PointVertex),
                 nullptr, GL_STREAM_DRAW);
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

void UsePointSprites(Renderer& r, bool on, bool textureOnly) {
    if (r.pointsActive == on) return;
    r.pointsActive = on;
    if (on) {
        glBindBuffer(GL_ARRAY_BUFFER, r.pointBuffer);
        const GLsizei stride = sizeof(PointVertex);
        glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(PointVertex, x)));
        glTexCoordPointer(4, GL_FLOAT, stride, reinterpret_cast<const void*>(offsetof(PointVertex, left)));
        glColorPointer(4, GL_UNSIGNED_BYTE, stride,
                       reinterpret_cast<const void*>(offsetof(PointVertex, colour)));
        glVertexAttribPointer(kKeepAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offsetof(PointVertex, keep)));
        glEnableVertexAttribArray(kKeepAttribute);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnable(GL_POINT_SPRITE);
        glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
        glUseProgram(r.pointPrograms[r.pointsCut ? 1 : 0][textureOnly ? 1 : 0]);
    } else {
        glUseProgram(0);
        glDisableVertexAttribArray(kKeepAttribute);
        glDisable(GL_VERTEX_PROGRAM_POINT_SIZE);
        glDisable(GL_POINT_SPRITE);
        SetTriangleArrays(r);
    }
}

}  // namespace plat::gl
