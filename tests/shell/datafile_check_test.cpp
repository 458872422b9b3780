// The structural check of resource files: what fits loads, what is cut short or lies about
// its sizes is refused before Allegro's loader, which would crash on it, reads it.
#include <algorithm>
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "shell/catalogue.h"
#include "shell/datafile_check.h"
#include "platform/i_file.h"

typedef std::vector<unsigned char> bytes;

static void put(bytes &out, unsigned v, int n)
{
    for (int shift = 8 * (n - 1); shift >= 0; shift -= 8)
        out.push_back((v >> shift) & 0xFF);
}

static void put_tag(bytes &out, const char *t) { out.insert(out.end(), t, t + 4); }

// An object with a name property and its chunk stored as it is.
static void put_object(bytes &out, const char *type, const bytes &data)
{
    put_tag(out, "prop");
    put_tag(out, "NAME");
    put(out, 1, 4);
    out.push_back('X');
    put_tag(out, type);
    put(out, data.size(), 4);
    put(out, data.size(), 4);
    out.insert(out.end(), data.begin(), data.end());
}

// A mono font of the characters first..last, each glyph w x h; 1 and 255 both mark mono.
static bytes mono_font(int first, int last, int w, int h, int depth = 1)
{
    bytes f;
    put(f, 0, 2);
    put(f, 1, 2);
    f.push_back(depth);
    put(f, first, 4);
    put(f, last, 4);
    for (int c = first; c <= last; c++) {
        put(f, w, 2);
        put(f, h, 2);
        f.insert(f.end(), (w + 7) / 8 * h, c & 1 ? 0xAA : 0x55);
    }
    return f;
}

// An image chunk: the depth word if any, width, height and `pixel_bytes` bytes per pixel.
static bytes image(int depth, int w, int h, int pixel_bytes)
{
    bytes b;
    if (depth)
        put(b, depth & 0xFFFF, 2);
    put(b, w, 2);
    put(b, h, 2);
    b.insert(b.end(), w * h * pixel_bytes, 0x3C);
    return b;
}

// The catalogue's shape: 18 objects, fonts at 15 and 16, JPEG-headed raw data elsewhere;
// object `odd`, if any, replaced by one of type `odd_type`.
static bytes catalogue_file(int odd = -1, const char *odd_type = "", const bytes &odd_chunk = {})
{
    bytes out;
    put_tag(out, "slh.");
    put_tag(out, "ALL.");
    put(out, CATALOGUE_SIZE, 4);
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        bytes picture(100 + i, static_cast<unsigned char>(i));
        picture[0] = 0xFF;
        picture[1] = 0xD8;
        if (i == odd)
            put_object(out, odd_type, odd_chunk);
        else if (i == SMALL_FONT || i == LARGE_FONT)
            put_object(out, "FONT", mono_font(32, 126, 8, i == SMALL_FONT ? 14 : 34));
        else
            put_object(out, "DATA", picture);
    }
    return out;
}

// A file of the one object.
static bytes file_of(const char *type, const bytes &chunk)
{
    bytes out = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.'};
    put(out, 1, 4);
    put_object(out, type, chunk);
    return out;
}

static const char *check(const bytes &b) { return check_datafile(b.data(), b.size()); }

static std::string write_file(const bytes &b, const char *name)
{
    FILE *f = std::fopen(name, "wb");
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
    return name;
}

class DatafileCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
    }
};

TEST_F(DatafileCheck, WellFormedFilesPassAndEveryCutIsRefused)
{
    bytes file = catalogue_file();
    ASSERT_EQ(check(file), nullptr);
    for (size_t cut = 0; cut < file.size(); cut++) {
        bytes part(file.begin(), file.begin() + cut);
        ASSERT_NE(check(part), nullptr) << "cut at " << cut << " of " << file.size();
    }
    // What lies after the last object is never read.
    file.push_back(0);
    EXPECT_EQ(check(file), nullptr);
}

