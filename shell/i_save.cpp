#include "shell/i_save.h"
#include "shell/i_signals.h"

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

static bool replace_file(const char *path, const unsigned char *bytes, size_t count)
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

bool replace_file_atomically(const char *path, const unsigned char *bytes, size_t count)
{
    // Closing the window waits until the file is replaced.
    hold_stop_signals();
    bool saved = replace_file(path, bytes, count);
    release_stop_signals();
    return saved;
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

// A new file beside `path`, created with mode 0664 less the umask, as any new file of the
// game's would be. (mkstemp would make it private.) -1 when the folder refuses it.
static int create_temporary(const std::string &path, std::string &temp)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        temp = path + ".new" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0664);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Where no temporary file can be made beside an existing, writable file, the file is
// rewritten in place: the new bytes go over the old ones before the tail is cut, so a
// crash midway leaves at worst a mixture of two records of the same length, never less.
static bool rewrite_in_place(const char *path, const unsigned char *bytes, size_t count)
{
    int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool written = write_all(fd, bytes, count) && ftruncate(fd, static_cast<off_t>(count)) == 0 &&
                   fsync(fd) == 0;
    return close(fd) == 0 && written;
}

static bool replace_file(const char *path, const unsigned char *bytes, size_t count)
{
    std::string temp;
    int fd = create_temporary(path, temp);
    if (fd < 0)
        return rewrite_in_place(path, bytes, count);
    // A file being replaced keeps its permission bits; a new one keeps those it was made with.
    struct stat old_file;
    bool kept_mode = stat(path, &old_file) != 0 || fchmod(fd, old_file.st_mode & 07777) == 0;
    bool written = kept_mode && write_all(fd, bytes, count) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temp.c_str(), path) != 0) {
        unlink(temp.c_str());
        return false;
    }
    sync_folder(path);
    return true;
}

bool replace_file_atomically(const char *path, const unsigned char *bytes, size_t count)
{
    // A stop request waits until the file is replaced, so that no temporary is left behind.
    hold_stop_signals();
    bool saved = replace_file(path, bytes, count);
    release_stop_signals();
    return saved;
}

#endif
