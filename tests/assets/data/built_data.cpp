#include "tests/assets/data/built_data.h"

#include <cstdio>

#include <turbojpeg.h>

#include "platform/i_file.h"

std::string built_datafile_path()
{
    return std::string(VELMORA_GAME_DIR) + "/velmora.dat";
}

byte_string read_whole_file(const std::string &path)
{
    byte_string out;
    read_whole_file(path, out);  // what could be read; nothing when the file cannot be opened
    return out;
}

DATAFILE *built_datafile()
{
    static DATAFILE *data = nullptr;
    if (!data) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
        data = load_datafile(built_datafile_path().c_str());
    }
    return data;
}

unsigned rgb_picture::pixel(int x, int y) const
{
    const unsigned char *p = &rgb[3 * (y * width + x)];
    return (p[0] << 16) | (p[1] << 8) | p[2];
}

rgb_picture peer_decode(const unsigned char *data, long size, bool box_upsampling)
{
    rgb_picture picture;
    tjhandle tj = tjInitDecompress();
    int w, h, subsampling, colourspace;
    if (tjDecompressHeader3(tj, data, size, &w, &h, &subsampling, &colourspace) == 0) {
        picture.rgb.resize(3 * w * h);
        if (tjDecompress2(tj, data, size, picture.rgb.data(), w, 0, h, TJPF_RGB,
                          TJFLAG_ACCURATEDCT | (box_upsampling ? TJFLAG_FASTUPSAMPLE : 0)) == 0) {
            picture.width = w;
            picture.height = h;
        }
    }
    tjDestroy(tj);
    return picture;
}

rgb_picture peer_decode_object(int index, bool box_upsampling)
{
    DATAFILE *d = built_datafile();
    return peer_decode((const unsigned char *)d[index].dat, d[index].size, box_upsampling);
}

static int word_at(const unsigned char *p)
{
    return (p[0] << 8) | p[1];
}

static void read_frame(stream_header &h, const unsigned char *p)
{
    h.baseline = true;
    h.precision = p[4];
    int components = p[9];
    h.chroma_blocks = 1;
    for (int i = 0; i < components; i++) {
        const unsigned char *c = p + 10 + 3 * i;
        int blocks = (c[1] >> 4) * (c[1] & 15);
        if (c[0] == 1)
            h.luma_sampling = blocks;
        else
            h.chroma_blocks *= blocks;
    }
}

static void read_tables(stream_header &h, const unsigned char *p, int length)
{
    for (int at = 4; at < length + 2; at += 65)
        if (p[at] >> 4)
            h.eight_bit_tables = false;
}

stream_header read_stream_header(const unsigned char *data, long size)
{
    stream_header h;
    long pos = 2;  // past SOI
    while (pos + 4 <= size && data[pos] == 0xFF) {
        int marker = data[pos + 1];
        int length = word_at(data + pos + 2);
        if (marker == 0xDA) {
            h.sos_offset = pos;
            break;
        }
        if (marker == 0xE0 && pos + 11 < size) {
            h.jfif = std::string((const char *)data + pos + 4, 5) == std::string("JFIF\0", 5);
            h.jfif_major = data[pos + 9];
        } else if (marker == 0xC0 || marker == 0xC1) {
            read_frame(h, data + pos);
        } else if (marker == 0xDB) {
            read_tables(h, data + pos, length);
        } else if (marker == 0xDD) {
            h.restart = true;
        } else if (marker != 0xC4) {
            h.other_segments = true;
        }
        pos += 2 + length;
    }
    return h;
}
