// platform/web/soft_gl.h: the browser build's own GL: the part of GL 1.1 and of the window
// library's bitmap text that view/ draws with, rasterised in software into one RGBA frame
// buffer that the page shows as it is. platform/web/gl_api.cpp maps the GL calls onto it.
//
// The pictures are those of the desktop's GL driver, pixel for pixel where the rules allow:
// vertices snapped to 1/256 pixel, pixel centres sampled with the top-left rule for triangles
// and polygons, the diamond-exit rule for lines one pixel wide, parallelograms for wider ones,
// the depth test, the scissor box, and bitmaps at the raster position.
#pragma once

namespace robosim::softgl {

//------------------------------------------------------------------ frame buffer
// a frame buffer of width x height pixels (px), cleared to black, with the viewport and the
// scissor box the whole of it; the drawing state is kept
void resize(int width, int height);

// the pixels: rows top first, 4 bytes (R, G, B, A = 255) each, width() * height() of them
const unsigned char* rgba();

int width();   // (px)
int height();  // (px)

//------------------------------------------------------------------ the GL calls
// each as the GL call of the same name; enum values are GL's own
void begin(unsigned mode);
void end();
void vertex(double x, double y, double z);
void colour(float r, float g, float b, float a);
void line_width(float width);  // (px)

void matrix_mode(unsigned mode);
void load_identity();
void push_matrix();
void pop_matrix();
void translate(double x, double y, double z);
void rotate(double angle_deg, double x, double y, double z);

void enable(unsigned cap, bool on);
void depth_func(unsigned func);
void push_attrib(unsigned mask);
void pop_attrib();

void clear(unsigned mask);
void clear_colour(float r, float g, float b, float a);
void viewport(int x, int y, int width, int height);
void get_integer(unsigned name, int* values);
void scissor(int x, int y, int width, int height);
void raster_pos(float x, float y);

void vertex_array(bool on);
void vertex_pointer(int size, unsigned type, int stride, const void* pointer);
void draw_elements(unsigned mode, int count, unsigned type, const void* indices);

//------------------------------------------------------------------ bitmap text
enum class BitmapFont { helvetica_10, helvetica_12, helvetica_18, times_roman_10 };

// draws character's bitmap at the raster position and moves the position on by its advance
void bitmap_character(BitmapFont font, int character);

// the advance of the text's widest line (px)
int bitmap_length(BitmapFont font, const unsigned char* text);

}  // namespace robosim::softgl
