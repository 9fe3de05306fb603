/*
 * Preloaded into Wine's 32-bit processes when qemu-i386 runs them. It
 * works around two limits of qemu 7.2's user mode.
 *
 * 1. Address reservations. qemu ignores MAP_FIXED_NOREPLACE and maps such
 *    a request elsewhere, so every attempt of Wine to reserve its address
 *    ranges "fails" and Wine retries in halves down to 64 KiB pieces: over
 *    100,000 mmap calls and about 50 seconds per process start. Here a
 *    reservation larger than one allocation granule fails at once, which
 *    is the answer Wine got anyway; granule-sized requests (such as the
 *    shared user data page) still go to qemu, which places them where
 *    asked when that range is free.
 *
 * 2. Per-thread segments. The kernel keeps the descriptors that
 *    set_thread_area writes per thread; qemu keeps one table for the
 *    whole process, so the last thread to write a slot owns it for all.
 *    A thread reloads its segment registers from that table whenever a
 *    signal handler returns, and then runs with the newest thread's %gs
 *    (glibc's thread data) and %fs (Wine's TEB). Two threads then share
 *    one TEB, with its server pipes: each steals the other's wake-up and
 *    both wait for ever, and the process hangs in a read from the server.
 *    A test program has a second thread as soon as GoogleTest watches its
 *    main thread; an NSIS installer as soon as it installs.
 *    The cure gives each thread descriptors of its own in the LDT, which
 *    qemu also keeps once per process but indexes per thread:
 *    - %fs: Wine allocates one LDT entry per thread when it cannot get a
 *      thread-area slot, so the preloader's slot is forgotten before Wine
 *      starts and Wine's request for a new one is refused.
 *    - %gs: each thread loads a private entry with its own glibc thread
 *      data, the main thread at start and every other one when it begins.
 *      glibc makes a new thread's slot from the current %gs, which must
 *      then name the thread-area slot again: pthread_create puts it back,
 *      with the caller's base, around the real call, one thread at a time
 *      and until the new thread has its own entry.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <sched.h>
#include <stdarg.h>
#include <stddef.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

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

#ifdef __i386__

/* The kernel's struct user_desc, as set_thread_area and modify_ldt take it. */
struct segment {
    unsigned int entry;
    unsigned int base;
    unsigned int limit;
    unsigned int seg_32bit : 1, contents : 2, read_exec_only : 1, limit_in_pages : 1,
        seg_not_present : 1, useable : 1;
};

/* LDT entries below Wine's own, which start at 512 when %gs is in the LDT. */
enum { FIRST_GS_ENTRY = 1, END_GS_ENTRY = 512, LDT_SELECTOR = 7 };

static long (*next_syscall)(long, ...);
static unsigned short thread_area_gs;  /* glibc's slot, as loaded at start */
static int next_gs_entry = FIRST_GS_ENTRY;
static volatile int creating;  /* one pthread_create at a time */

static unsigned short get_gs(void)
{
    unsigned short selector;
    __asm__ volatile("movw %%gs, %0" : "=r"(selector));
    return selector;
}

static void set_gs(unsigned short selector)
{
    __asm__ volatile("movw %w0, %%gs" : : "r"(selector) : "memory");
}

/* The calling thread's glibc thread data: its first word points to itself. */
static unsigned int gs_base(void)
{
    unsigned int base;
    __asm__ volatile("movl %%gs:0, %0" : "=r"(base));
    return base;
}

static struct segment data_segment(unsigned int entry, unsigned int base)
{
    struct segment segment = {entry, base, 0xfffff, 1, 0, 0, 1, 0, 1};
    return segment;
}

/* Moves the calling thread's %gs to an LDT entry of its own; where none is
   left it keeps the shared slot. */
static void own_gs(void)
{
    int entry = __atomic_fetch_add(&next_gs_entry, 1, __ATOMIC_RELAXED);
    struct segment segment = data_segment(entry, gs_base());

    if (entry < END_GS_ENTRY && next_syscall(SYS_modify_ldt, 0x11, &segment, sizeof segment) == 0)
        set_gs((unsigned short)(entry << 3 | LDT_SELECTOR));
}

long syscall(long number, ...)
{
    va_list arguments;
    long a[6];
    int i;

    if (number == SYS_set_thread_area) {  /* only Wine asks, for its %fs */
        errno = ENOSYS;
        return -1;
    }
    va_start(arguments, number);
    for (i = 0; i < 6; i++)
        a[i] = va_arg(arguments, long);
    va_end(arguments);
    return next_syscall(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

struct start {
    void *(*routine)(void *);
    void *argument;
    volatile int owned;
};

static void *start_thread(void *parameter)
{
    struct start start = *(struct start *)parameter;

    own_gs();
    __atomic_store_n(&((struct start *)parameter)->owned, 1, __ATOMIC_RELEASE);
    return start.routine(start.argument);
}

int pthread_create(pthread_t *thread, const pthread_attr_t *attributes, void *(*routine)(void *),
                   void *argument)
{
    static int (*next_create)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *);
    struct start start = {routine, argument, 0};
    unsigned short own = get_gs();
    struct segment slot = data_segment(thread_area_gs >> 3, gs_base());
    int failed;

    if (!next_create)
        next_create = (int (*)(pthread_t *, const pthread_attr_t *, void *(*)(void *), void *))dlsym(
            RTLD_NEXT, "pthread_create");
    if (own == thread_area_gs)  /* no entry of its own: nothing to put back */
        return next_create(thread, attributes, routine, argument);
    while (__atomic_exchange_n(&creating, 1, __ATOMIC_ACQUIRE))
        sched_yield();
    next_syscall(SYS_set_thread_area, &slot);
    set_gs(thread_area_gs);
    failed = next_create(thread, attributes, start_thread, &start);
    set_gs(own);
    while (!failed && !__atomic_load_n(&start.owned, __ATOMIC_ACQUIRE))
        sched_yield();
    __atomic_store_n(&creating, 0, __ATOMIC_RELEASE);
    return failed;
}

__attribute__((constructor)) static void own_segments(void)
{
    next_syscall = (long (*)(long, ...))dlsym(RTLD_NEXT, "syscall");
    thread_area_gs = get_gs();
    __asm__ volatile("movw %w0, %%fs" : : "r"(0));  /* Wine then takes LDT entries */
    own_gs();
}

#endif
