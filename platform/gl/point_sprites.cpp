// Square sprites drawn as GL point sprites: one vertex per sprite instead of four, one
// rasterised square instead of two triangles. With llvmpipe this takes three quarters of the
// vertex work and half the triangle setup and binning away, and the blocks along a quad's
// diagonal are no longer shaded twice.
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/gl/gl_state.h"

namespace plat::gl {

namespace {

// The sprite's centre and side come in as gl_Vertex (x, y, side); its texture cell as
// gl_MultiTexCoord0 (left, top, width, height), so a sprite from an atlas page samples its own
// cell. The colour stays the same over the sprite.
constexpr const char* kVertexShader = R"(#version 120
varying vec4 cell;
void main() {
    gl_Position = gl_ModelViewProjectionMatrix * vec4(gl_Vertex.xy, 0.0, 1.0);
    gl_PointSize = gl_Vertex.z;
    cell = gl_MultiTexCoord0;
    gl_FrontColor = gl_Color;
}
)";

constexpr const char* kModulateShader = R"(#version 120
uniform sampler2D tile;
varying vec4 cell;
void main() {
    gl_FragColor = texture2D(tile, cell.xy + gl_PointCoord * cell.zw) * gl_Color;
}
)";

constexpr const char* kTextureOnlyShader = R"(#version 120
uniform sampler2D tile;
varying vec4 cell;
void main() {
    gl_FragColor = texture2D(tile, cell.xy + gl_PointCoord * cell.zw);
}
)";

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

GLuint LinkProgram(GLuint vertexShader, const char* fragmentSource) {
    const GLuint fragmentShader = CompileShader(GL_FRAGMENT_SHADER, fragmentSource);
    if (fragmentShader == 0) return 0;
    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
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
    if (epoxy_gl_version() < 21) return false;
    GLfloat range[2] = {0.0f, 0.0f};
    glGetFloatv(GL_ALIASED_POINT_SIZE_RANGE, range);
    r.largestPoint = std::floor(range[1]);
    const GLuint vertexShader = CompileShader(GL_VERTEX_SHADER, kVertexShader);
    if (vertexShader == 0) return false;
    r.pointModulate = LinkProgram(vertexShader, kModulateShader);
    r.pointTextureOnly = LinkProgram(vertexShader, kTextureOnlyShader);
    glDeleteShader(vertexShader);
    glGenBuffers(1, &r.pointBuffer);
    if (r.pointModulate == 0 || r.pointTextureOnly == 0 || r.pointBuffer == 0 || r.largestPoint < 2) {
        DeletePointSprites(r);
        return false;
    }
    glBindBuffer(GL_ARRAY_BUFFER, r.pointBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(kMaxBatchQuads) * sizeof(PointVertex),
                 nullptr, GL_STREAM_DRAW);
    return true;
}

void DeletePointSprites(Renderer& r) {
    if (r.pointModulate != 0) glDeleteProgram(r.pointModulate);
    if (r.pointTextureOnly != 0) glDeleteProgram(r.pointTextureOnly);
    if (r.pointBuffer != 0) glDeleteBuffers(1, &r.pointBuffer);
    r.pointModulate = r.pointTextureOnly = r.pointBuffer = 0;
    r.largestPoint = 0;
}

bool QuadIsPointSprite(const Renderer& r, const float xy[8], const float uv[8]) {
    const float left = xy[0], top = xy[1], right = xy[4], bottom = xy[5];
    const float side = right - left;
    // A point is clipped by its centre, so only sprites wholly inside the surface qualify.
    return r.pointModulate != 0 && r.nearest && xy[2] == right && xy[3] == top && xy[6] == left &&
           xy[7] == bottom && bottom - top == side && side > 0 && side <= r.largestPoint &&
           left >= 0 && top >= 0 && right <= static_cast<float>(r.width) &&
           bottom <= static_cast<float>(r.height) && left == std::floor(left) &&
           top == std::floor(top) && uv[2] == uv[4] && uv[6] == uv[0] && uv[3] == uv[1] &&
           uv[7] == uv[5];
}

void FillPointSprites(Renderer& r) {
    r.points.resize(r.colours.size());
    for (const Run& run : r.runs) {
        if (!run.asPoints) continue;
        for (int q = run.firstQuad; q < run.firstQuad + run.quads; ++q) {
            const Vertex* v = &r.vertices[static_cast<size_t>(q) * 4];
            const float half = (v[2].x - v[0].x) * 0.5f;
            r.points[q] = PointVertex{v[0].x + half, v[0].y + half, half * 2, v[0].u, v[0].v,
                                      v[2].u - v[0].u, v[2].v - v[0].v, r.colours[q]};
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
        glEnableClientState(GL_COLOR_ARRAY);
        glEnable(GL_POINT_SPRITE);
        glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
        glUseProgram(textureOnly ? r.pointTextureOnly : r.pointModulate);
    } else {
        glUseProgram(0);
        glDisable(GL_VERTEX_PROGRAM_POINT_SIZE);
        glDisable(GL_POINT_SPRITE);
        SetTriangleArrays(r);
    }
}

}  // namespace plat::gl