TEST_F(DatafileCheck, SizesThatLieAreRefused)
{
    bytes file = catalogue_file();
    // Each damage, and the words of the message it must give.
    const std::pair<std::string, std::string> cases[] = {
        {"compressed file", "is compressed"},      {"compressed object", "compressed object"},
        {"object larger", "cut short"},            {"glyph larger", "runs past the end"},
        {"no ranges", "no characters"},            {"reversed range", "range is not valid"},
        {"old font", "layout"},                    {"untyped property", "property without a type"}};
    for (const auto &[what, message] : cases) {
        bytes b = file;
        // Object 0 starts after the magic, the count and its 13-byte property.
        size_t stored = 12 + 13 + 4;
        size_t font = stored;  // the first font's chunk, found by walking the objects
        for (int i = 0; i < SMALL_FONT; i++)
            font += 4 + 4 + (100 + i) + 13 + 4;
        font += 8;
        if (what == "compressed file")
            b[3] = '!';
        else if (what == "compressed object")
            b[stored + 4] = 0xFF;  // an unpacked size that differs: a packed chunk
        else if (what == "object larger")
            b[stored] = b[stored + 4] = 0x10;
        else if (what == "glyph larger")
            b[font + 13 + 2] = 0x7F;  // the first glyph's height
        else if (what == "no ranges")
            b[font + 3] = 0;
        else if (what == "reversed range")
            b[font + 8] = 0xFF;  // first character far above the last
        else if (what == "old font")
            b[font + 1] = 8;
        else if (what == "untyped property")
            std::fill(b.begin() + 16, b.begin() + 20, 0xFF);  // object 0's NAME tag
        const char *problem = check(b);
        ASSERT_NE(problem, nullptr) << what;
        EXPECT_NE(std::string(problem).find(message), std::string::npos) << what << ": " << problem;
    }
}

TEST_F(DatafileCheck, NestedFilesAreWalkedToABoundedDepth)
{
    bytes inner;
    put(inner, 1, 4);
    put_object(inner, "FONT", mono_font(65, 66, 5, 7));
    EXPECT_EQ(check(file_of("FILE", inner)), nullptr);

    bytes broken = inner;
    broken[broken.size() - 20] ^= 0x40;  // a glyph near the end grows
    EXPECT_NE(check(file_of("FILE", broken)), nullptr) << "a damaged font inside a nested file";

    bytes deep;
    put(deep, 0, 4);
    for (int level = 0; level < 20; level++) {
        bytes outer;
        put(outer, 1, 4);
        put_object(outer, "FILE", deep);
        deep = outer;
    }
    bytes top = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.'};
    top.insert(top.end(), deep.begin(), deep.end());
    EXPECT_NE(check(top), nullptr);
}

// Each type the loader builds a structure from passes whole and is refused when its chunk
// lacks any byte the loader reads.
TEST_F(DatafileCheck, ParsedObjectsMustHoldAllTheLoaderReads)
{
    bytes sample = {0xFF, 0xF0, 0x56, 0x22, 0, 0, 0, 3};  // 16-bit stereo, 3 frames
    sample.resize(sample.size() + 3 * 2 * 2);
    bytes midi = {0, 96};  // track 0 of 5 bytes, 31 empty tracks
    for (int track = 0; track < 32; track++) {
        put(midi, track ? 0 : 5, 4);
        midi.insert(midi.end(), track ? 0 : 5, 0x90);
    }
    bytes colour_font = {0, 0, 0, 1, 16, 0, 0, 0, 'A', 0, 0, 0, 'B'};  // one range, 16 bits
    for (const bytes &glyph : {image(0, 3, 2, 2), image(0, 1, 4, 2)})
        colour_font.insert(colour_font.end(), glyph.begin(), glyph.end());
    const std::pair<const char *, bytes> objects[] = {
        {"BMP ", image(8, 3, 2, 1)},  {"BMP ", image(32, 3, 2, 3)}, {"CMP ", image(-32, 2, 2, 4)},
        {"XCMP", image(16, 2, 3, 2)}, {"SAMP", sample},             {"MIDI", midi},
        {"FONT", colour_font},        {"FONT", mono_font(65, 67, 9, 2, 255)}};
    for (const auto &[type, chunk] : objects) {
        ASSERT_EQ(check(file_of(type, chunk)), nullptr) << type;
        for (size_t cut = 0; cut < chunk.size(); cut++)
            ASSERT_NE(check(file_of(type, bytes(chunk.begin(), chunk.begin() + cut))), nullptr)
                << type << " cut at " << cut << " of " << chunk.size();
    }
    // Refused whole: an RLE sprite, an object typed -1, the old 4-bit planar bitmap.
    for (const char *type : {"RLE ", "\xFF\xFF\xFF\xFF", "BMP "})
        EXPECT_NE(check(file_of(type, image(type[0] == 'B' ? 4 : 8, 2, 2, 1))), nullptr) << type;
}

