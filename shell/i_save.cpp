#include "shell/i_save.h"

#include <cerrno>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

bool replace_file_atomically(const char *path, const unsigned char *bytes, size_t count)
{
    std::string temp = std::string(path) + ".new";
    FILE *file = fopen(temp.c_str(), "wb");
    if (!file)
        return false;
    bool written = fwrite(bytes, 1, count, file) == count && fflush(file) == 0 &&
                   _commit(_fileno(file)) == 0;
    written = fclose(file) == 0 && written;
    if (!written || !MoveFileExA(temp.c_str(), path,
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        remove(temp.c_str());
        return false;
    }
    return true;
}

#else

static bool write_all(int fd, const unsigned char *bytes, size_t count)
{
    while (count > 0) {
        ssize_t done = write(fd, bytes, count);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        count -= static_cast<size_t>(done);
    }
    return true;
}

static std::string folder_of(const std::string &path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename itself is only durable once the folder's entry is on the disk too. The new
// file is already in place by then, so a failure here is not a failed save.
static void sync_folder(const std::string &path)
{
    int fd = open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

bool replace_file_atomically(const char *path, const unsigned char *bytes, size_t count)
{
    std::string temp = std::string(path) + ".XXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0)
        return false;
    // mkstemp makes the file private; the saved file is shared with the group as a
    // freshly created one would be, whatever the umask.
    bool written = fchmod(fd, 0664) == 0 && write_all(fd, bytes, count) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temp.c_str(), path) != 0) {
        unlink(temp.c_str());
        return false;
    }
    sync_folder(path);
    return true;
}

#endif
