#include "shell/catalogue.h"

#include <cstdio>

#include "jpeg/jpeg.h"
#include "shell/datafile_check.h"
#include "platform/i_file.h"

DATAFILE *resources = nullptr;
FONT *small_font = nullptr;
FONT *large_font = nullptr;
FSOUND_SAMPLE *type_sample = nullptr;
FSOUND_SAMPLE *bell_sample = nullptr;

static int object_count(const DATAFILE *file)
{
    int count = 0;
    while (file[count].type != DAT_END)
        count++;
    return count;
}

// A picture is handed to the decoder as the object's data and size, so it must be bytes the
// loader kept as they are (not a bitmap or sample it built), and they must open a JPEG stream.
static bool holds_jpeg(const DATAFILE &object)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(object.dat);
    return datafile_object_is_raw(object.type) && object.size >= 2 && bytes[0] == 0xFF &&
           bytes[1] == 0xD8;
}

// Null when the loaded file has the catalogue's shape, else what is wrong.
static const char *catalogue_problem(const DATAFILE *loaded)
{
    static char message[80];
    if (object_count(loaded) < CATALOGUE_SIZE) {
        snprintf(message, sizeof message, "the resource file holds fewer than %d objects",
                 CATALOGUE_SIZE);
        return message;
    }
    if (loaded[SMALL_FONT].type != DAT_FONT || loaded[LARGE_FONT].type != DAT_FONT) {
        snprintf(message, sizeof message, "objects %d and %d of the resource file are not fonts",
                 SMALL_FONT, LARGE_FONT);
        return message;
    }
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        if (!is_font_object(i) && !holds_jpeg(loaded[i])) {
            snprintf(message, sizeof message,
                     "object %d of the resource file is not a JPEG picture", i);
            return message;
        }
    }
    return nullptr;
}

const char *load_resources(const char *file)
{
    std::string path = native_file_name(file);
    std::vector<unsigned char> bytes;
    if (!read_whole_file(path, bytes))
        return "the resource file is missing or cannot be read";
    if (const char *damage = check_datafile(bytes.data(), bytes.size()))
        return damage;
    DATAFILE *loaded = load_datafile(path.c_str());
    if (!loaded)
        return "the resource file cannot be loaded";
    if (const char *problem = catalogue_problem(loaded)) {
        unload_datafile(loaded);
        return problem;
    }
    resources = loaded;
    small_font = static_cast<FONT *>(resources[SMALL_FONT].dat);
    large_font = static_cast<FONT *>(resources[LARGE_FONT].dat);
    return nullptr;
}

BITMAP *decode_catalogue_picture(int index)
{
    if (!resources || index < 0 || index >= CATALOGUE_SIZE)
        return nullptr;
    const DATAFILE &object = resources[index];
    return decode_jpeg(static_cast<const unsigned char *>(object.dat), object.size, nullptr);
}