// Fonts that Allegro loads but cannot survive: it draws and frees every glyph as the kind of
// the font's last range, so ranges of both kinds crash; and its glyph drawer runs on past a
// mono glyph that has rows but no width. Refused alone and as the game's small font.
TEST_F(DatafileCheck, FontsAllegroCannotDrawAreRefused)
{
    bytes colour_range = {16, 0, 0, 0, 'C', 0, 0, 0, 'C'};
    bytes glyph = image(0, 2, 3, 2);
    colour_range.insert(colour_range.end(), glyph.begin(), glyph.end());
    bytes mono_then_colour = mono_font(65, 66, 5, 7);
    mono_then_colour[3] = 2;  // a second range follows
    mono_then_colour.insert(mono_then_colour.end(), colour_range.begin(), colour_range.end());
    bytes colour_then_mono = {0, 0, 0, 2};
    colour_then_mono.insert(colour_then_mono.end(), colour_range.begin(), colour_range.end());
    bytes mono = mono_font(65, 66, 5, 7);
    colour_then_mono.insert(colour_then_mono.end(), mono.begin() + 4, mono.end());
    const std::pair<bytes, std::string> fonts[] = {
        {mono_then_colour, "mixes mono and colour"},
        {colour_then_mono, "mixes mono and colour"},
        {mono_font(65, 67, 0, 1), "rows but no width"}};
    for (const auto &[font, message] : fonts) {
        const char *problem = check(file_of("FONT", font));
        ASSERT_NE(problem, nullptr) << message;
        EXPECT_NE(std::string(problem).find(message), std::string::npos) << problem;
        write_file(catalogue_file(SMALL_FONT, "FONT", font), "font.dat");
        EXPECT_STREQ(load_resources("font.dat"), problem);
    }
    // Glyphs with neither width nor rows draw nothing and pass.
    EXPECT_EQ(check(file_of("FONT", mono_font(65, 67, 0, 0))), nullptr);
    std::remove("font.dat");
}

TEST_F(DatafileCheck, LoadResourcesRefusesDamageAndKeepsNothing)
{
    bytes file = catalogue_file();
    bytes cut(file.begin(), file.begin() + file.size() / 2);
    const char *problem = load_resources(write_file(cut, "cut.dat").c_str());
    ASSERT_NE(problem, nullptr);
    EXPECT_NE(std::string(problem).find("cut short"), std::string::npos) << problem;
    EXPECT_EQ(resources, nullptr);

    // A picture position holding a bitmap (whose width in memory reads FF D8 like a JPEG's
    // start), a font, or raw bytes that open no JPEG stream.
    const std::tuple<int, const char *, bytes> odd[] = {
        {0, "BMP ", image(8, 0xD8FF, 1, 1)}, {5, "FONT", mono_font(65, 65, 1, 1)},
        {SECOND_PAGE, "PAL ", bytes(1024, 0x3F)}};
    for (const auto &[index, type, chunk] : odd) {
        problem = load_resources(write_file(catalogue_file(index, type, chunk), "odd.dat").c_str());
        ASSERT_NE(problem, nullptr) << index;
        EXPECT_EQ(std::string(problem), "object " + std::to_string(index) +
                                            " of the resource file is not a JPEG picture");
        EXPECT_EQ(resources, nullptr);
    }

    ASSERT_EQ(load_resources(write_file(file, "whole.dat").c_str()), nullptr);
    EXPECT_EQ(text_height(small_font), 14);
    EXPECT_EQ(text_height(large_font), 34);
    unload_datafile(resources);
    resources = nullptr;
    std::remove("cut.dat");
    std::remove("odd.dat");
    std::remove("whole.dat");
}

// The game's own file: it passes, every cut of it is refused, and whatever passes after
// random damage loads without a crash.
TEST_F(DatafileCheck, TheGamesFileAndDamageToIt)
{
    bytes file;
    if (!read_whole_file(std::string(VELMORA_GAME_DIR) + "/velmora.dat", file))
        GTEST_SKIP() << "velmora.dat is not built here";
    ASSERT_EQ(check(file), nullptr);
    for (size_t cut = 0; cut < file.size(); cut += 1 + cut / 64)
        ASSERT_NE(check(bytes(file.begin(), file.begin() + cut)), nullptr) << "cut at " << cut;

    std::mt19937 random(7);
    int loaded = 0;
    for (int round = 0; round < 60; round++) {
        bytes damaged = file;
        for (int flip = 0; flip < 4; flip++)
            damaged[random() % damaged.size()] ^= 1 << (random() % 8);
        if (check(damaged))
            continue;
        if (DATAFILE *d = load_datafile(write_file(damaged, "damaged.dat").c_str())) {
            unload_datafile(d);
            loaded++;
        }
    }
    std::remove("damaged.dat");
    EXPECT_GT(loaded, 0) << "damage inside pictures leaves a file that loads";
}
