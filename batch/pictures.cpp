// Picture files of the last run, drawn by the window's own frame code into the off-screen
// drawable. A PNG holds one frame as it is. A GIF holds the animation: the frame changes
// little from one sample to the next (the robot, the growing curves), so after the first frame
// only the rectangle around the changed pixels is stored and left in place for the next one.
// The frame is drawn unlit in a handful of flat colours, so a palette of at most 256 entries
// holds every colour exactly; a rectangle with more colours than that is reduced to 256.
#include "batch/pictures.h"

#include "model/parameters.h"
#include "platform/offscreen.h"
#include "platform/output_file.h"
#include "view/frame.h"
#include "view/view_state.h"

#include <cassert>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gif_lib.h>
#include <png.h>
#include <unistd.h>

namespace robosim {

//------------------------------------------------------------------ frames

void render_sample(const Scene& scene, int k, unsigned char* rgb) {
    Scene shown = scene;
    shown.view.anim_index = clamp_sample(current_run(scene).experiment->settings, k);
    compose_frame(shown);
    read_offscreen_rgb(rgb);
}

//------------------------------------------------------------------ PNG

bool write_frame_png(const Scene& scene, const std::string& path, int k, std::string* error,
                     int size) {
    std::vector<unsigned char> rgb(static_cast<size_t>(3) * size * size);
    render_sample(scene, k, rgb.data());
    OutputFile out;
    if (!begin_output(path, &out, error)) {
        return false;
    }
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = size;
    image.height = size;
    image.format = PNG_FORMAT_RGB;
    // the library's stream gets a descriptor of its own: the output keeps its own to sync
    std::FILE* stream = fdopen(dup(out.fd), "wb");
    bool ok = stream != nullptr
              && png_image_write_to_stdio(&image, stream, 0, rgb.data(), 3 * size, nullptr) != 0;
    const int write_errno = errno;
    if (stream != nullptr && std::fclose(stream) != 0 && ok) {
        ok = false;
        image.message[0] = '\0';
    }
    if (!ok) {
        *error = "cannot write the PNG '" + path
                 + "': " + (image.message[0] != '\0' ? image.message : std::strerror(write_errno));
        abandon_output(&out);
        return false;
    }
    return commit_output(&out, error);
}

//------------------------------------------------------------------ palette

constexpr int PALETTE_MAX = 256;            // colours a GIF colour map can hold        (-)
constexpr int PALETTE_SLOTS = 1024;         // hash slots, four per colour at most      (-)
constexpr uint32_t NO_COLOUR = 0xFFFFFFFF;  // an empty slot; colours have 24 bits

// the colours of a picture, each with its GIF index, found by an open-addressing hash
struct Palette {
    uint32_t colour[PALETTE_MAX];      // 0xRRGGBB of each index
    int count;                         // indices in use                         (-)
    uint32_t slot_key[PALETTE_SLOTS];  // colour held by each hash slot, NO_COLOUR if none
    int slot_index[PALETTE_SLOTS];     // its index
};

static void clear_palette(Palette* p) {
    p->count = 0;
    for (int s = 0; s < PALETTE_SLOTS; ++s) {
        p->slot_key[s] = NO_COLOUR;
    }
}

static uint32_t colour_at(const unsigned char* px) {
    return static_cast<uint32_t>(px[0]) << 16 | static_cast<uint32_t>(px[1]) << 8 | px[2];
}

// the slot of colour c, or of the empty slot where it would go
static int palette_slot(const Palette* p, uint32_t c) {
    static_assert(PALETTE_SLOTS == 1 << 10, "the hash gives 10 bits");
    // four slots per colour at most: an empty slot is always found
    assert(p->count < PALETTE_SLOTS);
    int s = static_cast<int>((c * 2654435761u) >> 22);  // Fibonacci hashing to 10 bits
    while (p->slot_key[s] != NO_COLOUR && p->slot_key[s] != c) {
        s = (s + 1) & (PALETTE_SLOTS - 1);
    }
    return s;
}

// the index of colour c, added if it is new; -1 when the palette is full
static int palette_index(Palette* p, uint32_t c) {
    const int s = palette_slot(p, c);
    if (p->slot_key[s] == c) {
        return p->slot_index[s];
    }
    if (p->count == PALETTE_MAX) {
        return -1;
    }
    p->slot_key[s] = c;
    p->slot_index[s] = p->count;
    p->colour[p->count] = c;
    return p->count++;
}

// the index of colour c, or -1 if the palette does not hold it
static int palette_find(const Palette* p, uint32_t c) {
    const int s = palette_slot(p, c);
    return p->slot_key[s] == c ? p->slot_index[s] : -1;
}

// a GIF colour map of the palette with `spare` more entries, its size the next power of two
// (the format's rule)
static ColorMapObject* colour_map_of(const Palette* p, int spare) {
    int size = 2;
    while (size < p->count + spare) {
        size *= 2;
    }
    GifColorType colours[PALETTE_MAX] = {};
    for (int i = 0; i < p->count; ++i) {
        if (p->colour[i] == NO_COLOUR) {
            continue;  // the transparent index: any colour
        }
        colours[i].Red = static_cast<GifByteType>(p->colour[i] >> 16);
        colours[i].Green = static_cast<GifByteType>(p->colour[i] >> 8);
        colours[i].Blue = static_cast<GifByteType>(p->colour[i]);
    }
    return GifMakeMapObject(size, colours);
}

// the palette of the first `count` entries of a colour map: each colour finds the first index
// holding it
static void adopt_colour_map(Palette* p, const ColorMapObject* map, int count) {
    clear_palette(p);
    for (int i = 0; i < count; ++i) {
        const GifColorType& g = map->Colors[i];
        const uint32_t c =
            static_cast<uint32_t>(g.Red) << 16 | static_cast<uint32_t>(g.Green) << 8 | g.Blue;
        const int s = palette_slot(p, c);
        if (p->slot_key[s] == NO_COLOUR) {
            p->slot_key[s] = c;
            p->slot_index[s] = i;
        }
    }
    p->count = count;
}

//------------------------------------------------------------------ GIF frames

// a rectangle of the picture in pixels, rows counted from the top
struct Rect {
    int left, top, width, height;  // (px)
};

// the smallest rectangle holding every pixel in which cur differs from prev; a single pixel
// when nothing changed, since every GIF frame needs an image
static Rect changed_rect(const unsigned char* prev, const unsigned char* cur, int size) {
    const size_t line = static_cast<size_t>(3) * size;
    int top = size, bottom = -1, left = size, right = -1;
    for (int r = 0; r < size; ++r) {
        const unsigned char* a = prev + line * r;
        const unsigned char* b = cur + line * r;
        if (std::memcmp(a, b, line) == 0) {
            continue;
        }
        top = top < r ? top : r;
        bottom = r;
        int c0 = 0;
        while (std::memcmp(a + 3 * c0, b + 3 * c0, 3) == 0) {
            ++c0;
        }
        int c1 = size - 1;
        while (std::memcmp(a + 3 * c1, b + 3 * c1, 3) == 0) {
            --c1;
        }
        left = left < c0 ? left : c0;
        right = right > c1 ? right : c1;
    }
    if (bottom < 0) {
        return {0, 0, 1, 1};
    }
    return {left, top, right - left + 1, bottom - top + 1};
}

// one frame's image: indices of the rectangle's pixels and the colour map they index
struct FrameImage {
    std::vector<GifByteType> indices;  // row by row from the rectangle's top left
    ColorMapObject* local;             // the frame's own colour map; nullptr: the global one
    int transparent;                   // index of "as the frame before", -1 if none
    int colours;                       // entries of the local map in use             (-)
};

// the pixel (r, c) of the rectangle in an RGB picture
static const unsigned char* pixel_of(const unsigned char* rgb, const Rect& rc, size_t i, int size) {
    const size_t r = static_cast<size_t>(rc.top) + i / rc.width;
    const size_t c = static_cast<size_t>(rc.left) + i % rc.width;
    return rgb + 3 * (r * size + c);
}

// The rectangle of cur as a frame image. A pixel as it was in prev (when there is one) becomes
// the transparent index, which leaves the pixel beneath in place; long runs of it pack well.
// The other pixels index the global palette when it holds all their colours, else a palette
// of their own (reduced to 255 colours if they have more; *reduced says so).
static FrameImage index_rect(const unsigned char* cur, const unsigned char* prev, const Rect& rc,
                             const Palette* global, bool* reduced, int size) {
    FrameImage image = {{}, nullptr, -1, 0};
    const size_t n = static_cast<size_t>(rc.width) * rc.height;
    image.indices.resize(n);
    const auto unchanged = [&](size_t i) {
        return prev != nullptr
               && std::memcmp(pixel_of(cur, rc, i, size), pixel_of(prev, rc, i, size), 3) == 0;
    };
    // the global palette keeps its last index free for the transparent one
    if (global != nullptr) {
        image.transparent = global->count;
        size_t i = 0;
        for (; i < n; ++i) {
            const int index = unchanged(i)
                                  ? image.transparent
                                  : palette_find(global, colour_at(pixel_of(cur, rc, i, size)));
            if (index < 0) {
                break;
            }
            image.indices[i] = static_cast<GifByteType>(index);
        }
        if (i == n) {
            return image;
        }
    }
    static Palette local;
    clear_palette(&local);
    if (prev != nullptr) {
        local.colour[0] = NO_COLOUR;  // index 0 is the transparent one
        local.count = 1;
        image.transparent = 0;
    }
    bool fits = true;
    for (size_t i = 0; i < n && fits; ++i) {
        const int index =
            unchanged(i) ? 0 : palette_index(&local, colour_at(pixel_of(cur, rc, i, size)));
        fits = index >= 0 && index < PALETTE_MAX - 1;
        image.indices[i] = static_cast<GifByteType>(fits ? index : 0);
    }
    if (fits) {
        // a first frame's map becomes the global one, which keeps an entry free for later
        image.local = colour_map_of(&local, prev == nullptr ? 1 : 0);
        image.colours = local.count;
        return image;
    }
    // more colours than a palette holds: the nearest 255 the library's quantiser finds, and the
    // whole rectangle drawn anew
    *reduced = true;
    std::vector<GifByteType> red(n), green(n), blue(n);
    for (size_t i = 0; i < n; ++i) {
        red[i] = pixel_of(cur, rc, i, size)[0];
        green[i] = pixel_of(cur, rc, i, size)[1];
        blue[i] = pixel_of(cur, rc, i, size)[2];
    }
    int wanted = PALETTE_MAX / 2;  // the quantiser wants a power of two; 128 leaves room
    GifColorType colours[PALETTE_MAX] = {};
    GifQuantizeBuffer(static_cast<unsigned>(rc.width), static_cast<unsigned>(rc.height), &wanted,
                      red.data(), green.data(), blue.data(), image.indices.data(), colours);
    image.local = GifMakeMapObject(PALETTE_MAX, colours);
    image.transparent = -1;
    image.colours = wanted;
    return image;
}

//------------------------------------------------------------------ GIF file

void animation_timing(int every, int last, double dt, std::vector<int>* samples,
                      std::vector<int>* delays_cs) {
    samples->clear();
    delays_cs->clear();
    every = every < 1 ? 1 : every;
    for (int k = 0; k < last; k += every) {
        samples->push_back(k);
    }
    samples->push_back(last);
    // hundredths of a second on the simulated clock, rounded once per frame start
    const auto centiseconds = [dt](int k) { return std::lround(100.0 * k * dt); };
    for (size_t i = 0; i < samples->size(); ++i) {
        const int k = (*samples)[i];
        // the end of the run stays up long enough to be read before the loop starts again
        const long d = i + 1 < samples->size() ? centiseconds((*samples)[i + 1]) - centiseconds(k)
                                               : LAST_FRAME_HOLD_CS;
        delays_cs->push_back(static_cast<int>(d < 0 ? 0 : d > 65535 ? 65535 : d));
    }
}

// the application extension that makes viewers repeat the animation for ever
static bool put_loop_extension(GifFileType* gif) {
    static const GifByteType name[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType forever[] = {1, 0, 0};  // sub-block 1: repeat count 0
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK
           && EGifPutExtensionBlock(gif, sizeof name, name) == GIF_OK
           && EGifPutExtensionBlock(gif, sizeof forever, forever) == GIF_OK
           && EGifPutExtensionTrailer(gif) == GIF_OK;
}

// the frame's delay; what it leaves stays in place under the next frame's rectangle
static bool put_frame_control(GifFileType* gif, int delay_cs, int transparent) {
    GraphicsControlBlock gcb = {};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.UserInputFlag = false;
    gcb.DelayTime = delay_cs;
    gcb.TransparentColor = transparent >= 0 ? transparent : NO_TRANSPARENT_COLOR;
    GifByteType block[4];
    EGifGCBToExtension(&gcb, block);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof block, block) == GIF_OK;
}

static bool put_image(GifFileType* gif, const Rect& rc, FrameImage* image) {
    if (EGifPutImageDesc(gif, rc.left, rc.top, rc.width, rc.height, false, image->local)
        != GIF_OK) {
        return false;
    }
    for (int r = 0; r < rc.height; ++r) {
        if (EGifPutLine(gif, image->indices.data() + static_cast<size_t>(r) * rc.width, rc.width)
            != GIF_OK) {
            return false;
        }
    }
    return true;
}

bool write_animation_gif(const Scene& scene, const std::string& path, int every, std::string* error,
                         int size) {
    std::vector<int> samples;
    std::vector<int> delays;
    const Settings& s = current_run(scene).experiment->settings;
    animation_timing(every, last_sample(s), s.dt_sample, &samples, &delays);

    OutputFile out;
    if (!begin_output(path, &out, error)) {
        return false;
    }
    // the library closes the descriptor it is given: it gets a copy, the output keeps its own
    const int fd = dup(out.fd);
    int code = 0;
    GifFileType* gif = fd < 0 ? nullptr : EGifOpenFileHandle(fd, &code);
    if (gif == nullptr) {
        if (fd >= 0) {
            close(fd);
        }
        abandon_output(&out);
        *error = "cannot write the GIF '" + path + "': " + GifErrorString(code);
        return false;
    }
    EGifSetGifVersion(gif, true);  // GIF89a: delays and the loop extension

    const size_t bytes = static_cast<size_t>(3) * size * size;
    std::vector<unsigned char> prev(bytes);
    std::vector<unsigned char> cur(bytes);
    static Palette global;
    bool ok = true;
    bool reduced = false;
    for (size_t i = 0; i < samples.size() && ok; ++i) {
        render_sample(scene, samples[i], cur.data());
        if (i == 0) {
            // the first frame is whole, and its colours are the global palette
            const Rect all = {0, 0, size, size};
            FrameImage image = index_rect(cur.data(), nullptr, all, nullptr, &reduced, size);
            adopt_colour_map(&global, image.local, image.colours);
            ok = EGifPutScreenDesc(gif, size, size, 8, 0, image.local) == GIF_OK
                 && put_loop_extension(gif) && put_frame_control(gif, delays[i], -1);
            GifFreeMapObject(image.local);
            image.local = nullptr;
            ok = ok && put_image(gif, all, &image);
        } else {
            const Rect rc = changed_rect(prev.data(), cur.data(), size);
            FrameImage image = index_rect(cur.data(), prev.data(), rc, &global, &reduced, size);
            ok = put_frame_control(gif, delays[i], image.transparent) && put_image(gif, rc, &image);
            GifFreeMapObject(image.local);  // accepts nullptr
        }
        prev.swap(cur);
    }
    if (!ok) {
        code = gif->Error;
    }
    int close_code = 0;
    if (EGifCloseFile(gif, &close_code) != GIF_OK && ok) {
        ok = false;
        code = close_code;
    }
    if (!ok) {
        *error = "cannot write the GIF '" + path + "': " + GifErrorString(code);
        abandon_output(&out);
        return false;
    }
    if (!commit_output(&out, error)) {
        return false;
    }
    if (reduced) {
        std::fprintf(stderr, "robosim-batch: a frame had more than 256 colours; the GIF shows "
                             "the nearest 256\n");
    }
    return true;
}

}  // namespace robosim
