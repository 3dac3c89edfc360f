// Loaded into a program under test with LD_PRELOAD, it writes down the file-system calls that decide what a power
// cut leaves on the disk, one line each, in the order they happen, to the file named by KELDA_FSREC_LOG:
//   PID W DEV:INO PATH             data written to a regular file (write, pwrite, copy_file_range, truncate ...)
//   PID S DEV:INO PATH             the data of a regular file synced (fsync, fdatasync)
//   PID D DEV:INO PATH             a folder synced
//   PID F DEV                      everything of a file system synced (syncfs; DEV "*" for sync)
//   PID N DEV:INO DIRDEV:DIRINO PATH   a name given to a file or folder (rename, link, creation, mkdir)
//   PID O                          a line for the person (standard output or error)
//   PID X                          a DELE sent to the unit
// Files are told by device and inode, so that a file is followed whatever names it passes through.
// With KELDA_FSREC_FAIL=sync, every sync of a regular file and every syncfs fails with EIO, as a failing disk
// answers.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static int log_fd = -2;
static int fail_sync = -1;

static void say(const char* format, ...) {
    if (log_fd == -2) {
        const char* path = getenv("KELDA_FSREC_LOG");
        log_fd = path ? (int)syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600) : -1;
    }
    if (log_fd < 0) {
        return;
    }
    char line[2 * PATH_MAX + 512];
    int n = snprintf(line, sizeof line, "%d ", (int)getpid());
    va_list args;
    va_start(args, format);
    n += vsnprintf(line + n, sizeof line - (size_t)n - 1, format, args);
    va_end(args);
    if (n > (int)sizeof line - 2) {
        n = (int)sizeof line - 2;
    }
    line[n++] = '\n';
    // One write of the whole line to a file opened for appending: the lines of several processes never mix.
    syscall(SYS_write, log_fd, line, (size_t)n);
}

static int failing_syncs(void) {
    if (fail_sync < 0) {
        const char* v = getenv("KELDA_FSREC_FAIL");
        fail_sync = v && strcmp(v, "sync") == 0;
    }
    return fail_sync;
}

static void path_of_fd(int fd, char* out, size_t size) {
    char self[64];
    snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(self, out, size - 1);
    out[n > 0 ? n : 0] = '\0';
}

static void wrote(int fd) {
    struct stat st;
    if (fd < 0 || fd == log_fd || fstat(fd, &st) != 0) {
        return;
    }
    if (S_ISREG(st.st_mode)) {
        char path[PATH_MAX];
        path_of_fd(fd, path, sizeof path);
        say("W %lu:%lu %s", (unsigned long)st.st_dev, (unsigned long)st.st_ino, path);
    } else if (fd == 1 || fd == 2) {
        say("O");
    }
}

// A name given under dirfd: the inode it names and the folder that holds it.
static void named(int dirfd, const char* name) {
    struct stat st, dir;
    if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return;
    }
    char folder[PATH_MAX];
    snprintf(folder, sizeof folder, "%s", name);
    char* slash = strrchr(folder, '/');
    if (slash == folder) {
        folder[1] = '\0';
    } else if (slash) {
        *slash = '\0';
    } else {
        strcpy(folder, ".");
    }
    if (fstatat(dirfd, folder, &dir, 0) != 0) {
        return;
    }
    char full[2 * PATH_MAX + 2];
    if (name[0] == '/' || dirfd == AT_FDCWD) {
        snprintf(full, sizeof full, "%s", name);
    } else {
        char base[PATH_MAX];
        path_of_fd(dirfd, base, sizeof base);
        snprintf(full, sizeof full, "%s/%s", base, name);
    }
    say("N %lu:%lu %lu:%lu %s", (unsigned long)st.st_dev, (unsigned long)st.st_ino, (unsigned long)dir.st_dev,
        (unsigned long)dir.st_ino, full);
}

#define NEXT(type, name, args) ((type(*) args)dlsym(RTLD_NEXT, name))

