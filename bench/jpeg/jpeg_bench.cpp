// Decoding speed of the game's decoder against libjpeg-turbo (slow integer IDCT, as close a
// peer as it has) and stb_image, on the same streams in the same run. Prints milliseconds per
// decode and the ratios; the targets are: faster than stb everywhere, at most 1.5 x
// libjpeg-turbo on photographic 4:2:0.
#include <allegro.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <turbojpeg.h>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#include <stb/stb_image.h>

#include "jpeg/jpeg.h"

namespace {

typedef std::vector<unsigned char> bytes;

// Smooth shading with fine noise and edges, roughly what a drawn or photographed page holds.
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
                image[(static_cast<size_t>(y) * w + x) * channels + c] =
                    static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
    return image;
}

bytes encode(int w, int h, int sampling, int quality)
{
    int channels = sampling == TJSAMP_GRAY ? 1 : 3;
    bytes image = photographic(w, h, channels);
    tjhandle handle = tjInitCompress();
    unsigned char *out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, image.data(), w, 0, h, channels == 1 ? TJPF_GRAY : TJPF_RGB, &out, &size,
                sampling, quality, TJFLAG_ACCURATEDCT);
    bytes stream(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return stream;
}

template <typename F> double ms_per_call(F decode_once)
{
    const int rounds = 40;
    decode_once();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; i++)
        decode_once();
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count() / rounds;
}

void bench(const char *name, const bytes &stream)
{
    double ours = ms_per_call([&] {
        destroy_bitmap(decode_jpeg(stream.data(), static_cast<long>(stream.size()), nullptr));
    });
    tjhandle handle = tjInitDecompress();
    int w = 0, h = 0, sub = 0, space = 0;
    tjDecompressHeader3(handle, stream.data(), stream.size(), &w, &h, &sub, &space);
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    double turbo = ms_per_call([&] {
        tjDecompress2(handle, stream.data(), stream.size(), rgba.data(), w, 0, h, TJPF_BGRX,
                      TJFLAG_ACCURATEDCT | TJFLAG_FASTUPSAMPLE);
    });
    tjDestroy(handle);
    double stb = ms_per_call([&] {
        int x, y, n;
        stbi_image_free(stbi_load_from_memory(stream.data(), static_cast<int>(stream.size()), &x,
                                              &y, &n, 4));
    });
    printf("%-28s %6.2f ms  turbo %6.2f ms (x%.2f)  stb %6.2f ms (x%.2f)\n", name, ours, turbo,
           ours / turbo, stb, ours / stb);
}

}  // namespace

int main()
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);  // the game's pictures are 32-bit
    printf("decode time per picture; ratios are ours / peer (below 1: we are faster)\n");
    bench("800x600 4:2:0 q85", encode(800, 600, TJSAMP_420, 85));
    bench("800x600 4:4:4 q90", encode(800, 600, TJSAMP_444, 90));
    bench("800x600 grey q85", encode(800, 600, TJSAMP_GRAY, 85));
    bench("640x480 4:2:0 q75", encode(640, 480, TJSAMP_420, 75));
    return 0;
}
