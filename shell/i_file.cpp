#include "i_file.h"

#include <algorithm>

std::string native_file_name(const char *name)
{
    std::string path = name ? name : "";
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return path;
}