static int sync_one(int fd, int data_only) {
    struct stat st;
    const int known = fstat(fd, &st) == 0;
    if (known && S_ISREG(st.st_mode) && failing_syncs()) {
        errno = EIO;
        return -1;
    }
    const int r = data_only ? NEXT(int, "fdatasync", (int))(fd) : NEXT(int, "fsync", (int))(fd);
    if (r == 0 && known) {
        char path[PATH_MAX];
        path_of_fd(fd, path, sizeof path);
        say("%c %lu:%lu %s", S_ISDIR(st.st_mode) ? 'D' : 'S', (unsigned long)st.st_dev, (unsigned long)st.st_ino, path);
    }
    return r;
}

int fsync(int fd) {
    return sync_one(fd, 0);
}

int fdatasync(int fd) {
    return sync_one(fd, 1);
}

int syncfs(int fd) {
    if (failing_syncs()) {
        errno = EIO;
        return -1;
    }
    const int r = NEXT(int, "syncfs", (int))(fd);
    struct stat st;
    if (r == 0 && fstat(fd, &st) == 0) {
        say("F %lu", (unsigned long)st.st_dev);
    }
    return r;
}

void sync(void) {
    NEXT(void, "sync", (void))();
    say("F *");
}

ssize_t write(int fd, const void* data, size_t size) {
    const ssize_t r = NEXT(ssize_t, "write", (int, const void*, size_t))(fd, data, size);
    if (r > 0) {
        wrote(fd);
    }
    return r;
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t at) {
    const ssize_t r = NEXT(ssize_t, "pwrite", (int, const void*, size_t, off_t))(fd, data, size, at);
    if (r > 0) {
        wrote(fd);
    }
    return r;
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t at) {
    const ssize_t r = NEXT(ssize_t, "pwrite64", (int, const void*, size_t, off_t))(fd, data, size, at);
    if (r > 0) {
        wrote(fd);
    }
    return r;
}

ssize_t writev(int fd, const struct iovec* v, int n) {
    const ssize_t r = NEXT(ssize_t, "writev", (int, const struct iovec*, int))(fd, v, n);
    if (r > 0) {
        wrote(fd);
    }
    return r;
}

ssize_t pwritev(int fd, const struct iovec* v, int n, off_t at) {
    const ssize_t r = NEXT(ssize_t, "pwritev", (int, const struct iovec*, int, off_t))(fd, v, n, at);
    if (r > 0) {
        wrote(fd);
    }
    return r;
}

ssize_t copy_file_range(int in, off_t* in_at, int out, off_t* out_at, size_t size, unsigned int flags) {
    const ssize_t r = NEXT(ssize_t, "copy_file_range",
                           (int, off_t*, int, off_t*, size_t, unsigned int))(in, in_at, out, out_at, size, flags);
    if (r > 0) {
        wrote(out);
    }
    return r;
}

ssize_t sendfile(int out, int in, off_t* at, size_t size) {
    const ssize_t r = NEXT(ssize_t, "sendfile", (int, int, off_t*, size_t))(out, in, at, size);
    if (r > 0) {
        wrote(out);
    }
    return r;
}

int ftruncate(int fd, off_t size) {
    const int r = NEXT(int, "ftruncate", (int, off_t))(fd, size);
    if (r == 0) {
        wrote(fd);
    }
    return r;
}

int ftruncate64(int fd, off_t size) {
    const int r = NEXT(int, "ftruncate64", (int, off_t))(fd, size);
    if (r == 0) {
        wrote(fd);
    }
    return r;
}

int fallocate(int fd, int mode, off_t at, off_t size) {
    const int r = NEXT(int, "fallocate", (int, int, off_t, off_t))(fd, mode, at, size);
    if (r == 0) {
        wrote(fd);
    }
    return r;
}

