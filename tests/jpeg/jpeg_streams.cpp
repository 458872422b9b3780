#include "jpeg_streams.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <jpeglib.h>
#include <turbojpeg.h>

#include "jpeg/jpeg.h"
#include "picture_difference.h"
#include "plain_jpeg.h"

void start_allegro_for_decoding()
{
    static bool started = false;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
        started = true;
    }
}

BITMAP *decode(const bytes &stream, RGB *palette)
{
    return decode_jpeg(stream.data(), static_cast<long>(stream.size()), palette);
}

namespace {

struct bit_writer {
    bytes out;
    int bits = 0, count = 0;
    void put(int value, int n)
    {
        for (int i = n - 1; i >= 0; i--) {
            bits = bits * 2 + ((value >> i) & 1);
            if (++count == 8) {
                out.push_back(static_cast<unsigned char>(bits));
                if (bits == 0xFF)
                    out.push_back(0);
                bits = count = 0;
            }
        }
    }
    void finish()
    {
        while (count != 0)
            put(1, 1);
    }
};

void segment(bytes &s, int code, const bytes &body)
{
    size_t length = body.size() + 2;
    s.insert(s.end(), {0xFF, static_cast<unsigned char>(code),
                       static_cast<unsigned char>(length >> 8),
                       static_cast<unsigned char>(length)});
    s.insert(s.end(), body.begin(), body.end());
}

int category(int v)
{
    int n = 0;
    for (int a = v < 0 ? -v : v; a; a >>= 1)
        n++;
    return n;
}

}  // namespace

