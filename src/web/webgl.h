// The browser's WebGL 2 calls under their emscripten_ names, so that this folder can define the
// OpenGL 1.1 entry points (glBegin, glEnable ...) that render/ calls and still reach WebGL.
// Web back end only.
#pragma once

#include <GL/gl.h>

extern "C" {
void emscripten_glEnable(GLenum cap);
void emscripten_glDisable(GLenum cap);
void emscripten_glBlendFunc(GLenum s, GLenum d);
void emscripten_glDepthMask(GLboolean flag);
void emscripten_glCullFace(GLenum mode);
void emscripten_glFrontFace(GLenum mode);
void emscripten_glClear(GLbitfield mask);
void emscripten_glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void emscripten_glViewport(GLint x, GLint y, GLsizei w, GLsizei h);
void emscripten_glBindTexture(GLenum target, GLuint texture);
void emscripten_glGenTextures(GLsizei n, GLuint* textures);
void emscripten_glTexParameteri(GLenum target, GLenum name, GLint value);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h,
                             GLint border, GLenum format, GLenum type, const void* pixels);
void emscripten_glGenerateMipmap(GLenum target);
void emscripten_glPixelStorei(GLenum name, GLint value);
void emscripten_glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                             void* pixels);
GLenum emscripten_glGetError();
void emscripten_glGetIntegerv(GLenum name, GLint* value);
void emscripten_glFinish();
void emscripten_glFlush();
GLuint emscripten_glCreateShader(GLenum type);
void emscripten_glShaderSource(GLuint shader, GLsizei count, const char* const* text,
                               const GLint* length);
void emscripten_glCompileShader(GLuint shader);
void emscripten_glGetShaderInfoLog(GLuint shader, GLsizei size, GLsizei* length, char* log);
GLuint emscripten_glCreateProgram();
void emscripten_glAttachShader(GLuint program, GLuint shader);
void emscripten_glBindAttribLocation(GLuint program, GLuint index, const char* name);
void emscripten_glLinkProgram(GLuint program);
void emscripten_glUseProgram(GLuint program);
GLint emscripten_glGetUniformLocation(GLuint program, const char* name);
void emscripten_glUniform1i(GLint location, GLint v);
void emscripten_glUniform1f(GLint location, GLfloat v);
void emscripten_glUniform4fv(GLint location, GLsizei count, const GLfloat* v);
void emscripten_glUniform3fv(GLint location, GLsizei count, const GLfloat* v);
void emscripten_glUniform1iv(GLint location, GLsizei count, const GLint* v);
void emscripten_glUniform1fv(GLint location, GLsizei count, const GLfloat* v);
void emscripten_glUniformMatrix4fv(GLint location, GLsizei count, GLboolean transpose,
                                   const GLfloat* v);
void emscripten_glUniformMatrix3fv(GLint location, GLsizei count, GLboolean transpose,
                                   const GLfloat* v);
void emscripten_glGenBuffers(GLsizei n, GLuint* buffers);
void emscripten_glDeleteBuffers(GLsizei n, const GLuint* buffers);
void emscripten_glBindBuffer(GLenum target, GLuint buffer);
void emscripten_glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
void emscripten_glGenVertexArrays(GLsizei n, GLuint* arrays);
void emscripten_glBindVertexArray(GLuint array);
void emscripten_glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized,
                                      GLsizei stride, const void* offset);
void emscripten_glEnableVertexAttribArray(GLuint index);
void emscripten_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void emscripten_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* offset);
}