size_t fwrite(const void* data, size_t size, size_t n, FILE* stream) {
    const size_t r = NEXT(size_t, "fwrite", (const void*, size_t, size_t, FILE*))(data, size, n, stream);
    if (r > 0 && (stream == stdout || stream == stderr)) {
        say("O");
    }
    return r;
}

int fputs(const char* text, FILE* stream) {
    const int r = NEXT(int, "fputs", (const char*, FILE*))(text, stream);
    if (r >= 0 && (stream == stdout || stream == stderr)) {
        say("O");
    }
    return r;
}

ssize_t send(int fd, const void* data, size_t size, int flags) {
    if (size >= 5 && memcmp(data, "DELE ", 5) == 0) {
        say("X");
    }
    return NEXT(ssize_t, "send", (int, const void*, size_t, int))(fd, data, size, flags);
}

int rename(const char* from, const char* to) {
    const int r = NEXT(int, "rename", (const char*, const char*))(from, to);
    if (r == 0) {
        named(AT_FDCWD, to);
    }
    return r;
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) {
    const int r = NEXT(int, "renameat", (int, const char*, int, const char*))(from_dir, from, to_dir, to);
    if (r == 0) {
        named(to_dir, to);
    }
    return r;
}

int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned int flags) {
    const int r =
        NEXT(int, "renameat2", (int, const char*, int, const char*, unsigned int))(from_dir, from, to_dir, to, flags);
    if (r == 0) {
        named(to_dir, to);
    }
    return r;
}

int link(const char* from, const char* to) {
    const int r = NEXT(int, "link", (const char*, const char*))(from, to);
    if (r == 0) {
        named(AT_FDCWD, to);
    }
    return r;
}

int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
    const int r = NEXT(int, "linkat", (int, const char*, int, const char*, int))(from_dir, from, to_dir, to, flags);
    if (r == 0) {
        named(to_dir, to);
    }
    return r;
}

int mkdir(const char* path, mode_t mode) {
    const int r = NEXT(int, "mkdir", (const char*, mode_t))(path, mode);
    if (r == 0) {
        named(AT_FDCWD, path);
    }
    return r;
}

int mkdirat(int dir, const char* path, mode_t mode) {
    const int r = NEXT(int, "mkdirat", (int, const char*, mode_t))(dir, path, mode);
    if (r == 0) {
        named(dir, path);
    }
    return r;
}

// A file created under its name by an open.
static int opened(int dir, const char* path, int flags, mode_t mode, const char* which) {
    struct stat st;
    const int creates = (flags & O_CREAT) && (flags & O_TMPFILE) != O_TMPFILE &&
                        fstatat(dir, path, &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
    const int fd = NEXT(int, which, (int, const char*, int, ...))(dir, path, flags, mode);
    if (fd >= 0 && creates) {
        named(dir, path);
    }
    return fd;
}

static int opened_cwd(const char* path, int flags, mode_t mode, const char* which) {
    struct stat st;
    const int creates =
        (flags & O_CREAT) && (flags & O_TMPFILE) != O_TMPFILE && lstat(path, &st) != 0 && errno == ENOENT;
    const int fd = NEXT(int, which, (const char*, int, ...))(path, flags, mode);
    if (fd >= 0 && creates) {
        named(AT_FDCWD, path);
    }
    return fd;
}

static mode_t mode_arg(int flags, va_list args) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_arg(flags, args);
    va_end(args);
    return opened_cwd(path, flags, mode, "open");
}

int open64(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_arg(flags, args);
    va_end(args);
    return opened_cwd(path, flags, mode, "open64");
}

int openat(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_arg(flags, args);
    va_end(args);
    return opened(dir, path, flags, mode, "openat");
}

int openat64(int dir, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_arg(flags, args);
    va_end(args);
    return opened(dir, path, flags, mode, "openat64");
}

int creat(const char* path, mode_t mode) {
    return opened_cwd(path, O_CREAT | O_WRONLY | O_TRUNC, mode, "open");
}
