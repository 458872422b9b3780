// The structural check of resource files: what fits loads, what is cut short or lies about
// its sizes is refused before Allegro's loader, which would crash on it, reads it.
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "shell/catalogue.h"
#include "shell/datafile_check.h"
#include "shell/i_file.h"

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

// A mono font of the characters first..last, each glyph w x h.
static bytes mono_font(int first, int last, int w, int h)
{
    bytes f;
    put(f, 0, 2);
    put(f, 1, 2);
    f.push_back(1);
    put(f, first, 4);
    put(f, last, 4);
    for (int c = first; c <= last; c++) {
        put(f, w, 2);
        put(f, h, 2);
        f.insert(f.end(), (w + 7) / 8 * h, c & 1 ? 0xAA : 0x55);
    }
    return f;
}

// The catalogue's shape: 18 objects, fonts at 15 and 16, raw data elsewhere.
static bytes catalogue_file()
{
    bytes out;
    put_tag(out, "slh.");
    put_tag(out, "ALL.");
    put(out, CATALOGUE_SIZE, 4);
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        if (i == SMALL_FONT || i == LARGE_FONT)
            put_object(out, "FONT", mono_font(32, 126, 8, i == SMALL_FONT ? 14 : 34));
        else
            put_object(out, "DATA", bytes(100 + i, static_cast<unsigned char>(i)));
    }
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
        {"old font", "layout"}};
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
    bytes file;
    put_tag(file, "slh.");
    put_tag(file, "ALL.");
    put(file, 1, 4);
    put_object(file, "FILE", inner);
    EXPECT_EQ(check(file), nullptr);

    bytes broken = inner;
    broken[broken.size() - 20] ^= 0x40;  // a glyph near the end grows
    bytes bad;
    put_tag(bad, "slh.");
    put_tag(bad, "ALL.");
    put(bad, 1, 4);
    put_object(bad, "FILE", broken);
    EXPECT_NE(check(bad), nullptr) << "a damaged font inside a nested file";

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

TEST_F(DatafileCheck, LoadResourcesRefusesDamageAndKeepsNothing)
{
    bytes file = catalogue_file();
    bytes cut(file.begin(), file.begin() + file.size() / 2);
    const char *problem = load_resources(write_file(cut, "cut.dat").c_str());
    ASSERT_NE(problem, nullptr);
    EXPECT_NE(std::string(problem).find("cut short"), std::string::npos) << problem;
    EXPECT_EQ(resources, nullptr);

    ASSERT_EQ(load_resources(write_file(file, "whole.dat").c_str()), nullptr);
    EXPECT_EQ(text_height(small_font), 14);
    EXPECT_EQ(text_height(large_font), 34);
    unload_datafile(resources);
    resources = nullptr;
    std::remove("cut.dat");
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
