// The GL and window-library calls of view/, as C functions of GL's names, each handed on to
// the software GL of the browser build.
#include "platform/web/soft_gl.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

namespace sg = robosim::softgl;

// the fonts' handles: only their addresses matter
void* glutBitmapHelvetica10 = nullptr;
void* glutBitmapHelvetica12 = nullptr;
void* glutBitmapHelvetica18 = nullptr;
void* glutBitmapTimesRoman10 = nullptr;

// the font of a handle; Helvetica 12 for one that names none
static sg::BitmapFont font_of(const void* font) {
    if (font == GLUT_BITMAP_HELVETICA_10) {
        return sg::BitmapFont::helvetica_10;
    }
    if (font == GLUT_BITMAP_HELVETICA_18) {
        return sg::BitmapFont::helvetica_18;
    }
    if (font == GLUT_BITMAP_TIMES_ROMAN_10) {
        return sg::BitmapFont::times_roman_10;
    }
    return sg::BitmapFont::helvetica_12;
}

extern "C" {

void glBegin(GLenum mode) {
    sg::begin(mode);
}

void glEnd(void) {
    sg::end();
}

void glVertex2d(GLdouble x, GLdouble y) {
    sg::vertex(x, y, 0.0);
}

void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    sg::vertex(x, y, z);
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    sg::colour(red, green, blue, alpha);
}

void glLineWidth(GLfloat width) {
    sg::line_width(width);
}

void glMatrixMode(GLenum mode) {
    sg::matrix_mode(mode);
}

void glLoadIdentity(void) {
    sg::load_identity();
}

void glPushMatrix(void) {
    sg::push_matrix();
}

void glPopMatrix(void) {
    sg::pop_matrix();
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    sg::translate(x, y, z);
}

void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
    sg::rotate(angle, x, y, z);
}

void glEnable(GLenum cap) {
    sg::enable(cap, true);
}

void glDisable(GLenum cap) {
    sg::enable(cap, false);
}

void glDepthFunc(GLenum func) {
    sg::depth_func(func);
}

void glPushAttrib(GLbitfield mask) {
    sg::push_attrib(mask);
}

void glPopAttrib(void) {
    sg::pop_attrib();
}

void glClear(GLbitfield mask) {
    sg::clear(mask);
}

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    sg::clear_colour(red, green, blue, alpha);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    sg::viewport(x, y, width, height);
}

void glGetIntegerv(GLenum pname, GLint* params) {
    sg::get_integer(pname, params);
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    sg::scissor(x, y, width, height);
}

void glRasterPos2f(GLfloat x, GLfloat y) {
    sg::raster_pos(x, y);
}

void glEnableClientState(GLenum array) {
    if (array == GL_VERTEX_ARRAY) {
        sg::vertex_array(true);
    }
}

void glDisableClientState(GLenum array) {
    if (array == GL_VERTEX_ARRAY) {
        sg::vertex_array(false);
    }
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    sg::vertex_pointer(size, type, stride, pointer);
}

void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
    sg::draw_elements(mode, count, type, indices);
}

void glFlush(void) {
    // every call has drawn already
}

void glutBitmapCharacter(void* font, int character) {
    sg::bitmap_character(font_of(font), character);
}

int glutBitmapLength(void* font, const unsigned char* string) {
    return sg::bitmap_length(font_of(font), string);
}

}  // extern "C"
