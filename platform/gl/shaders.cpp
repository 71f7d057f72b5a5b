// The renderer's shader programs: one source for quads drawn as triangles and for square sprites
// drawn as points, each tinted or from the texture alone, compiled for OpenGL 3.3 core on the
// desktop and for OpenGL ES 3.0 (WebGL 2) in the browser; only the first lines differ.
#include <string>

#include "platform/gl/gl_state.h"

namespace plat::gl {

namespace {

#if defined(RENDERER_GL_ES)
// ES fragment shaders have no default float precision; texture coordinates of a 2048-pixel
// page need more than mediump's 10 bits.
constexpr const char* kPreamble = "#version 300 es\nprecision highp float;\n";
#else
constexpr const char* kPreamble = "#version 330 core\n";
#endif

// Positions are pixels with the origin at the top-left corner: `scale` (2 / width, -2 / height)
// and the offset (-1, 1) take them to clip coordinates, as an orthographic projection of the
// surface would. POINTS: a vertex is a point (centre x, y and side), its texture mapping (the
// texture coordinates at the point's top-left corner and their change over its side), and the
// part of the point the sprite covers (left, top, right, bottom in point coordinates 0..1).
// TINTED: each vertex has a colour that multiplies the texel.
constexpr const char* kVertexSource = R"(
uniform vec2 scale;
#ifdef POINTS
layout(location = 0) in vec3 point;
layout(location = 1) in vec4 mapping;
layout(location = 3) in vec4 keep;
out vec4 cell;
out vec4 kept;
#else
layout(location = 0) in vec2 corner;
layout(location = 1) in vec2 texel;
out vec2 at;
#endif
#ifdef TINTED
layout(location = 2) in vec4 tint;
out vec4 colour;
#endif
void main() {
#ifdef POINTS
    gl_Position = vec4(point.xy * scale + vec2(-1.0, 1.0), 0.0, 1.0);
    gl_PointSize = point.z;
    cell = mapping;
    kept = keep;
#else
    gl_Position = vec4(corner * scale + vec2(-1.0, 1.0), 0.0, 1.0);
    at = texel;
#endif
#ifdef TINTED
    colour = tint;
#endif
}
)";

// CUT (points only): the pixels outside the kept part are discarded. That test costs llvmpipe
// about 6 % of a sprite's fill, so batches without any cut sprite go without it.
constexpr const char* kFragmentSource = R"(
uniform sampler2D tile;
#ifdef POINTS
in vec4 cell;
in vec4 kept;
#else
in vec2 at;
#endif
#ifdef TINTED
in vec4 colour;
#endif
out vec4 fragment;
void main() {
#ifdef POINTS
    vec2 at = gl_PointCoord;
#ifdef CUT
    if (at.x < kept.x || at.y < kept.y || at.x >= kept.z || at.y >= kept.w) discard;
#endif
    vec4 texel = texture(tile, cell.xy + at * cell.zw);
#else
    vec4 texel = texture(tile, at);
#endif
#ifdef TINTED
    fragment = texel * colour;
#else
    fragment = texel;
#endif
}
)";

GLuint CompileShader(GLenum kind, const std::string& defines, const char* body) {
    const GLuint shader = glCreateShader(kind);
    if (shader == 0) return 0;
    const char* parts[3] = {kPreamble, defines.c_str(), body};
    glShaderSource(shader, 3, parts, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// A program of the shared source with the given variant; 0 when it does not compile or link.
GLuint MakeProgram(bool points, bool tinted, bool cut) {
    std::string defines;
    if (points) defines += "#define POINTS 1\n";
    if (tinted) defines += "#define TINTED 1\n";
    if (cut) defines += "#define CUT 1\n";
    const GLuint vertexShader = CompileShader(GL_VERTEX_SHADER, defines, kVertexSource);
    const GLuint fragmentShader = CompileShader(GL_FRAGMENT_SHADER, defines, kFragmentSource);
    GLuint program = 0;
    if (vertexShader != 0 && fragmentShader != 0) program = glCreateProgram();
    if (program != 0) {
        glAttachShader(program, vertexShader);
        glAttachShader(program, fragmentShader);
        glLinkProgram(program);
        GLint ok = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        if (ok != GL_TRUE) {
            glDeleteProgram(program);
            program = 0;
        }
    }
    if (vertexShader != 0) glDeleteShader(vertexShader);
    if (fragmentShader != 0) glDeleteShader(fragmentShader);
    if (program == 0) return 0;
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "tile"), 0);
    glUseProgram(0);
    return program;
}

void DeleteProgram(GLuint& program) {
    if (program != 0) glDeleteProgram(program);
    program = 0;
}

}  // namespace

bool MakeTrianglePrograms(Renderer& r) {
    for (int textureOnly = 0; textureOnly < 2; ++textureOnly) {
        r.trianglePrograms[textureOnly] = MakeProgram(false, textureOnly == 0, false);
        if (r.trianglePrograms[textureOnly] == 0) return false;
    }
    r.programsWidth = r.programsHeight = 0;
    return true;
}

bool MakePointPrograms(Renderer& r) {
    for (int cut = 0; cut < 2; ++cut) {
        for (int textureOnly = 0; textureOnly < 2; ++textureOnly) {
            GLuint& program = r.pointPrograms[cut][textureOnly];
            program = MakeProgram(true, textureOnly == 0, cut != 0);
            if (program != 0) continue;
            for (auto& pair : r.pointPrograms) {
                for (GLuint& made : pair) DeleteProgram(made);
            }
            return false;
        }
    }
    r.programsWidth = r.programsHeight = 0;
    return true;
}

void DeletePrograms(Renderer& r) {
    for (GLuint& program : r.trianglePrograms) DeleteProgram(program);
    for (auto& pair : r.pointPrograms) {
        for (GLuint& program : pair) DeleteProgram(program);
    }
    r.boundProgram = 0;
}

void ScalePrograms(Renderer& r) {
    if (r.programsWidth == r.width && r.programsHeight == r.height) return;
    r.programsWidth = r.width;
    r.programsHeight = r.height;
    const GLuint programs[] = {r.trianglePrograms[0], r.trianglePrograms[1], r.pointPrograms[0][0],
                               r.pointPrograms[0][1], r.pointPrograms[1][0], r.pointPrograms[1][1]};
    for (const GLuint program : programs) {
        if (program == 0) continue;
        glUseProgram(program);
        glUniform2f(glGetUniformLocation(program, "scale"), 2.0f / static_cast<float>(r.width),
                    -2.0f / static_cast<float>(r.height));
    }
    r.boundProgram = 0;
}

void UseProgram(Renderer& r, GLuint program, GLuint arrays) {
    if (r.boundProgram != program) {
        glUseProgram(program);
        r.boundProgram = program;
    }
    if (r.boundArrays != arrays) {
        glBindVertexArray(arrays);
        r.boundArrays = arrays;
    }
}

}  // namespace plat::gl
