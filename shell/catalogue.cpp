#include "shell/catalogue.h"

#include "jpeg/jpeg.h"
#include "shell/datafile_check.h"
#include "shell/i_file.h"

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
    const char *problem = nullptr;
    if (object_count(loaded) < CATALOGUE_SIZE)
        problem = "the resource file holds fewer than 18 objects";
    else if (loaded[SMALL_FONT].type != DAT_FONT || loaded[LARGE_FONT].type != DAT_FONT)
        problem = "objects 15 and 16 of the resource file are not fonts";
    if (problem) {
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
