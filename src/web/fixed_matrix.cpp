// OpenGL 1.1 and GLU matrix calls on WebGL 2: the modelview and projection stacks that the shader
// reads at each draw, and the maths of the rotations, projections and the look-at. Web back end
// only.
#include <cmath>
#include <cstring>

#include <GL/glu.h>

#include "web/fixed_state.h"

//----------------------------------------------------------------------------------
// Matrices
//----------------------------------------------------------------------------------
Matrix4 identityMatrix() {
    Matrix4 m{};
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0f;
    return m;
}

Matrix4 multiplyMatrix(const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int c = 0; c < 4; c++) {
        for (int row = 0; row < 4; row++) {
            double sum = 0;
            for (int k = 0; k < 4; k++) {
                sum += double(a.m[4 * k + row]) * double(b.m[4 * c + k]);
            }
            r.m[4 * c + row] = float(sum);
        }
    }
    return r;
}

void transformPoint(const Matrix4& m, const float in[3], float out[3]) {
    for (int row = 0; row < 3; row++) {
        out[row] = m.m[row] * in[0] + m.m[4 + row] * in[1] + m.m[8 + row] * in[2] + m.m[12 + row];
    }
}

// By the inverse transpose of the upper 3 x 3, as OpenGL transforms normals (not normalised).
void transformNormal(const Matrix4& m, const float in[3], float out[3]) {
    const float* a = m.m; // a[4 * column + row]
    const float c00 = a[5] * a[10] - a[9] * a[6], c01 = a[9] * a[2] - a[1] * a[10];
    const float c02 = a[1] * a[6] - a[5] * a[2];
    const float det = a[0] * c00 + a[4] * c01 + a[8] * c02;
    if (det == 0.0f) {
        memcpy(out, in, 3 * sizeof(float));
        return;
    }
    // Rows of the inverse are the cofactor columns; the transpose turns them back to columns.
    const float inv[3][3] = {
        {c00, c01, c02},
        {a[8] * a[6] - a[4] * a[10], a[0] * a[10] - a[8] * a[2], a[4] * a[2] - a[0] * a[6]},
        {a[4] * a[9] - a[8] * a[5], a[8] * a[1] - a[0] * a[9], a[0] * a[5] - a[4] * a[1]}};
    for (int row = 0; row < 3; row++) {
        out[row] = (inv[row][0] * in[0] + inv[row][1] * in[1] + inv[row][2] * in[2]) / det;
    }
}

Matrix4& currentMatrix() {
    return fixedState.matrixMode == GL_PROJECTION ? fixedState.projection.back()
                                                  : fixedState.modelview.back();
}

// Multiplies the current matrix by m on the right; a projection change ends the batch.
static void multiplyCurrent(const Matrix4& m) {
    if (recordMatrix(m)) {
        return;
    }
    if (fixedState.matrixMode == GL_PROJECTION) {
        flushBatch();
    }
    currentMatrix() = multiplyMatrix(currentMatrix(), m);
}

extern "C" {
void glMatrixMode(GLenum mode) {
    fixedState.matrixMode = mode;
}

void glLoadIdentity() {
    if (fixedState.matrixMode == GL_PROJECTION) {
        flushBatch();
    }
    currentMatrix() = identityMatrix();
}

void glPushMatrix() {
    std::vector<Matrix4>& stack =
        fixedState.matrixMode == GL_PROJECTION ? fixedState.projection : fixedState.modelview;
    if (stack.size() < FIXED_STACK_DEPTH) {
        stack.push_back(stack.back());
    }
}

void glPopMatrix() {
    std::vector<Matrix4>& stack =
        fixedState.matrixMode == GL_PROJECTION ? fixedState.projection : fixedState.modelview;
    if (stack.size() > 1) {
        if (fixedState.matrixMode == GL_PROJECTION) {
            flushBatch();
        }
        stack.pop_back();
    }
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    Matrix4 m = identityMatrix();
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    multiplyCurrent(m);
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    glTranslatef(float(x), float(y), float(z));
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
    if (length == 0.0) {
        return;
    }
    const double ux = x / length, uy = y / length, uz = z / length;
    const double r = angle * M_PI / 180.0, c = std::cos(r), s = std::sin(r), t = 1.0 - c;
    Matrix4 m = identityMatrix();
    m.m[0] = float(t * ux * ux + c);
    m.m[1] = float(t * ux * uy + s * uz);
    m.m[2] = float(t * ux * uz - s * uy);
    m.m[4] = float(t * ux * uy - s * uz);
    m.m[5] = float(t * uy * uy + c);
    m.m[6] = float(t * uy * uz + s * ux);
    m.m[8] = float(t * ux * uz + s * uy);
    m.m[9] = float(t * uy * uz - s * ux);
    m.m[10] = float(t * uz * uz + c);
    multiplyCurrent(m);
}

void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Matrix4 m = identityMatrix();
    m.m[0] = float(2.0 / (r - l));
    m.m[5] = float(2.0 / (t - b));
    m.m[10] = float(-2.0 / (f - n));
    m.m[12] = float(-(r + l) / (r - l));
    m.m[13] = float(-(t + b) / (t - b));
    m.m[14] = float(-(f + n) / (f - n));
    multiplyCurrent(m);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double f = 1.0 / std::tan(fovy * M_PI / 360.0);
    Matrix4 m{};
    m.m[0] = float(f / aspect);
    m.m[5] = float(f);
    m.m[10] = float((zFar + zNear) / (zNear - zFar));
    m.m[11] = -1.0f;
    m.m[14] = float(2.0 * zFar * zNear / (zNear - zFar));
    multiplyCurrent(m);
}

void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz) {
    double f[3] = {cx - ex, cy - ey, cz - ez};
    double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (fl != 0.0) {
        f[0] /= fl, f[1] /= fl, f[2] /= fl;
    }
    double s[3] = {f[1] * uz - f[2] * uy, f[2] * ux - f[0] * uz, f[0] * uy - f[1] * ux};
    double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (sl != 0.0) {
        s[0] /= sl, s[1] /= sl, s[2] /= sl;
    }
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2],
                         s[0] * f[1] - s[1] * f[0]};
    Matrix4 m = identityMatrix();
    for (int i = 0; i < 3; i++) {
        m.m[4 * i + 0] = float(s[i]);
        m.m[4 * i + 1] = float(u[i]);
        m.m[4 * i + 2] = float(-f[i]);
    }
    multiplyCurrent(m);
    glTranslatef(float(-ex), float(-ey), float(-ez));
}

void glGetFloatv(GLenum name, GLfloat* value) {
    if (name == GL_MODELVIEW_MATRIX) {
        memcpy(value, fixedState.modelview.back().m, 16 * sizeof(float));
    } else if (name == GL_PROJECTION_MATRIX) {
        memcpy(value, fixedState.projection.back().m, 16 * sizeof(float));
    }
}
}
