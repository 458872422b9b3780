#include "assets/data/encode.h"

static void put_long(bytes &out, unsigned long v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((v >> shift) & 0xFF);
}

unsigned four_cc(const char *tag)
{
    return ((unsigned)(unsigned char)tag[0] << 24) | ((unsigned)(unsigned char)tag[1] << 16) |
           ((unsigned)(unsigned char)tag[2] << 8) | (unsigned)(unsigned char)tag[3];
}

// Layout read by load_datafile: the packfile magic "slh." (stored, not compressed), "ALL.",
// the object count, then per object its properties, its type and one chunk (stored size,
// then unpacked size, then the data). No date property is written, so the bytes depend on
// the objects alone.
bytes build_datafile(const std::vector<datafile_object> &objects)
{
    bytes out;
    put_long(out, four_cc("slh."));
    put_long(out, four_cc("ALL."));
    put_long(out, objects.size());
    for (const datafile_object &o : objects) {
        put_long(out, four_cc("prop"));
        put_long(out, four_cc("NAME"));
        put_long(out, o.name.size());
        out.insert(out.end(), o.name.begin(), o.name.end());
        put_long(out, o.type);
        put_long(out, o.data.size());
        put_long(out, o.data.size());
        out.insert(out.end(), o.data.begin(), o.data.end());
    }
    return out;
}
