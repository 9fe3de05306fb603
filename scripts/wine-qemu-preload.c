/*
 * Preloaded into Wine's 32-bit processes when qemu-i386 runs them.
 *
 * qemu 7.2 ignores MAP_FIXED_NOREPLACE and maps such a request elsewhere,
 * so every attempt of Wine to reserve its address ranges "fails" and Wine
 * retries in halves down to 64 KiB pieces: over 100,000 mmap calls and
 * about 50 seconds per process start. Here a reservation larger than one
 * allocation granule fails at once, which is the answer Wine got anyway;
 * granule-sized requests (such as the shared user data page) still go to
 * qemu, which places them where asked when that range is free.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <sys/mman.h>
#include <sys/types.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

enum { WINE_GRANULE = 0x10000 };

void *mmap64(void *addr, size_t length, int prot, int flags, int fd, off64_t offset)
{
    static void *(*next_mmap64)(void *, size_t, int, int, int, off64_t);

    if ((flags & MAP_FIXED_NOREPLACE) && length > WINE_GRANULE) {
        errno = EEXIST;
        return MAP_FAILED;
    }
    if (!next_mmap64)
        next_mmap64 = (void *(*)(void *, size_t, int, int, int, off64_t))dlsym(RTLD_NEXT, "mmap64");
    return next_mmap64(addr, length, prot, flags, fd, offset);
}

void *mmap(void *addr, size_t length, int prot, int flags, int fd, off_t offset)
{
    return mmap64(addr, length, prot, flags, fd, offset);
}
