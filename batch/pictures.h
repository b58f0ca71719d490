// batch/pictures.h: the window's frames of the last run written to picture files by the batch
// tool: one frame as a PNG, the whole animation as a GIF
#pragma once

#include "view/scene.h"

#include <string>
#include <vector>

namespace robosim {

//------------------------------------------------------------------ constants
constexpr int PICTURE_SIZE =
    800;  // width and height of a picture unless asked otherwise, the window's (px)
constexpr int MIN_PICTURE_SIZE = 200;   // the smallest --size: the text still fits   (px)
constexpr int MAX_PICTURE_SIZE = 4000;  // the largest --size                          (px)

//------------------------------------------------------------------ frames
// Draws the frame of sample k (clamped to the run) with the window's view code into the open
// off-screen drawable and reads it back: rgb gets the drawable's size^2 RGB pixels, top row first.
// The scene's view state gives the scale and the error gain; its anim_index is not used.
void render_sample(const Scene& scene, int k, unsigned char* rgb);

//------------------------------------------------------------------ files
// The frame of sample k as an 8-bit RGB PNG. False, with the reason, if the file could not be
// written; no partial file is left behind.
// size: the side of the open off-screen drawable (px)
bool write_frame_png(const Scene& scene, const std::string& path, int k, std::string* error,
                     int size = PICTURE_SIZE);

// The animation from sample 0 to the last, one frame every `every` samples and the last sample
// always the final frame, each shown for the simulated time to the next frame, looping for
// ever. Every frame after the first holds only the rectangle that changed, with the exact
// colours of the picture. False, with the reason, if the file could not be written; no partial
// file is left behind.
bool write_animation_gif(const Scene& scene, const std::string& path, int every, std::string* error,
                         int size = PICTURE_SIZE);

// the GIF frame delays of an animation with frames at samples k_0, k_1, ..: frame i lasts
// round(100 t(k_i+1)) - round(100 t(k_i)) hundredths of a second (the last frame is held for
// LAST_FRAME_HOLD_CS), so that rounding never adds up over the run; the sample of each frame
// goes to samples; dt (s) is the sample period
constexpr int LAST_FRAME_HOLD_CS = 200;  // the last GIF frame stays 2 s before the loop   (1/100 s)

void animation_timing(int every, int last, double dt, std::vector<int>* samples,
                      std::vector<int>* delays_cs);

}  // namespace robosim
