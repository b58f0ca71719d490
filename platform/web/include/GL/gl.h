// platform/web/include/GL/gl.h: the part of GL 1.1 the window's drawing code uses, for the
// browser build, where platform/web/soft_gl.cpp draws it. Only what view/ calls is declared,
// so that a drawing call the rasteriser does not know fails the build rather than the page.
// The values are GL's own.
#pragma once

typedef unsigned int GLenum;
typedef unsigned int GLbitfield;
typedef unsigned int GLuint;
typedef int GLint;
typedef int GLsizei;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef void GLvoid;

// primitives
#define GL_LINES      0x0001
#define GL_LINE_LOOP  0x0002
#define GL_LINE_STRIP 0x0003
#define GL_TRIANGLES  0x0004
#define GL_POLYGON    0x0009

// capabilities
#define GL_LIGHTING     0x0B50
#define GL_DEPTH_TEST   0x0B71
#define GL_SCISSOR_TEST 0x0C11
#define GL_VERTEX_ARRAY 0x8074

// buffers and attribute groups
#define GL_CURRENT_BIT      0x00000001
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_ENABLE_BIT       0x00002000
#define GL_COLOR_BUFFER_BIT 0x00004000

// depth function, matrix stacks, queries, array types
#define GL_LESS         0x0201
#define GL_VIEWPORT     0x0BA2
#define GL_MODELVIEW    0x1700
#define GL_PROJECTION   0x1701
#define GL_UNSIGNED_INT 0x1405
#define GL_FLOAT        0x1406

#ifdef __cplusplus
extern "C" {
#endif

void glBegin(GLenum mode);
void glEnd(void);
void glVertex2d(GLdouble x, GLdouble y);
void glVertex3d(GLdouble x, GLdouble y, GLdouble z);
void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void glLineWidth(GLfloat width);

void glMatrixMode(GLenum mode);
void glLoadIdentity(void);
void glPushMatrix(void);
void glPopMatrix(void);
void glTranslated(GLdouble x, GLdouble y, GLdouble z);
void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z);

void glEnable(GLenum cap);
void glDisable(GLenum cap);
void glDepthFunc(GLenum func);
void glPushAttrib(GLbitfield mask);
void glPopAttrib(void);

void glClear(GLbitfield mask);
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void glGetIntegerv(GLenum pname, GLint* params);
void glScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void glRasterPos2f(GLfloat x, GLfloat y);

void glEnableClientState(GLenum array);
void glDisableClientState(GLenum array);
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);

void glFlush(void);

#ifdef __cplusplus
}
#endif
