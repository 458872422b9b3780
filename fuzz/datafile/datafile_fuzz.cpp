// libFuzzer target: any bytes through the resource file check, and whatever it lets through
// into Allegro's loader, text drawing with every font, a blit of every bitmap and the unload,
// nested files included. None of these may crash, hang or read out of bounds.
#include <allegro.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "shell/datafile_check.h"

namespace {

// What the game draws and more: every printable ASCII character, characters no font of the
// game holds (so the missing-glyph path runs), and Czech letters in UTF-8.
const char *const TEXTS[] = {
    "Hudba: ON",
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`",
    "abcdefghijklmnopqrstuvwxyz{|}~",
    "\x01\x7F \xC3\xA1\xC4\x8D\xC5\x99 \xE2\x82\xAC",
};

// Where text and bitmaps land: inside the page, and cut by each of its edges.
const int SPOTS[][2] = {{2, 3}, {-5, -4}, {150, 90}, {-3, 95}};

std::string scratch_file;

void remove_scratch_file() { unlink(scratch_file.c_str()); }

// load_datafile reads only from a named file: one private file, rewritten for every input.
bool write_scratch_file(const uint8_t *data, size_t size)
{
    FILE *file = std::fopen(scratch_file.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

void draw_font(FONT *face, BITMAP *page)
{
    for (const char *text : TEXTS) {
        text_length(face, text);
        for (const auto &spot : SPOTS) {
            textout_ex(page, face, text, spot[0], spot[1], 0xFFFFFF, -1);
            textout_ex(page, face, text, spot[0], spot[1], -1, 0x102030);
        }
    }
    text_height(face);
}

void draw_objects(DATAFILE *objects, BITMAP *page)
{
    for (DATAFILE *object = objects; object->type != DAT_END; object++) {
        if (object->type == DAT_FILE) {
            draw_objects(static_cast<DATAFILE *>(object->dat), page);
        } else if (object->type == DAT_FONT) {
            draw_font(static_cast<FONT *>(object->dat), page);
        } else if (object->type == DAT_BITMAP) {
            BITMAP *picture = static_cast<BITMAP *>(object->dat);
            for (const auto &spot : SPOTS)
                blit(picture, page, 0, 0, spot[0], spot[1], picture->w, picture->h);
        }
    }
}

void start()
{
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    const char *folder = std::getenv("TMPDIR");
    scratch_file = std::string(folder && *folder ? folder : "/tmp") + "/velmora-datafile-fuzz-" +
                   std::to_string(getpid()) + ".dat";
    std::atexit(remove_scratch_file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static BITMAP *page = nullptr;
    if (!page) {
        start();
        page = create_bitmap(160, 100);
    }
    if (check_datafile(data, size) || !write_scratch_file(data, size))
        return 0;
    if (DATAFILE *objects = load_datafile(scratch_file.c_str())) {
        draw_objects(objects, page);
        unload_datafile(objects);
    }
    return 0;
}
