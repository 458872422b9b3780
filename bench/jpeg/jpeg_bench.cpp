// Decoding speed of the game's decoder against libjpeg-turbo (slow integer IDCT, no fancy
// upsampling, 32-bit pixels out: as close a peer as it has) and stb_image, on the same 800x600
// streams. The three decoders take turns within each round, so a busy moment on the machine
// hits all of them alike, and the median of the rounds is printed with the ratios. The
// target: at most 0.8 x libjpeg-turbo, and so faster than stb, on every stream.
//
// jpeg_bench --corpus FOLDER times, instead, the files of a folder of real-world JPEGs that
// both decoders take without a warning and that are at least 256 x 256, and prints each
// ratio to libjpeg-turbo with their median and worst.
#include <algorithm>
#include <allegro.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <turbojpeg.h>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>

#include "jpeg/jpeg.h"

namespace {

typedef std::vector<unsigned char> bytes;

const int WIDTH = 800, HEIGHT = 600;
const int ROUNDS = 41;
const int CORPUS_ROUNDS = 15;

unsigned char clamp_byte(int v)
{
    return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Broad gradients only, as in a drawn page: most blocks end after a few coefficients.
bytes smooth(int w, int h, int channels)
{
    bytes image(static_cast<size_t>(w) * h * channels);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < channels; c++)
                image[(static_cast<size_t>(y) * w + x) * channels + c] =
                    clamp_byte(40 + (x * (c + 1) + y * (3 - c)) * 160 / (4 * (w + h)));
    return image;
}

// Shading with fine noise and edges, roughly what a photographed page holds.
bytes photographic(int w, int h, int channels)
{
    bytes image(static_cast<size_t>(w) * h * channels);
    unsigned state = 12345;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < channels; c++) {
                state = state * 1103515245u + 12345u;
                int v = (x * (c + 1) + y * (3 - c)) / 4 % 256 + static_cast<int>(state >> 27) - 16;
                if (((x / 37) ^ (y / 23)) & 1)
                    v = 255 - v;
                image[(static_cast<size_t>(y) * w + x) * channels + c] = clamp_byte(v);
            }
    return image;
}

bytes encode(const bytes &image, int sampling, int quality)
{
    int channels = sampling == TJSAMP_GRAY ? 1 : 3;
    tjhandle handle = tjInitCompress();
    unsigned char *out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, image.data(), WIDTH, 0, HEIGHT, channels == 1 ? TJPF_GRAY : TJPF_RGB,
                &out, &size, sampling, quality, TJFLAG_ACCURATEDCT);
    bytes stream(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return stream;
}

