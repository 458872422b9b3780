// Reading the generated velmora.dat in tests: its raw bytes, its objects, and each picture
// decoded by libjpeg-turbo as the reference.
#ifndef VELMORA_TESTS_BUILT_DATA_H
#define VELMORA_TESTS_BUILT_DATA_H

#include <allegro.h>

#include <string>
#include <vector>

typedef std::vector<unsigned char> byte_string;

std::string built_datafile_path();
byte_string read_whole_file(const std::string &path);

// Allegro set up without a screen, the datafile loaded once for the whole test program.
DATAFILE *built_datafile();

struct rgb_picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // 3 bytes a pixel, rows top to bottom
    unsigned pixel(int x, int y) const;  // 0xRRGGBB
};

// Decodes with libjpeg-turbo's accurate integer transform; `box_upsampling` repeats chroma
// samples instead of interpolating them, as the game's decoder does. Width stays 0 when the
// stream does not decode.
rgb_picture peer_decode(const unsigned char *data, long size, bool box_upsampling);
rgb_picture peer_decode_object(int index, bool box_upsampling = false);

// What the header pass of the game's decoder looks at.
struct stream_header {
    bool jfif = false;
    int jfif_major = 0;
    bool baseline = false;        // SOF0 or SOF1
    int precision = 0;
    int luma_sampling = 0;        // H x V of component 1
    int chroma_blocks = 0;        // H x V of components 2 and 3, multiplied
    bool eight_bit_tables = true;
    bool restart = false;         // DRI present
    bool other_segments = false;  // APP1..15, SOF2 and the like
    long sos_offset = -1;
};

stream_header read_stream_header(const unsigned char *data, long size);

#endif
