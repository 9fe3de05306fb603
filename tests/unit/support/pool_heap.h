#pragma once

// The system heap under the pool in every test program that links this
// file, from before main: it grants requests up to a limit, records each
// request, and counts what it handed out, so that a test can start the pool
// afresh and give back every chunk the pool took.

#include <stdint.h>

#include <map>
#include <vector>

struct TestHeap {
    static uint32_t limit;                  // larger requests are refused
    static std::vector<uint32_t> requests;  // every size asked for, in order
    static std::map<void *, uint32_t> live; // granted, not yet released, with sizes
    static uint64_t liveBytes;

    static void *Allocate(uint32_t size);
    static void Release(void *block);

    // Releases every block still live.
    static void ReleaseAll();
};

// The pool's invariants on this heap (PoolCheckInvariants), with liveBytes
// in the caller's live blocks: the first that fails, or null.
const char *CheckPool(uint64_t liveBytes);

// An empty pool on this heap, with no limit and no requests recorded, after
// every block the heap handed out has been given back.
void ResetPool();
