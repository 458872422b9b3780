// The real-world corpus: every file of ../shared/jpeg-corpus (beside the project, not in it;
// VELMORA_JPEG_CORPUS names the folder), decoded with every kernel set this processor runs,
// under the sanitizers in CI. Nothing may crash or hang; the kernel sets must agree pixel for
// pixel and null for null; no empty picture may come back; every stream that libjpeg-turbo
// decodes without a warning and ours decodes must give libjpeg's samples (box upsampling, slow
// integer IDCT) after the game's colour formulas, apart from pixels where libjpeg limited a
// sample before conversion; and a clean stream that ours refuses must be outside the accepted
// subset for one of the deliberate reasons (refusal_reason). Skipped when the folder is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "jpeg/jpeg.h"
#include "jpeg/jpeg_parts.h"
#include "jpeg_streams.h"

#ifndef VELMORA_JPEG_CORPUS
#define VELMORA_JPEG_CORPUS VELMORA_SOURCE_DIR "/../shared/jpeg-corpus"
#endif

namespace {

std::vector<std::string> corpus_files(const std::string &folder)
{
    std::vector<std::string> names;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent *entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > 4 && name != "SOURCES.txt" && name[0] != '.')
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bytes read_file(const std::string &path)
{
    bytes data;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return data;
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + got);
    std::fclose(f);
    return data;
}

// libjpeg with its errors and warnings caught rather than printed or fatal.
struct quiet_errors {
    jpeg_error_mgr manager;
    std::jmp_buf exit;
    int warnings = 0;
};

void error_exit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<quiet_errors *>(info->err)->exit, 1);
}

void emit_message(j_common_ptr info, int level)
{
    if (level < 0)
        reinterpret_cast<quiet_errors *>(info->err)->warnings++;
}

void output_message(j_common_ptr) {}

// libjpeg's decode as in decode_peer (jpeg_streams.cpp); true only when it decoded the whole
// stream without an error or a warning. Progressive and other streams it decodes count too.
bool clean_peer_decode(const bytes &stream, peer_picture &out)
{
    jpeg_decompress_struct info;
    quiet_errors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = error_exit;
    errors.manager.emit_message = emit_message;
    errors.manager.output_message = output_message;
    jpeg_create_decompress(&info);
    // Volatile: read after a longjmp.
    volatile bool clean = false;
    std::vector<unsigned char> row;
    if (setjmp(errors.exit) == 0) {
        jpeg_mem_src(&info, stream.data(), static_cast<unsigned long>(stream.size()));
        jpeg_read_header(&info, TRUE);
        // A bomb (libjpeg too would allocate its picture): not a clean stream for this test.
        if (static_cast<long long>(info.image_width) * info.image_height < (1LL << 26)) {
            bool grey = info.num_components == 1;
            bool ycc = info.jpeg_color_space == JCS_YCbCr && info.num_components == 3;
            if (grey || ycc) {
                info.out_color_space = grey ? JCS_GRAYSCALE : JCS_YCbCr;
                info.do_fancy_upsampling = FALSE;
                info.dct_method = JDCT_ISLOW;
                jpeg_start_decompress(&info);
                out.width = static_cast<int>(info.output_width);
                out.height = static_cast<int>(info.output_height);
                out.rgb.assign(static_cast<size_t>(out.width) * out.height, 0);
                out.overshoot.assign(out.rgb.size(), false);
                row.resize(static_cast<size_t>(out.width) * info.output_components);
                auto limit = [](int v) { return v > 255 ? 255 : v < 0 ? 0 : v; };
                while (info.output_scanline < info.output_height) {
                    size_t y = info.output_scanline;
                    JSAMPROW rows[1] = {row.data()};
                    jpeg_read_scanlines(&info, rows, 1);
                    for (int x = 0; x < out.width; x++) {
                        size_t at = y * out.width + x;
                        const unsigned char *p = &row[static_cast<size_t>(x) * (grey ? 1 : 3)];
                        if (grey) {
                            out.rgb[at] = p[0] * 0x010101;
                            continue;
                        }
                        int Y = p[0], cb = p[1], cr = p[2];
                        int r = limit((Y * 65536 + 91881 * (cr - 128)) >> 16);
                        int g = limit((Y * 65536 - 22553 * (cb - 128) - 46802 * (cr - 128)) >> 16);
                        int b = limit((Y * 65536 + 116130 * (cb - 128)) >> 16);
                        out.rgb[at] = (r << 16) | (g << 8) | b;
                        out.overshoot[at] = Y == 0 || Y == 255 || cb == 0 || cb == 255 ||
                                            cr == 0 || cr == 255;
                    }
                }
                jpeg_finish_decompress(&info);
                clean = errors.warnings == 0;
            }
        }
    }
    jpeg_destroy_decompress(&info);
    return clean;
}

