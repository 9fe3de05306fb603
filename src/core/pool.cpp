// The small-block pool beneath the file layer. The algorithm:
//
//  1. A request is rounded up to whole granules of 4 bytes. Above
//     PoolBlockLimit it goes to the system heap, and back there when freed.
//  2. A freed block goes to the front of the free list of its size, and a
//     request takes the front block of its own list first: a push and a pop,
//     with the block last freed reused first.
//  3. Failing that, the request is carved from the current chunk, front to
//     back, while the budget lasts. Chunks of up to PoolChunkSize bytes come
//     from the system heap; a chunk too short for a request is replaced, and
//     its rest becomes one free block.
//  4. Failing that, the request is cut from the front of the largest free
//     block larger than it, and the rest goes on the list of its size.
//  5. Failing that, adjacent free blocks are merged, and steps 2 and 4 are
//     tried once more: merging may have made a block of exactly the size
//     asked for, or one larger to cut.
//
// Carving comes before cutting so that large free blocks stay whole while
// there is budget, and merging comes last because it compares free blocks
// pairwise. Nothing is merged when a block is freed.
//
// The budget caps the bytes carved over the program's life, and freeing a
// block gives none of it back. Chunks never go back to the heap: a carved
// block is the pool's memory for good, in use or free, and the budget bounds
// that memory, not the bytes in use. Were freed bytes given back, carving
// would go on while free blocks of other sizes lie unused, and the pool would
// grow with every change in the mix of sizes. Once the budget is spent,
// requests are met from what was carved: by reuse, cutting and merging.
//
// The state is one record, Pool. Its invariants, which PoolCheckInvariants
// checks for the tests: the free blocks and the current chunk's rest are
// aligned to a granule, lie inside chunks and do not overlap; and with the
// blocks in use they make up the chunks exactly.

#include "core/pool_internal.h"

#include <stdlib.h>
#include <string.h>

static void *StandardAllocate(uint32_t size)
{
    return malloc(size);
}

static void StandardRelease(void *block)
{
    free(block);
}

PoolState Pool;
PoolSystemHeap PoolHeap = {StandardAllocate, StandardRelease};
const PoolSystemHeap PoolStandardHeap = {StandardAllocate, StandardRelease};

static const uint32_t PoolTopList = PoolListCount - 1;

static uint32_t RoundToGranule(uint32_t size)
{
    return (size + PoolGranule - 1) & ~(PoolGranule - 1);
}

static void PushFree(uint8_t *block, uint32_t n)
{
    uint32_t k = n / PoolGranule;
    PoolSetNextFree(block, static_cast<uint8_t *>(Pool.freeLists[k]));
    POOL_POISON(block, n);
    Pool.freeLists[k] = block;
}

static uint8_t *TakeFree(uint32_t k)
{
    uint8_t *block = static_cast<uint8_t *>(Pool.freeLists[k]);
    if (block)
        Pool.freeLists[k] = PoolNextFree(block);
    return block;
}

static void *HandOut(uint8_t *block, uint32_t n)
{
    POOL_UNPOISON(block, n);
    return block;
}

// The front block of the list for n bytes, or null.
static void *TakeOwn(uint32_t n)
{
    uint8_t *block = TakeFree(n / PoolGranule);
    return block ? HandOut(block, n) : nullptr;
}

// The step at which the chunk search stops halving on refusals.
static const uint32_t PoolSearchWalkStep = 2 * PoolGranule;

// Finds the largest chunk, up to PoolChunkSize bytes, that the system heap
// grants, moving a candidate size by a step, both PoolChunkSize at first:
//  - the full size granted at the first request is taken;
//  - any other grant is given back and the size goes up by half the step,
//    until the step is one granule: that grant is taken;
//  - a refusal takes the size down by half the step until the step is
//    PoolSearchWalkStep, then by the whole step; a refusal below that size
//    gives up.
// A heap that grants up to some limit thus gives the limit rounded down to a
// granule, in at most 13 requests. A refusal of two granules leads to a
// request of 0 bytes, whose grant is never taken: the step is two granules.
bool PoolNewChunk(PoolChunkState *chunk)
{
    uint32_t size = PoolChunkSize;
    uint32_t step = PoolChunkSize;
    for (;;) {
        uint8_t *block = static_cast<uint8_t *>(PoolHeap.allocate(size));
        if (block && (step == PoolChunkSize || step == PoolGranule)) {
            POOL_POISON(block, size);
            chunk->carvingPoint = block;
            chunk->bytesLeft = size;
            return true;
        }
        if (block) {
            PoolHeap.release(block);
            step /= 2;
            size += step;
        } else if (step > PoolSearchWalkStep) {
            step /= 2;
            size -= step;
        } else if (size < PoolSearchWalkStep) {
            return false;
        } else {
            size -= step;
        }
    }
}

