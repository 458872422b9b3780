// Saving a small file so that it is either wholly replaced or left as it was.
#ifndef VELMORA_I_SAVE_H
#define VELMORA_I_SAVE_H

#include <cstddef>

// Writes `count` bytes to a new file beside `path` (same folder), flushes it to the disk and
// renames it over `path`. A replaced file keeps its permission bits; a new one gets mode 0664
// less the umask. On any failure the temporary file is removed, whatever stood at `path` stays
// untouched, and the result is false. Where the folder allows no new file but `path` is a
// writable regular file (not a symbolic link, not linked under another name), `path` is
// rewritten in place instead. Temporary files left beside `path` by saves of processes that
// were killed are removed first.
// On Windows the temporary file is `path`.new, a fixed name the next save overwrites, so
// nothing is left to remove; and there is no in-place rewrite: where the folder allows no new
// file, the save fails.
// Call it on the main thread (the results screen does). The save holds stop signals while it
// writes (i_signals.h), so that a stop request or the window's close waits for a whole file;
// on POSIX hosts that hold masks the signals of the calling thread only, and the signals are
// delivered to the main thread, so a save from any other thread can be cut off halfway.
bool replace_file_atomically(const char *path, const unsigned char *bytes, size_t count);

#endif