// Why a stream lies outside the accepted subset, read from its segments up to SOS; empty
// when it lies inside (as far as the headers tell).
std::string refusal_reason(const bytes &s)
{
    size_t at = 2;
    bool jfif = false;
    int frame_components = 0;
    std::vector<int> sampling;
    if (s.size() < 4 || s[0] != 0xFF || s[1] != 0xD8)
        return "no SOI";
    while (at + 4 <= s.size()) {
        if (s[at] != 0xFF)
            return "bytes between segments";
        int code = s[at + 1];
        if (code == 0xFF)
            return "fill bytes between segments";
        size_t length = (s[at + 2] << 8) | s[at + 3];
        if (at + 2 + length > s.size())
            return "a segment runs past the end";
        const unsigned char *body = &s[at + 4];
        if (code == 0xE0) {
            if (length < 16 ||
                std::string(reinterpret_cast<const char *>(body), 5) != std::string("JFIF\0", 5))
                return "APP0 other than JFIF";
            if (body[5] != 1)
                return "JFIF major version other than 1";
            jfif = true;
        } else if (code >= 0xE1 && code <= 0xEF) {
            return "APP" + std::to_string(code - 0xE0);
        } else if (code == 0xDB) {
            for (size_t t = 0; t + 1 < length - 2; t += 65)
                if (body[t] >> 4)
                    return "16-bit quantisation table";
        } else if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 &&
                   code != 0xCC) {
            if (code == 0xC2 || code == 0xC6 || code == 0xCA || code == 0xCE)
                return "progressive";
            if (code == 0xC3 || code == 0xC7 || code == 0xCB || code == 0xCF)
                return "lossless";
            if (code >= 0xC9)
                return "arithmetic coding";
            if (code != 0xC0 && code != 0xC1)
                return "hierarchical frame";
            if (body[0] != 8)
                return "12-bit samples";
            frame_components = body[5];
            if (frame_components != 1 && frame_components != 3)
                return "CMYK or another count of components";
            for (int i = 0; i < frame_components; i++)
                sampling.push_back(body[7 + 3 * i]);
        } else if (code == 0xDA) {
            if (!jfif)
                return "no JFIF APP0";
            if (body[0] != frame_components)
                return "components in separate scans";
            if (at > static_cast<size_t>(jpeg_parts::SOS_LIMIT))
                return "SOS beyond 10000 bytes";
            if (frame_components == 3 && (sampling[1] != 0x11 || sampling[2] != 0x11))
                return "chroma sampled other than 1x1";
            if (frame_components == 3) {
                int h = sampling[0] >> 4, v = sampling[0] & 15;
                auto factor = [](int f) { return f == 1 || f == 2 || f == 4; };
                if (!factor(h) || !factor(v) || h * v > 8)
                    return "luma sampling without a layout";
            }
            return "";
        }
        at += 2 + length;
    }
    return "no SOS";
}

}  // namespace

TEST(Corpus, RealWorldFiles)
{
    const std::string folder = VELMORA_JPEG_CORPUS;
    const std::vector<std::string> names = corpus_files(folder);
    if (names.empty())
        GTEST_SKIP() << "skipped: no JPEG corpus at " << folder;
    start_allegro_for_decoding();
    set_color_depth(32);
    using namespace jpeg_parts;
    int decoded = 0, clean = 0, matched = 0, refused_clean = 0;
    std::map<std::string, int> reasons;  // of the clean streams refused
    for (const std::string &name : names) {
        SCOPED_TRACE(name);
        const bytes stream = read_file(folder + "/" + name);
        if (stream.empty())
            continue;  // a file of no bytes; decode_jpeg refuses a size of 0 (decoder test)
        std::vector<BITMAP *> pictures;
        for (int kernels = GENERIC_KERNELS; kernels <= widest_kernels(); kernels++) {
            force_kernels(kernel_set(kernels));
            // A private copy of exactly the file's bytes, so that ASan sees any read past it.
            unsigned char *copy = new unsigned char[stream.size()];
            std::copy(stream.begin(), stream.end(), copy);
            pictures.push_back(decode_jpeg(copy, static_cast<long>(stream.size()), nullptr));
            delete[] copy;
        }
        force_kernels(widest_kernels());
        BITMAP *picture = pictures[0];
        for (size_t k = 1; k < pictures.size(); k++) {
            ASSERT_EQ(!pictures[k], !picture) << "kernel set " << k << " differs in null";
            if (!picture)
                continue;
            ASSERT_EQ(pictures[k]->w, picture->w);
            ASSERT_EQ(pictures[k]->h, picture->h);
            for (int y = 0; y < picture->h; y++)
                ASSERT_EQ(std::memcmp(pictures[k]->line[y], picture->line[y], 4 * picture->w), 0)
                    << "kernel set " << k << " differs in row " << y;
        }
        for (size_t k = 1; k < pictures.size(); k++)
            if (pictures[k])
                destroy_bitmap(pictures[k]);
        if (picture) {
            decoded++;
            EXPECT_GT(picture->w, 0);
            EXPECT_GT(picture->h, 0);
        }
        peer_picture peer;
        if (clean_peer_decode(stream, peer)) {
            clean++;
            if (picture) {
                EXPECT_EQ(picture->w, peer.width);
                EXPECT_EQ(picture->h, peer.height);
                if (picture->w == peer.width && picture->h == peer.height) {
                    long differing = 0;
                    for (int y = 0; y < peer.height; y++)
                        for (int x = 0; x < peer.width; x++) {
                            size_t at = static_cast<size_t>(y) * peer.width + x;
                            if (pixel_rgb(picture, x, y) != peer.rgb[at] && !peer.overshoot[at])
                                differing++;
                        }
                    EXPECT_EQ(differing, 0) << "pixels that differ from libjpeg's";
                    matched += differing == 0;
                }
            } else {
                refused_clean++;
                std::string reason = refusal_reason(stream);
                reasons[reason]++;
                if (std::getenv("VELMORA_CORPUS_VERBOSE"))
                    std::printf("refused: %s: %s\n", name.c_str(), reason.c_str());
                EXPECT_NE(reason, "")
                    << "a clean stream inside the subset is refused";
            }
        }
        if (picture)
            destroy_bitmap(picture);
    }
    std::printf("corpus: %zu files, %d decoded; %d clean for libjpeg, of which %d decoded and "
                "matching, %d refused outside the subset\n",
                names.size(), decoded, clean, matched, refused_clean);
    for (const auto &reason : reasons)
        std::printf("  %3d %s\n", reason.second, reason.first.c_str());
}
