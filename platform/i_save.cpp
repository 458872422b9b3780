#include "platform/i_save.h"
#include "platform/i_signals.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
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

// What a temporary file's name adds to the name it replaces, before "<pid>-<attempt>".
static const char TEMPORARY_MARK[] = ".new";

// A new file beside `path`, created with mode 0664 less the umask, as any new file of the
// game's would be. (mkstemp would make it private.) -1 when the folder refuses it.
static int create_temporary(const std::string &path, std::string &temp)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        temp = path + TEMPORARY_MARK + std::to_string(getpid()) + "-" + std::to_string(attempt);
        int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0664);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Where no temporary file can be made beside an existing, writable file, the file is
// rewritten in place: the new bytes go over the old ones before the tail is cut, so a
// crash midway leaves at worst a mixture of two records of the same length, never less.
// Only a regular file that is `path` itself is rewritten: a symbolic link there would hand
// its target to the save, and a second hard link some other name's contents. Opening does
// not wait on a FIFO.
static bool rewrite_in_place(const char *path, const unsigned char *bytes, size_t count)
{
    int fd = open(path, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    bool written = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
                   write_all(fd, bytes, count) && ftruncate(fd, static_cast<off_t>(count)) == 0 &&
                   fsync(fd) == 0;
    return close(fd) == 0 && written;
}

// The process id in `name` when it is `prefix` followed by "<pid>-<attempt>", the name of a
// temporary file of create_temporary; else 0.
static pid_t temporary_owner(const std::string &name, const std::string &prefix)
{
    if (name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    std::string rest = name.substr(prefix.size());
    size_t dash = rest.find('-');
    bool well_formed = dash > 0 && dash <= 9 && dash + 1 < rest.size() &&
                       rest.find_first_not_of("0123456789-") == std::string::npos &&
                       rest.find('-', dash + 1) == std::string::npos;
    return well_formed ? static_cast<pid_t>(std::strtol(rest.c_str(), nullptr, 10)) : 0;
}

// A save killed between making its temporary file and the rename leaves that file behind.
// Those of processes that no longer run are removed; a running one may be saving right now.
static void clear_leftovers(const std::string &path)
{
    DIR *folder = opendir(folder_of(path).c_str());
    if (!folder)
        return;
    std::string prefix = path.substr(path.rfind('/') + 1) + TEMPORARY_MARK;
    while (const dirent *entry = readdir(folder)) {
        pid_t owner = temporary_owner(entry->d_name, prefix);
        if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH)
            unlinkat(dirfd(folder), entry->d_name, 0);
    }
    closedir(folder);
}

static bool replace_file(const char *path, const unsigned char *bytes, size_t count)
{
    clear_leftovers(path);
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

#endif

// A stop request, or the player closing the window, waits until the file is replaced, so
// that no temporary is left behind and the record is whole.
bool replace_file_atomically(const char *path, const unsigned char *bytes, size_t count)
{
    hold_stop_signals();
    bool saved = replace_file(path, bytes, count);
    release_stop_signals();
    return saved;
}
