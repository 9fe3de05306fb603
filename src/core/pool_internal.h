#pragma once

// The pool's state, inner steps and free-list link, for its tests and
// benchmark. Nothing in the product outside pool.cpp includes this.

#include "core/pool.h"

#include <string.h>

// Under AddressSanitizer free pool blocks and uncarved chunk bytes are
// poisoned, so a use of a block after PoolFree is caught. The pool itself
// reads and writes the free-list link through PoolNextFree/PoolSetNextFree
// only.
#if defined(__SANITIZE_ADDRESS__)
#define POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define POOL_ASAN 1
#endif
#endif
#ifdef POOL_ASAN
#include <sanitizer/asan_interface.h>
#define POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define POOL_POISON(p, n) ((void)(p), (void)(n))
#define POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

enum : uint32_t {
    PoolGranule = 4,
    PoolBlockLimit = 2048,
    PoolListCount = PoolBlockLimit / PoolGranule + 1,  // index 0 unused
    PoolChunkSize = 4096,
    PoolBudgetAtStart = 1048576,
};

// The system heap under the pool; the product uses the standard allocator,
// tests put in heaps that refuse, ration or count.
struct PoolSystemHeap {
    void *(*allocate)(uint32_t size);
    void (*release)(void *block);
};

struct PoolChunkState {
    uint8_t *carvingPoint;  // first byte not yet carved; null before the first chunk
    uint32_t bytesLeft;
};

// The pool's whole state, in one record: zero at program start but for the
// budget, so `Pool = PoolState{};` starts a pool afresh.
struct PoolState {
    // By block size / 4: stacks threaded through the free blocks themselves.
    void *freeLists[PoolListCount];
    PoolChunkState chunk;                // the chunk being carved
    int32_t budget = PoolBudgetAtStart;  // bytes that may still be carved
};

extern PoolState Pool;
extern PoolSystemHeap PoolHeap;
extern const PoolSystemHeap PoolStandardHeap;

void *PoolCarve(uint32_t n);
bool PoolNewChunk(PoolChunkState *chunk);
void *PoolSplit(uint32_t n);
void PoolCompact();

// For the tests, in pool_check.cpp, which the product does not link.
//
// Bytes on the free lists and left in the current chunk: with every block
// given back, all the bytes of the chunks taken so far.
uint64_t PoolFreeBytes();

// The pool's invariants, given the bytes of the caller's live blocks and
// what the system heap has handed out and not taken back: its bytes, and
// whether a span lies inside one of its blocks. Every free block, and the
// current chunk's uncarved rest, is aligned to a granule, lies inside a block
// the heap gave and overlaps no other; and those bytes and the live ones are
// exactly the heap's. (Count blocks above PoolBlockLimit in both or neither.)
// Gives the first that fails, or null.
const char *PoolCheckInvariants(uint64_t liveBytes, uint64_t heapBytes,
                                bool (*heapHolds)(const void *start, uint32_t size));

// A free block's first word links it to the next free block of its size.
// The smallest block is one granule, so a link must fit in one: with wider
// pointers a 4-byte free block would overwrite its neighbour.
static_assert(sizeof(uint8_t *) == PoolGranule, "the free-list link must fit in the smallest block");

inline uint8_t *PoolNextFree(const uint8_t *block)
{
    uint8_t *next;
    POOL_UNPOISON(block, sizeof next);
    memcpy(&next, block, sizeof next);
    POOL_POISON(block, sizeof next);
    return next;
}

inline void PoolSetNextFree(uint8_t *block, uint8_t *next)
{
    POOL_UNPOISON(block, sizeof next);
    memcpy(block, &next, sizeof next);
    POOL_POISON(block, sizeof next);
}
