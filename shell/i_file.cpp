#include "i_file.h"

#include <algorithm>
#include <cstdio>

std::string native_file_name(const char *name)
{
    std::string path = name ? name : "";
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}

bool read_whole_file(const std::string &path, std::vector<unsigned char> &bytes)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes.clear();
    unsigned char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    bool read_all = !std::ferror(file);
    std::fclose(file);
    return read_all;
}
