#include "shell/datafile_check.h"

#include <cstdint>
#include <cstdlib>

namespace {

const int MAX_NESTING = 8;

constexpr uint32_t tag(const char (&s)[5])
{
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 |
           uint32_t(uint8_t(s[2])) << 8 | uint32_t(uint8_t(s[3]));
}

// A bounded big-endian reader; `ok` drops to false on the first read past the end.
struct reader {
    const unsigned char *data;
    size_t size;
    size_t pos;
    bool ok;
};

uint32_t get(reader &r, int bytes)
{
    if (!r.ok || r.size - r.pos < static_cast<size_t>(bytes)) {
        r.ok = false;
        return 0;
    }
    uint32_t v = 0;
    for (int i = 0; i < bytes; i++)
        v = v << 8 | r.data[r.pos++];
    return v;
}

void skip(reader &r, uint64_t bytes)
{
    if (!r.ok || r.size - r.pos < bytes)
        r.ok = false;
    else
        r.pos += static_cast<size_t>(bytes);
}

// Width and height words, then `h` rows of `w` pixels at `bits` each, a row rounded up to
// whole bytes: a bitmap's pixels and a font's glyphs alike.
void skip_image(reader &r, int bits)
{
    uint64_t w = get(r, 2);
    uint64_t h = get(r, 2);
    skip(r, (w * bits + 7) / 8 * h);
}

// Bits per pixel that Allegro reads for a depth word: 32-bit pictures are stored as three
// bytes, or four when the word is -32 (with alpha). 0 for depths this game refuses: the 4-bit
// planar layout of old files, and depths Allegro never writes.
int stored_bits(int depth)
{
    switch (depth) {
    case 8: return 8;
    case 15: case 16: return 16;
    case 24: case 32: return 24;
    case -32: return 32;
    default: return 0;
    }
}

// A mono glyph: width and height words, then rows of whole bytes. Allegro's glyph drawer
// ends a row only after drawing a pixel of it, so a glyph of no width that has rows runs on
// past its bytes and off the bitmap it is drawn on.
bool skip_mono_glyph(reader &r)
{
    uint64_t w = get(r, 2);
    uint64_t h = get(r, 2);
    skip(r, (w + 7) / 8 * h);
    return w > 0 || h == 0;
}

// The 4.x font layout: a zero word, the number of ranges, then per range its depth (1 or 255
// for mono, 0 for the old name of 8), the first and last character and one glyph per character.
// Allegro draws every glyph of a font as the kind of its last range (and frees them so), so
// the ranges of one font must all be mono or all be colour.
const char *check_font(reader r, int)
{
    if (get(r, 2) != 0)
        return "a font is not in the layout this game reads";
    uint32_t ranges = get(r, 2);
    if (ranges == 0)
        return "a font has no characters";
    bool font_mono = false;
    for (uint32_t i = 0; i < ranges && r.ok; i++) {
        uint32_t depth = get(r, 1);
        bool mono = depth == 1 || depth == 255;
        int bits = mono ? 1 : stored_bits(depth == 0 ? 8 : depth);
        uint32_t first = get(r, 4);
        uint32_t last = get(r, 4);
        if (r.ok && bits == 0)
            return "a font has a colour depth this game does not read";
        if (r.ok && (last < first || last - first >= 0x110000))
            return "a font's character range is not valid";
        if (i == 0)
            font_mono = mono;
        else if (mono != font_mono)
            return "a font mixes mono and colour characters";
        for (uint64_t c = first; c <= last && r.ok; c++) {
            if (!mono)
                skip_image(r, bits);
            else if (!skip_mono_glyph(r) && r.ok)
                return "a font has a glyph with rows but no width";
        }
    }
    return r.ok ? nullptr : "a font runs past the end of its object";
}

// A bitmap, and the bitmap that a compiled sprite is built from: its depth word, then the image.
const char *check_bitmap(reader r, int)
{
    int bits = stored_bits(int16_t(get(r, 2)));
    if (r.ok && bits == 0)
        return "a bitmap has a colour depth this game does not read";
    skip_image(r, bits);
    return r.ok ? nullptr : "a bitmap runs past the end of its object";
}

// Its size word, negative for stereo, the frequency and the number of frames, then the frames.
const char *check_sample(reader r, int)
{
    int word = int16_t(get(r, 2));
    int bits = std::abs(word);
    get(r, 2);
    uint64_t frames = get(r, 4);
    if (r.ok && bits != 8 && bits != 16)
        return "a sample has a sample size this game does not read";
    skip(r, frames * (word < 0 ? 2 : 1) * bits / 8);
    return r.ok ? nullptr : "a sample runs past the end of its object";
}

// The divisions word, then 32 tracks of a length and that many bytes.
const char *check_midi(reader r, int)
{
    get(r, 2);
    for (int track = 0; track < 32; track++)
        skip(r, get(r, 4));
    return r.ok ? nullptr : "a MIDI object runs past the end of its object";
}

// Allegro rebuilds an RLE sprite's runs into a buffer sized by a count of its own and checks
// neither against the other; the game has no use for such a sprite.
const char *refuse_rle_sprite(reader, int)
{
    return "the resource file holds an RLE sprite, which this game does not read";
}

const char *check_objects(reader &r, int depth);

const char *check_nested_file(reader r, int depth)
{
    if (depth >= MAX_NESTING)
        return "the resource file nests too deep";
    return check_objects(r, depth + 1);
}

struct parsed_type {
    uint32_t tag;
    const char *(*check)(reader chunk, int depth);
};

// Every type that load_datafile builds a structure from, with the walk that shows the chunk
// holds all it reads. Objects of any other type are kept as the bytes of their chunk.
const parsed_type PARSED_TYPES[] = {
    {tag("FILE"), check_nested_file}, {tag("FONT"), check_font},
    {tag("BMP "), check_bitmap},      {tag("CMP "), check_bitmap},
    {tag("XCMP"), check_bitmap},      {tag("RLE "), refuse_rle_sprite},
    {tag("SAMP"), check_sample},      {tag("MIDI"), check_midi},
};

const parsed_type *find_parsed_type(uint32_t type)
{
    for (const parsed_type &t : PARSED_TYPES)
        if (t.tag == type)
            return &t;
    return nullptr;
}

// Allegro marks the free slots of its type table and the end of a property list with this
// value: an object of this type finds such a slot and the loader calls the missing load
// function; a property of this type ends its object's list early, and is never freed.
const uint32_t NO_TYPE = 0xFFFFFFFF;

// One object: its properties, its type and its chunk, which must be stored as it is.
const char *check_object(reader &r, int depth)
{
    uint32_t type = get(r, 4);
    while (r.ok && type == tag("prop")) {
        if (get(r, 4) == NO_TYPE && r.ok)
            return "the resource file holds a property without a type";
        skip(r, get(r, 4));
        type = get(r, 4);
    }
    uint32_t stored = get(r, 4);
    uint32_t unpacked = get(r, 4);
    if (!r.ok)
        return "the resource file is cut short";
    if (type == NO_TYPE)
        return "the resource file holds an object without a type";
    if (stored != unpacked || stored > 0x7FFFFFFF)
        return "the resource file holds a compressed object";
    if (r.size - r.pos < stored)
        return "the resource file is cut short";
    reader chunk = {r.data + r.pos, stored, 0, true};
    r.pos += stored;
    const parsed_type *parsed = find_parsed_type(type);
    return parsed ? parsed->check(chunk, depth) : nullptr;
}

// A count of objects, then the objects.
const char *check_objects(reader &r, int depth)
{
    uint32_t count = get(r, 4);
    if (!r.ok)
        return "the resource file is cut short";
    for (uint32_t i = 0; i < count; i++)
        if (const char *problem = check_object(r, depth))
            return problem;
    return nullptr;
}

}  // namespace

bool datafile_object_is_raw(int type)
{
    return !find_parsed_type(static_cast<uint32_t>(type));
}

const char *check_datafile(const unsigned char *data, size_t size)
{
    reader r = {data, size, 0, true};
    uint32_t magic = get(r, 4);
    if (r.ok && magic == tag("slh!"))
        return "the resource file is compressed";
    if (magic != tag("slh.") || get(r, 4) != tag("ALL."))
        return "the resource file is not a datafile";
    return check_objects(r, 0);
}
