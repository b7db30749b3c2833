// OpenGL calls that WebGL 2 has as they are, passed through once the batch drawn before them is
// out; and the few it has not (glReadBuffer on the default framebuffer). Web back end only.
#include "web/fixed_state.h"
#include "web/webgl.h"

extern "C" {
void glClear(GLbitfield mask) {
    flushBatch();
    emscripten_glClear(mask);
}

void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    emscripten_glClearColor(r, g, b, a);
}

void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    flushBatch();
    emscripten_glViewport(x, y, w, h);
}

void glBindTexture(GLenum target, GLuint texture) {
    if (texture != fixedState.texture) {
        flushBatch();
    }
    fixedState.texture = texture;
    emscripten_glBindTexture(target, texture);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    flushBatch();
    emscripten_glTexParameteri(target, name, value);
}

void glBlendFunc(GLenum s, GLenum d) {
    flushBatch();
    emscripten_glBlendFunc(s, d);
}

void glDepthMask(GLboolean flag) {
    flushBatch();
    emscripten_glDepthMask(flag);
}

void glCullFace(GLenum mode) {
    flushBatch();
    emscripten_glCullFace(mode);
}

void glFrontFace(GLenum mode) {
    flushBatch();
    emscripten_glFrontFace(mode);
}

void glFlush() {
    flushBatch();
    emscripten_glFlush();
}

void glFinish() {
    flushBatch();
    emscripten_glFinish();
}

void glPixelStorei(GLenum name, GLint value) {
    emscripten_glPixelStorei(name, value);
}

void glReadBuffer(GLenum mode) {
    (void)mode; // WebGL reads the drawing buffer
}

void glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                  GLvoid* pixels) {
    flushBatch();
    emscripten_glReadPixels(x, y, w, h, format, type, pixels);
}

void glGetIntegerv(GLenum name, GLint* value) {
    emscripten_glGetIntegerv(name, value);
}

GLenum glGetError() {
    return emscripten_glGetError();
}
}
