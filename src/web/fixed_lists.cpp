// Immediate mode and display lists on WebGL 2: glBegin/glEnd primitives become triangles; outside
// a list they join the eye-coordinate batch, inside one they are kept in object coordinates. A
// list's large draws become a vertex buffer built once (the meshes), its small ones are replayed
// into the batch (the font's glyphs), so a line of text is one draw. Web back end only.
#include <map>
#include <vector>

#include "web/fixed_state.h"
#include "web/webgl.h"

//----------------------------------------------------------------------------------
// Types and local state
//----------------------------------------------------------------------------------
#define LIST_BATCHED_VERTICES 64 // a list draw this small is replayed into the batch

enum ListOpKind { OP_DRAW, OP_MATRIX, OP_NORMAL, OP_UV, OP_COLOR };

struct ListOp {
    ListOpKind kind;
    int first = 0, count = 0; // OP_DRAW: vertices of the list's array
    Matrix4 matrix;           // OP_MATRIX: multiplied onto the modelview
    float value[4] = {0, 0, 0, 0};
};

struct DisplayList {
    std::vector<ListOp> ops;
    std::vector<float> vertices;     // object coordinates, FIXED_VERTEX_FLOATS each
    std::vector<ListBuffer> buffers; // one per large OP_DRAW, in order
};

struct ImmediateState {
    GLenum mode = 0;              // primitive between glBegin and glEnd
    std::vector<float> primitive; // its vertices, object coordinates
    std::map<GLuint, DisplayList> lists;
    GLuint nextList = 1;
    GLuint compiling = 0; // list being recorded, 0 none
    GLuint listBase = 0;
};
static ImmediateState immediate; // written by this file only

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// Appends vertex v of the primitive to `out`.
static void copyVertex(std::vector<float>& out, int v) {
    const float* p = &immediate.primitive[FIXED_VERTEX_FLOATS * v];
    out.insert(out.end(), p, p + FIXED_VERTEX_FLOATS);
}

// The primitive's vertices as a triangle list, each triangle ending with the vertex OpenGL takes
// for its flat colour.
static std::vector<float> primitiveTriangles() {
    const int n = int(immediate.primitive.size() / FIXED_VERTEX_FLOATS);
    std::vector<float> out;
    auto triangle = [&out](int a, int b, int c) {
        copyVertex(out, a);
        copyVertex(out, b);
        copyVertex(out, c);
    };
    switch (immediate.mode) {
    case GL_TRIANGLES:
        for (int i = 0; i + 2 < n; i += 3) {
            triangle(i, i + 1, i + 2);
        }
        break;
    case GL_TRIANGLE_STRIP:
        for (int i = 0; i + 2 < n; i++) {
            i % 2 == 0 ? triangle(i, i + 1, i + 2) : triangle(i + 1, i, i + 2);
        }
        break;
    case GL_QUADS:
        for (int i = 0; i + 3 < n; i += 4) {
            triangle(i, i + 1, i + 3);
            triangle(i + 1, i + 2, i + 3);
        }
        break;
    case GL_QUAD_STRIP:
        for (int i = 0; i + 3 < n; i += 2) {
            triangle(i, i + 1, i + 3);
            triangle(i, i + 3, i + 2);
        }
        break;
    case GL_TRIANGLE_FAN:
        for (int i = 1; i + 1 < n; i++) {
            triangle(0, i, i + 1);
        }
        break;
    case GL_POLYGON:
        for (int i = 1; i + 1 < n; i++) {
            triangle(i, i + 1, 0);
        }
        break;
    default:
        break;
    }
    return out;
}

// Object-coordinate vertices into the batch with the current modelview; `color` stands in for
// the vertices' own when given.
static void batchVertices(const float* vertices, int count, const float* color) {
    const Matrix4& m = fixedState.modelview.back();
    for (int v = 0; v < count; v++) {
        const float* p = vertices + FIXED_VERTEX_FLOATS * v;
        float eye[3], normal[3];
        transformPoint(m, p, eye);
        transformNormal(m, p + 3, normal);
        addEyeVertex(eye, normal, p + 6, color != nullptr ? color : p + 8);
    }
}

static ListOp makeOp(ListOpKind kind) {
    ListOp op{};
    op.kind = kind;
    return op;
}

static void recordOp(const ListOp& op) {
    immediate.lists[immediate.compiling].ops.push_back(op);
}

bool recordMatrix(const Matrix4& m) {
    if (immediate.compiling == 0) {
        return false;
    }
    ListOp op = makeOp(OP_MATRIX);
    op.matrix = m;
    recordOp(op);
    return true;
}

