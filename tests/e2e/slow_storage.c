// Storage that stalls, for the end-to-end tests: preloaded into the program, it makes every
// open, stat, access and directory listing of a path matching SLOW_STORAGE_PATTERN (a shell
// pattern, "*" also matching "/") sleep SLOW_STORAGE_SECONDS (fractional) before it goes on,
// on the thread that asked, as a dead network share or a waking disk would.
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static void stall(const char* path)
{
    const char* pattern = getenv("SLOW_STORAGE_PATTERN");
    const char* seconds = getenv("SLOW_STORAGE_SECONDS");
    if (!path || !pattern || !*pattern || fnmatch(pattern, path, 0) != 0)
        return;
    const double s = seconds ? atof(seconds) : 1.0;
    struct timespec t = {(time_t)s, (long)((s - (double)(time_t)s) * 1e9)};
    while (nanosleep(&t, &t) != 0) { }
}

// The next definition of a function after ours: libc's, or another preloaded library's.
#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

// open and openat take a mode only when they create a file.
static mode_t mode_of(int flags, va_list args)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_of(flags, args);
    va_end(args);
    stall(path);
    return NEXT(open)(path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_of(flags, args);
    va_end(args);
    stall(path);
    return NEXT(open64)(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_of(flags, args);
    va_end(args);
    stall(path);
    return NEXT(openat)(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_of(flags, args);
    va_end(args);
    stall(path);
    return NEXT(openat64)(dir, path, flags, mode);
}

FILE* fopen(const char* path, const char* how)
{
    stall(path);
    return NEXT(fopen)(path, how);
}

FILE* fopen64(const char* path, const char* how)
{
    stall(path);
    return NEXT(fopen64)(path, how);
}

int stat(const char* path, struct stat* st)
{
    stall(path);
    return NEXT(stat)(path, st);
}

int lstat(const char* path, struct stat* st)
{
    stall(path);
    return NEXT(lstat)(path, st);
}

int stat64(const char* path, struct stat64* st)
{
    stall(path);
    return NEXT(stat64)(path, st);
}

int lstat64(const char* path, struct stat64* st)
{
    stall(path);
    return NEXT(lstat64)(path, st);
}

int fstatat(int dir, const char* path, struct stat* st, int flags)
{
    stall(path);
    return NEXT(fstatat)(dir, path, st, flags);
}

int fstatat64(int dir, const char* path, struct stat64* st, int flags)
{
    stall(path);
    return NEXT(fstatat64)(dir, path, st, flags);
}

int statx(int dir, const char* path, int flags, unsigned int mask, struct statx* st)
{
    stall(path);
    return NEXT(statx)(dir, path, flags, mask, st);
}

DIR* opendir(const char* path)
{
    stall(path);
    return NEXT(opendir)(path);
}

int access(const char* path, int how)
{
    stall(path);
    return NEXT(access)(path, how);
}

int faccessat(int dir, const char* path, int how, int flags)
{
    stall(path);
    return NEXT(faccessat)(dir, path, how, flags);
}