// Takes n bytes from the current chunk, fetching a new chunk when the current
// one is short. The bytes left in the chunk replaced become one free block,
// whether or not a new chunk came; a new chunk too short for n stays current
// for smaller requests.
void *PoolCarve(uint32_t n)
{
    if (static_cast<int32_t>(n) > Pool.budget)
        return nullptr;
    if (!Pool.chunk.carvingPoint || Pool.chunk.bytesLeft < n) {
        PoolChunkState fresh = {nullptr, 0};
        PoolNewChunk(&fresh);
        if (Pool.chunk.carvingPoint && Pool.chunk.bytesLeft > 0)
            PushFree(Pool.chunk.carvingPoint, Pool.chunk.bytesLeft);
        Pool.chunk = fresh;
        if (!Pool.chunk.carvingPoint || Pool.chunk.bytesLeft < n)
            return nullptr;
    }
    uint8_t *block = Pool.chunk.carvingPoint;
    Pool.chunk.carvingPoint += n;
    Pool.chunk.bytesLeft -= n;
    Pool.budget -= static_cast<int32_t>(n);
    return HandOut(block, n);
}

// Cuts n bytes off the front of the largest free block larger than n.
void *PoolSplit(uint32_t n)
{
    uint32_t k = n / PoolGranule;
    for (uint32_t j = PoolTopList; j > k; --j) {
        if (!Pool.freeLists[j])
            continue;
        uint8_t *block = TakeFree(j);
        PushFree(block + n, (j - k) * PoolGranule);
        return HandOut(block, n);
    }
    return nullptr;
}

static bool Adjacent(const uint8_t *low, uint32_t lowSize, const uint8_t *high)
{
    return reinterpret_cast<uintptr_t>(low) + lowSize == reinterpret_cast<uintptr_t>(high);
}

// Merges block x (i granules, on no list) with a block of list j that touches
// it; the merged block starts at the lower address and goes on list i + j.
static bool PoolMergeNeighbour(uint8_t *x, uint32_t i, uint32_t j)
{
    uint8_t *previous = nullptr;
    for (uint8_t *y = static_cast<uint8_t *>(Pool.freeLists[j]); y;) {
        uint8_t *next = PoolNextFree(y);
        if (y != x) {
            uint8_t *merged = nullptr;
            if (Adjacent(y, j * PoolGranule, x))
                merged = y;
            else if (Adjacent(x, i * PoolGranule, y))
                merged = x;
            if (merged) {
                if (previous)
                    PoolSetNextFree(previous, next);
                else
                    Pool.freeLists[j] = next;
                PushFree(merged, (i + j) * PoolGranule);
                return true;
            }
        }
        previous = y;
        y = next;
    }
    return false;
}

// Tries to merge every block of list i with a neighbour no smaller than
// itself, into a block below PoolBlockLimit; blocks that find none go back on
// list i in their old order.
static void PoolCompactList(uint32_t i)
{
    uint8_t *unmergedHead = nullptr;
    uint8_t *unmergedTail = nullptr;
    while (uint8_t *x = TakeFree(i)) {
        bool merged = false;
        for (uint32_t j = i; i + j < PoolTopList && !merged; ++j)
            merged = PoolMergeNeighbour(x, i, j);
        if (merged)
            continue;
        PoolSetNextFree(x, nullptr);
        if (unmergedTail)
            PoolSetNextFree(unmergedTail, x);
        else
            unmergedHead = x;
        unmergedTail = x;
    }
    Pool.freeLists[i] = unmergedHead;
}

// Merged blocks land on higher lists, which the same pass visits later.
void PoolCompact()
{
    for (uint32_t i = 1; i < PoolTopList; ++i)
        PoolCompactList(i);
}

void *PoolAlloc(uint32_t size)
{
    if (size == 0)
        return nullptr;
    uint32_t n = RoundToGranule(size);
    if (n == 0)  // so large that rounding wrapped
        return nullptr;
    if (n > PoolBlockLimit)
        return PoolHeap.allocate(n);

    // Steps 2 to 5 of the algorithm.
    if (void *block = TakeOwn(n))
        return block;
    if (void *block = PoolCarve(n))
        return block;
    if (void *block = PoolSplit(n))
        return block;
    PoolCompact();
    if (void *block = TakeOwn(n))
        return block;
    return PoolSplit(n);
}

void *PoolAllocZeroed(uint32_t size)
{
    void *block = PoolAlloc(size);
    if (block)
        memset(block, 0, size);
    return block;
}

void PoolFree(void *block, uint32_t size)
{
    if (size == 0 || !block)
        return;
    uint32_t n = RoundToGranule(size);
    if (n == 0)
        return;
    if (n > PoolBlockLimit) {
        PoolHeap.release(block);
        return;
    }
    PushFree(static_cast<uint8_t *>(block), n);
}