template <typename F> double ms_for(F decode_once)
{
    auto start = std::chrono::steady_clock::now();
    decode_once();
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void bench(const char *name, const bytes &stream)
{
    tjhandle handle = tjInitDecompress();
    std::vector<unsigned char> bgrx(static_cast<size_t>(WIDTH) * HEIGHT * 4);
    auto ours = [&] {
        destroy_bitmap(decode_jpeg(stream.data(), static_cast<long>(stream.size()), nullptr));
    };
    auto turbo = [&] {
        tjDecompress2(handle, stream.data(), stream.size(), bgrx.data(), WIDTH, 0, HEIGHT,
                      TJPF_BGRX, TJFLAG_ACCURATEDCT | TJFLAG_FASTUPSAMPLE);
    };
    auto stb = [&] {
        int x, y, n;
        stbi_image_free(stbi_load_from_memory(stream.data(), static_cast<int>(stream.size()), &x,
                                              &y, &n, 4));
    };
    ours(), turbo(), stb();  // warm the caches and the allocator
    std::vector<double> t_ours, t_turbo, t_stb;
    for (int round = 0; round < ROUNDS; round++) {
        t_ours.push_back(ms_for(ours));
        t_turbo.push_back(ms_for(turbo));
        t_stb.push_back(ms_for(stb));
    }
    tjDestroy(handle);
    double a = median(t_ours), b = median(t_turbo), c = median(t_stb);
    printf("%-26s %6.2f  %6.2f  %6.2f   %5.2f   %5.2f\n", name, a, b, c, a / b, a / c);
}

// Ours against libjpeg-turbo on one file, or a negative ratio when the file is not one to time.
double corpus_ratio(const bytes &stream)
{
    tjhandle handle = tjInitDecompress();
    int w = 0, h = 0, sampling = 0, colours = 0;
    double ratio = -1;
    if (tjDecompressHeader3(handle, stream.data(), stream.size(), &w, &h, &sampling,
                            &colours) == 0 && w >= 256 && h >= 256) {
        std::vector<unsigned char> bgrx(static_cast<size_t>(w) * h * 4);
        auto turbo = [&] {
            return tjDecompress2(handle, stream.data(), stream.size(), bgrx.data(), w, 0, h,
                                 TJPF_BGRX, TJFLAG_ACCURATEDCT | TJFLAG_FASTUPSAMPLE);
        };
        BITMAP *picture = decode_jpeg(stream.data(), static_cast<long>(stream.size()), nullptr);
        if (picture && turbo() == 0) {  // a warning too gives -1
            std::vector<double> t_ours, t_turbo;
            for (int round = 0; round < CORPUS_ROUNDS; round++) {
                t_ours.push_back(ms_for([&] {
                    destroy_bitmap(decode_jpeg(stream.data(), static_cast<long>(stream.size()),
                                               nullptr));
                }));
                t_turbo.push_back(ms_for(turbo));
            }
            ratio = median(t_ours) / median(t_turbo);
        }
        if (picture)
            destroy_bitmap(picture);
    }
    tjDestroy(handle);
    return ratio;
}

int bench_corpus(const std::string &folder)
{
    DIR *dir = opendir(folder.c_str());
    if (!dir) {
        printf("no folder %s\n", folder.c_str());
        return 1;
    }
    std::vector<std::string> names;
    while (dirent *entry = readdir(dir))
        if (entry->d_name[0] != '.')
            names.push_back(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    std::vector<double> ratios;
    for (const std::string &name : names) {
        FILE *f = fopen((folder + "/" + name).c_str(), "rb");
        if (!f)
            continue;
        bytes stream;
        int c;
        while ((c = fgetc(f)) != EOF)
            stream.push_back(static_cast<unsigned char>(c));
        fclose(f);
        double ratio = stream.empty() ? -1 : corpus_ratio(stream);
        if (ratio >= 0) {
            printf("%-60s %5.2f\n", name.c_str(), ratio);
            ratios.push_back(ratio);
        }
    }
    if (ratios.empty())
        return 1;
    printf("%zu streams of at least 256x256, ours / turbo: median %.2f, worst %.2f\n",
           ratios.size(), median(ratios), *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);  // the game's pictures are 32-bit
    if (argc == 3 && std::string(argv[1]) == "--corpus")
        return bench_corpus(argv[2]);
    struct stream_kind {
        const char *name;
        int sampling, quality;
    };
    const stream_kind kinds[] = {
        {"4:2:0 q85", TJSAMP_420, 85},
        {"4:2:2 q85", TJSAMP_422, 85},
        {"4:4:4 q90", TJSAMP_444, 90},
        {"grey q85", TJSAMP_GRAY, 85},
    };
    printf("800x600, median of %d decodes in ms; ratios below 1: ours is faster\n", ROUNDS);
    printf("%-26s %6s  %6s  %6s   %5s   %5s\n", "stream", "ours", "turbo", "stb", "/turbo",
           "/stb");
    for (bool textured : {false, true})
        for (const stream_kind &k : kinds) {
            int channels = k.sampling == TJSAMP_GRAY ? 1 : 3;
            bytes image = textured ? photographic(WIDTH, HEIGHT, channels)
                                   : smooth(WIDTH, HEIGHT, channels);
            char name[64];
            snprintf(name, sizeof name, "%s %s", textured ? "photographic" : "smooth", k.name);
            bench(name, encode(image, k.sampling, k.quality));
        }
    return 0;
}
