#include "platform/i_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#endif

#ifdef _WIN32

static const char SEPARATOR = '\\';

static std::string executable_folder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string exe(path, length < sizeof path ? length : 0);
    size_t slash = exe.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

// Whether a new file can be made in `folder`: making one is the only sure test of what the
// folder's access rules and its medium allow. The probe is gone once its handle closes.
static bool can_write_in(const std::string &folder)
{
    std::string probe = folder + "\\velmora-write-test.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// The player's highscore stays beside the executable while that folder can be written, so a
// portable copy keeps its record; otherwise (under Program Files, say) it goes where Windows
// programs keep such files, %APPDATA%\velmora.
static std::string player_folder(const std::string &own)
{
    char appdata[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("APPDATA", appdata, sizeof appdata);
    if (can_write_in(own) || length == 0 || length >= sizeof appdata)
        return own;
    std::string folder = std::string(appdata) + "\\velmora";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// The game's files live beside the executable, whatever folder the game was started from.
// The player's folder is chosen on the first use, when the highscore is read.
static std::string folder_for(file_owner owner)
{
    static const std::string own = executable_folder();
    if (owner == GAME_FILE)
        return own;
    static const std::string player = player_folder(own);
    return player;
}

#else

static const char SEPARATOR = '/';

// Debian's home for accounts that have none: nothing can be made under it.
static const char *const NO_HOME = "/nonexistent";

static bool is_folder(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

static bool is_absolute(const char *path)
{
    return path && path[0] == '/';
}

game_folders find_game_folders(const std::string &exe, const char *xdg_data_home,
                               const char *home)
{
    std::string own = exe.substr(0, exe.rfind('/'));
    if (access((own + "/velmora.dat").c_str(), F_OK) == 0)
        return {own, own};
    std::string data = own + "/../share/games/velmora";
    if (!is_folder(data))
        return {};
    // Relative values are invalid for XDG and are ignored, as its base directory rules say.
    std::string base = is_absolute(xdg_data_home)
                           ? std::string(xdg_data_home)
                           : std::string(is_absolute(home) ? home : NO_HOME) + "/.local/share";
    return {data, base + "/velmora"};
}

bool make_folder(const std::string &folder)
{
    for (size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        // An existing part, folder or not, answers EEXIST; the last check tells which.
        if (mkdir(folder.substr(0, end).c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (end == std::string::npos)
            return is_folder(folder);
    }
}

// The running executable with symbolic links resolved, so that a link to the game in
// another folder still finds the tree it belongs to; empty when it cannot be told.
static std::string executable_path()
{
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    return length > 0 && length < static_cast<ssize_t>(sizeof path) ? std::string(path, length)
                                                                    : std::string();
}

static const char *home_folder()
{
    const char *home = std::getenv("HOME");
    if (is_absolute(home))
        return home;
    const passwd *account = getpwuid(getuid());
    return account ? account->pw_dir : nullptr;
}

// Looked up once, on the first file the game opens. A player's folder that cannot be made
// only means that the highscore cannot be saved.
static game_folders host_game_folders()
{
    std::string exe = executable_path();
    if (exe.empty())
        return {};
    game_folders folders = find_game_folders(exe, std::getenv("XDG_DATA_HOME"), home_folder());
    if (folders.player != folders.data)
        make_folder(folders.player);
    return folders;
}

static std::string folder_for(file_owner owner)
{
    static const game_folders folders = host_game_folders();
    return owner == PLAYER_FILE ? folders.player : folders.data;
}

#endif

std::string native_file_name(const char *name, file_owner owner)
{
    std::string path = name ? name : "";
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    std::string folder = folder_for(owner);
    return folder.empty() || path.empty() ? path : folder + SEPARATOR + path;
}

#ifdef _WIN32

// No named pipe or device can stand at one of the game's file names here (pipes have a
// namespace of their own, device names are reserved), and fopen refuses a folder; whatever
// else opens is still refused unless it is a regular file.
static FILE *open_regular_file(const std::string &path)
{
    FILE *file = std::fopen(path.c_str(), "rb");
    struct _stat info;
    if (file && (_fstat(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

#else

// Opened without waiting (a FIFO would wait for a writer, some devices for a carrier), then
// kept only when it is a regular file.
static FILE *open_regular_file(const std::string &path)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    FILE *file = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, "rb") : nullptr;
    if (!file)
        close(fd);
    return file;
}

#endif

bool read_file_start(const std::string &path, std::vector<unsigned char> &bytes, size_t limit)
{
    FILE *file = open_regular_file(path);
    if (!file)
        return false;
    bytes.clear();
    unsigned char block[65536];
    size_t got;
    while (bytes.size() < limit &&
           (got = std::fread(block, 1, std::min(sizeof block, limit - bytes.size()), file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    bool read_all = !std::ferror(file);
    std::fclose(file);
    return read_all;
}

bool read_whole_file(const std::string &path, std::vector<unsigned char> &bytes)
{
    return read_file_start(path, bytes, SIZE_MAX);
}
