#include "tests/game/score_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>

namespace fs = std::filesystem;

std::string make_scratch_folder()
{
    std::string pattern = (fs::temp_directory_path() / "velmora-score-XXXXXX").string();
    char *made = mkdtemp(&pattern[0]);
    return made ? pattern : std::string();
}

void remove_scratch_folder(const std::string &folder)
{
    std::error_code ignored;
    if (!folder.empty()) {
        // A test may have left it read-only.
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder, ignored);
    }
}

void put_file(const std::string &path, const byte_list &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
}

byte_list file_bytes(const std::string &path, bool *exists)
{
    std::ifstream in(path, std::ios::binary);
    if (exists)
        *exists = in.is_open() && fs::is_regular_file(path);
    return byte_list(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> folder_names(const std::string &folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto &entry : fs::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
