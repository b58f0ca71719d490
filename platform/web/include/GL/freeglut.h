// platform/web/include/GL/freeglut.h: the window library's bitmap text as the window's drawing
// code uses it, for the browser build: four fonts and two calls, drawn by
// platform/web/soft_gl.cpp from tables of the library's own glyphs.
#pragma once

#include "GL/gl.h"

#ifdef __cplusplus
extern "C" {
#endif

// the fonts are told apart by the addresses of these
extern void* glutBitmapHelvetica10;
extern void* glutBitmapHelvetica12;
extern void* glutBitmapHelvetica18;
extern void* glutBitmapTimesRoman10;

#define GLUT_BITMAP_HELVETICA_10   ((void*)&glutBitmapHelvetica10)
#define GLUT_BITMAP_HELVETICA_12   ((void*)&glutBitmapHelvetica12)
#define GLUT_BITMAP_HELVETICA_18   ((void*)&glutBitmapHelvetica18)
#define GLUT_BITMAP_TIMES_ROMAN_10 ((void*)&glutBitmapTimesRoman10)

void glutBitmapCharacter(void* font, int character);
int glutBitmapLength(void* font, const unsigned char* string);

#ifdef __cplusplus
}
#endif