bytes make_block_stream(const block_stream &blocks)
{
    bytes s = {0xFF, 0xD8};
    segment(s, 0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    bytes dqt(65, 1);
    dqt[0] = 0;
    segment(s, 0xDB, dqt);
    bytes sof = {8, static_cast<unsigned char>(blocks.height >> 8),
                 static_cast<unsigned char>(blocks.height),
                 static_cast<unsigned char>(blocks.width >> 8),
                 static_cast<unsigned char>(blocks.width),
                 static_cast<unsigned char>(blocks.components)};
    for (int c = 1; c <= blocks.components; c++)
        sof.insert(sof.end(), {static_cast<unsigned char>(c),
                               static_cast<unsigned char>(c == 1 ? blocks.h * 16 + blocks.v : 0x11),
                               0});
    segment(s, 0xC0, sof);
    // DC: categories 0..11 as 4-bit codes 0000..1011. AC: end of block as the one-bit code 0
    // and sizes 1..15 with no run as 5-bit codes 10000..11110; or, with no_ac_code, a single
    // 2-bit code 00 that the all-ones filler never matches.
    bytes dht = {0x00, 0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; i++)
        dht.push_back(static_cast<unsigned char>(i));
    if (blocks.no_ac_code) {
        dht.insert(dht.end(), {0x10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00});
    } else {
        dht.insert(dht.end(), {0x10, 1, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        for (int i = 0; i < 16; i++)
            dht.push_back(static_cast<unsigned char>(i));
    }
    segment(s, 0xC4, dht);
    bytes sos = {static_cast<unsigned char>(blocks.components)};
    for (int c = 1; c <= blocks.components; c++)
        sos.insert(sos.end(), {static_cast<unsigned char>(c), 0x00});
    sos.insert(sos.end(), {0, 63, 0});
    segment(s, 0xDA, sos);

    int per_mcu = blocks.components == 1 ? 1 : blocks.h * blocks.v + 2;
    int predictors[3] = {0, 0, 0};
    bit_writer w;
    for (size_t i = 0; i < blocks.dc.size(); i++) {
        int position = static_cast<int>(i) % per_mcu;
        int component = position < per_mcu - 2 || blocks.components == 1 ? 0 : position - (per_mcu - 3);
        int diff = blocks.dc[i] - predictors[component];
        predictors[component] = blocks.dc[i];
        int n = category(diff);
        w.put(n, 4);
        w.put(diff < 0 ? diff + (1 << n) - 1 : diff, n);
        if (blocks.no_ac_code) {
            w.put(0xFFFF, 16);
            continue;
        }
        if (blocks.first_ac != 0) {
            int size = category(blocks.first_ac);
            w.put(16 + size - 1, 5);
            w.put(blocks.first_ac < 0 ? blocks.first_ac + (1 << size) - 1 : blocks.first_ac, size);
        }
        w.put(0, 1);
    }
    w.finish();
    s.insert(s.end(), w.out.begin(), w.out.end());
    s.insert(s.end(), {0xFF, 0xD9});
    return s;
}

std::vector<unsigned char> test_image(int width, int height, int channels, unsigned seed)
{
    std::vector<unsigned char> image(static_cast<size_t>(width) * height * channels);
    unsigned state = seed;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            for (int c = 0; c < channels; c++) {
                state = state * 1103515245u + 12345u;
                int base = (c == 0 ? x * 255 / width : c == 1 ? y * 255 / height : (x + y) % 256);
                int saturated = ((x / 40 + y / 30) % 3 == 0) ? (c == 0 ? 255 : 0) : base;
                int value = saturated + static_cast<int>((state >> 16) % 41) - 20;
                image[(static_cast<size_t>(y) * width + x) * channels + c] =
                    static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
            }
    return image;
}

bytes encode_turbo(int width, int height, int sampling, int quality, unsigned seed)
{
    static const int tj_sampling[] = {TJSAMP_444, TJSAMP_422, TJSAMP_420, TJSAMP_GRAY};
    int channels = sampling == SAMP_GREY ? 1 : 3;
    std::vector<unsigned char> image = test_image(width, height, channels, seed);
    tjhandle handle = tjInitCompress();
    unsigned char *out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, image.data(), width, 0, height, channels == 1 ? TJPF_GRAY : TJPF_RGB,
                &out, &size, tj_sampling[sampling], quality, TJFLAG_ACCURATEDCT);
    bytes stream(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return stream;
}

bool decode_peer(const bytes &stream, peer_picture &out)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, stream.data(), stream.size());
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    bool grey = info.num_components == 1;
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_YCbCr;
    info.do_fancy_upsampling = FALSE;
    info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&info);
    out.width = info.output_width;
    out.height = info.output_height;
    out.rgb.assign(static_cast<size_t>(out.width) * out.height, 0);
    out.overshoot.assign(out.rgb.size(), false);
    std::vector<unsigned char> row(static_cast<size_t>(out.width) * info.output_components);
    while (info.output_scanline < info.output_height) {
        int y = info.output_scanline;
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (int x = 0; x < out.width; x++) {
            size_t at = static_cast<size_t>(y) * out.width + x;
            const unsigned char *p = &row[static_cast<size_t>(x) * info.output_components];
            if (grey) {
                out.rgb[at] = p[0] * 0x010101;
                continue;
            }
            int Y = p[0], cb = p[1], cr = p[2];
            auto limit = [](int v) { return v > 255 ? 255 : v < 0 ? 0 : v; };
            int r = limit((Y * 65536 + 91881 * (cr - 128)) >> 16);
            int g = limit((Y * 65536 - 22553 * (cb - 128) - 46802 * (cr - 128)) >> 16);
            int b = limit((Y * 65536 + 116130 * (cb - 128)) >> 16);
            out.rgb[at] = (r << 16) | (g << 8) | b;
            out.overshoot[at] = Y == 0 || Y == 255 || cb == 0 || cb == 255 || cr == 0 || cr == 255;
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

int pixel_rgb(BITMAP *picture, int x, int y)
{
    int c = getpixel(picture, x, y);
    return (getr_depth(bitmap_color_depth(picture), c) << 16) |
           (getg_depth(bitmap_color_depth(picture), c) << 8) |
           getb_depth(bitmap_color_depth(picture), c);
}

long find_marker(const bytes &stream, int code)
{
    for (size_t i = 0; i + 1 < stream.size(); i++)
        if (stream[i] == 0xFF && stream[i + 1] == code)
            return static_cast<long>(i);
    return -1;
}

bytes insert_at(const bytes &stream, long at, const bytes &piece)
{
    bytes out(stream.begin(), stream.begin() + at);
    out.insert(out.end(), piece.begin(), piece.end());
    out.insert(out.end(), stream.begin() + at, stream.end());
    return out;
}

bytes run_cjpeg(int width, int height, bool grey, const std::string &options)
{
    std::vector<unsigned char> image = test_image(width, height, grey ? 1 : 3, 7);
    FILE *f = fopen("cjpeg_input.pnm", "wb");
    if (!f)
        return {};
    fprintf(f, "P%c\n%d %d\n255\n", grey ? '5' : '6', width, height);
    fwrite(image.data(), 1, image.size(), f);
    fclose(f);
    std::string command = "cjpeg " + options + " -outfile cjpeg_output.jpg cjpeg_input.pnm";
    if (system(command.c_str()) != 0)
        return {};
    std::ifstream in("cjpeg_output.jpg", std::ios::binary);
    bytes stream{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    remove("cjpeg_input.pnm");
    remove("cjpeg_output.jpg");
    return stream;
}

std::vector<bytes> jpeg_corpus()
{
    std::vector<bytes> corpus;
    const char *cjpeg_options[] = {
        "-sample 2x2 -quality 75", "-sample 1x1 -quality 95", "-sample 2x1 -quality 50",
        "-sample 1x2 -quality 85", "-sample 2x2 -quality 100 -optimize",
        "-sample 2x2 -restart 1", "-sample 1x1 -restart 1 -optimize -quality 30",
        "-sample 2x1 -restart 1 -quality 90",
    };
    int width = 19;
    for (const char *options : cjpeg_options) {
        corpus.push_back(run_cjpeg(width, 23, false, std::string("-dct int -baseline ") + options));
        width += 6;
    }
    corpus.push_back(run_cjpeg(27, 13, true, "-dct int -grayscale -restart 1"));
    for (int sampling : {SAMP_444, SAMP_422, SAMP_420, SAMP_GREY})
        for (int quality : {40, 100})
            corpus.push_back(encode_turbo(24 + 7 * sampling, 17, sampling, quality, quality));

    block_stream crosses;
    crosses.width = 32;
    crosses.components = 3;
    crosses.h = 2;
    crosses.no_ac_code = true;
    crosses.dc = {80, 80, 0, 0, -80, 40, 0, 0};
    corpus.push_back(make_block_stream(crosses));
    // Dequantised terms past 2^18 (quantisation 200): a column without AC terms (its DC term
    // times 4) and the full kernel (times 8192, then down by 2^11) then wrap differently.
    block_stream large;
    large.width = 64;
    large.height = 32;
    large.first_ac = -20000;
    for (int i = 0; i < 32; i++)
        large.dc.push_back(i * 100);
    bytes wrapping = make_block_stream(large);
    long dqt = find_marker(wrapping, 0xDB);
    std::fill(wrapping.begin() + dqt + 5, wrapping.begin() + dqt + 69, 200);
    corpus.push_back(wrapping);

    // A second DHT before the scan that redefines AC table 0 with fewer codes than before.
    bytes redefined = corpus[0];
    corpus.push_back(insert_at(redefined, find_marker(redefined, 0xDA),
                               {0xFF, 0xC4, 0, 22, 0x10, 0, 2, 1, 0, 0, 0, 0, 0, 0,
                                0, 0, 0, 0, 0, 0, 0, 0x01, 0x00, 0x11}));
    // 0xFF 0xFF 0xD0 inside the scan (restart ahead), and a DRI without restart markers.
    bytes markers = corpus[2];
    long scan = find_marker(markers, 0xDA) + 20;
    corpus.push_back(insert_at(markers, scan, {0xFF, 0xFF, 0xD0, 0x5A, 0xFF, 0xFF, 0xD7}));
    corpus.push_back(insert_at(markers, find_marker(markers, 0xDA), {0xFF, 0xDD, 0, 4, 0, 2}));
    return corpus;
}

std::string plain_difference(const bytes &stream)
{
    bytes copy(stream);
    copy.shrink_to_fit();
    BITMAP *fast = decode(copy);
    BITMAP *plain = plain_decode_jpeg(copy.data(), static_cast<long>(copy.size()), nullptr);
    std::string why = picture_difference(fast, plain);
    if (fast)
        destroy_bitmap(fast);
    if (plain)
        destroy_bitmap(plain);
    return why;
}
