#include "shell/datafile_check.h"

#include <cstdint>

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

// The 4.x font layout: a zero word, the number of ranges, then per range a mono flag, the
// first and last character and one glyph (width, height, pixels) per character.
const char *check_font(reader r)
{
    if (get(r, 2) != 0)
        return "a font is not in the layout this game reads";
    uint32_t ranges = get(r, 2);
    if (ranges == 0)
        return "a font has no characters";
    for (uint32_t i = 0; i < ranges && r.ok; i++) {
        bool mono = get(r, 1) == 1;
        uint32_t first = get(r, 4);
        uint32_t last = get(r, 4);
        if (r.ok && (last < first || last - first >= 0x110000))
            return "a font's character range is not valid";
        for (uint32_t c = first; c <= last && r.ok; c++) {
            uint32_t w = get(r, 2);
            uint32_t h = get(r, 2);
            skip(r, mono ? uint64_t((w + 7) / 8) * h : uint64_t(w) * h);
        }
    }
    return r.ok ? nullptr : "a font runs past the end of its object";
}

const char *check_objects(reader &r, int depth);

// One object: its properties, its type and its chunk, which must be stored as it is.
const char *check_object(reader &r, int depth)
{
    uint32_t type = get(r, 4);
    while (r.ok && type == tag("prop")) {
        get(r, 4);
        skip(r, get(r, 4));
        type = get(r, 4);
    }
    uint32_t stored = get(r, 4);
    uint32_t unpacked = get(r, 4);
    if (!r.ok)
        return "the resource file is cut short";
    if (stored != unpacked || stored > 0x7FFFFFFF)
        return "the resource file holds a compressed object";
    if (r.size - r.pos < stored)
        return "the resource file is cut short";
    reader chunk = {r.data + r.pos, stored, 0, true};
    r.pos += stored;
    if (type == tag("FONT"))
        return check_font(chunk);
    if (type == tag("FILE")) {
        if (depth >= MAX_NESTING)
            return "the resource file nests too deep";
        return check_objects(chunk, depth + 1);
    }
    return nullptr;
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
