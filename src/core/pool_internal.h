#pragma once

// The pool's state and inner steps, for its tests and benchmark. Nothing in
// the product outside pool.cpp includes this.

#include "core/pool.h"

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

// Bytes on the free lists and left in the current chunk: with every block
// given back, all the bytes of the chunks taken so far.
uint64_t PoolFreeBytes();