extern "C" {
void glBegin(GLenum mode) {
    immediate.mode = mode;
    immediate.primitive.clear();
}

void glEnd() {
    std::vector<float> triangles = primitiveTriangles();
    const int count = int(triangles.size() / FIXED_VERTEX_FLOATS);
    if (immediate.compiling == 0) {
        batchVertices(triangles.data(), count, nullptr);
        return;
    }
    DisplayList& list = immediate.lists[immediate.compiling];
    ListOp op = makeOp(OP_DRAW);
    op.first = int(list.vertices.size() / FIXED_VERTEX_FLOATS);
    op.count = count;
    list.vertices.insert(list.vertices.end(), triangles.begin(), triangles.end());
    list.ops.push_back(op);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    const FixedState& s = fixedState;
    const float v[FIXED_VERTEX_FLOATS] = {x,           y,           z,          s.normal[0],
                                          s.normal[1], s.normal[2], s.uv[0],    s.uv[1],
                                          s.color[0],  s.color[1],  s.color[2], s.color[3]};
    immediate.primitive.insert(immediate.primitive.end(), v, v + FIXED_VERTEX_FLOATS);
}

void glVertex2f(GLfloat x, GLfloat y) {
    glVertex3f(x, y, 0.0f);
}

void glVertex2i(GLint x, GLint y) {
    glVertex3f(float(x), float(y), 0.0f);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    fixedState.normal[0] = x, fixedState.normal[1] = y, fixedState.normal[2] = z;
    if (immediate.compiling != 0 && immediate.mode == 0) {
        ListOp op = makeOp(OP_NORMAL);
        op.value[0] = x, op.value[1] = y, op.value[2] = z;
        recordOp(op);
    }
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    fixedState.uv[0] = s, fixedState.uv[1] = t;
    if (immediate.compiling != 0 && immediate.mode == 0) {
        ListOp op = makeOp(OP_UV);
        op.value[0] = s, op.value[1] = t;
        recordOp(op);
    }
}

void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    float* c = fixedState.color;
    c[0] = r, c[1] = g, c[2] = b, c[3] = a;
    if (immediate.compiling != 0 && immediate.mode == 0) {
        ListOp op = makeOp(OP_COLOR);
        op.value[0] = r, op.value[1] = g, op.value[2] = b, op.value[3] = a;
        recordOp(op);
    }
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    glColor4f(r, g, b, 1.0f);
}

GLuint glGenLists(GLsizei range) {
    const GLuint first = immediate.nextList;
    immediate.nextList += GLuint(range);
    return first;
}

void glNewList(GLuint list, GLenum mode) {
    (void)mode;
    immediate.lists[list] = DisplayList{};
    immediate.compiling = list;
    immediate.mode = 0;
}

void glEndList() {
    immediate.compiling = 0;
    immediate.mode = 0;
}

void glDeleteLists(GLuint list, GLsizei range) {
    for (GLuint i = list; i < list + GLuint(range); i++) {
        auto found = immediate.lists.find(i);
        if (found == immediate.lists.end()) {
            continue;
        }
        for (ListBuffer& buffer : found->second.buffers) {
            emscripten_glDeleteBuffers(1, &buffer.buffer);
        }
        immediate.lists.erase(found);
    }
}

void glCallList(GLuint name) {
    auto found = immediate.lists.find(name);
    if (found == immediate.lists.end()) {
        return;
    }
    DisplayList& list = found->second;
    size_t buffer = 0;
    for (const ListOp& op : list.ops) {
        FixedState& s = fixedState;
        switch (op.kind) {
        case OP_DRAW: {
            const float* first = &list.vertices[FIXED_VERTEX_FLOATS * op.first];
            if (op.count <= LIST_BATCHED_VERTICES) {
                batchVertices(first, op.count, s.color);
            } else {
                if (buffer == list.buffers.size()) {
                    list.buffers.emplace_back();
                }
                drawListBuffer(list.buffers[buffer++], first, op.count);
            }
            if (op.count > 0) { // the last vertex's attributes stay current, as in OpenGL
                const float* last = first + FIXED_VERTEX_FLOATS * (op.count - 1);
                s.normal[0] = last[3], s.normal[1] = last[4], s.normal[2] = last[5];
                s.uv[0] = last[6], s.uv[1] = last[7];
            }
            break;
        }
        case OP_MATRIX:
            currentMatrix() = multiplyMatrix(currentMatrix(), op.matrix);
            break;
        case OP_NORMAL:
            s.normal[0] = op.value[0], s.normal[1] = op.value[1], s.normal[2] = op.value[2];
            break;
        case OP_UV:
            s.uv[0] = op.value[0], s.uv[1] = op.value[1];
            break;
        case OP_COLOR:
            for (int k = 0; k < 4; k++) {
                s.color[k] = op.value[k];
            }
            break;
        }
    }
}

void glListBase(GLuint base) {
    immediate.listBase = base;
}

void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    if (type != GL_UNSIGNED_BYTE) {
        return;
    }
    const unsigned char* names = static_cast<const unsigned char*>(lists);
    for (GLsizei i = 0; i < n; i++) {
        glCallList(immediate.listBase + names[i]);
    }
}
}
