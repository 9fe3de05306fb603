// PoolAlloc/PoolFree against malloc/free on the file layer's mix of blocks:
// 12-byte list nodes, 8- and 12-byte records and strings of 4 to 64 bytes,
// 10,000 live at a time, replaced at random. Both allocators replay the same
// sequence, alternately, and the best of five rounds counts. Also the heap
// memory that N 12-byte records cost each way.

#include "core/pool_internal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const int LiveBlocks = 10000;
const int Replacements = 2000000;
const int Rounds = 5;

struct Step {
    uint32_t slot;
    uint32_t size;
};

uint32_t MixSize(uint32_t random)
{
    switch (random % 4) {
    case 0: return 12;                  // list node
    case 1: return 8;                   // small record
    case 2: return 12;                  // record
    default: return 4 + random / 4 % 61;  // string with its terminator
    }
}

struct Random {
    uint32_t state = 12345;
    uint32_t Next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

struct Workload {
    std::vector<uint32_t> initial;
    std::vector<Step> steps;
};

Workload MakeWorkload()
{
    Random random;
    Workload work;
    for (int i = 0; i < LiveBlocks; ++i)
        work.initial.push_back(MixSize(random.Next()));
    for (int i = 0; i < Replacements; ++i)
        work.steps.push_back({random.Next() % LiveBlocks, MixSize(random.Next())});
    return work;
}

void *MallocAllocate(uint32_t size) { return malloc(size); }
void MallocFree(void *block, uint32_t) { free(block); }

template <void *(*Allocate)(uint32_t), void (*Release)(void *, uint32_t)>
double Run(const Workload &work)
{
    std::vector<void *> blocks(LiveBlocks);
    std::vector<uint32_t> sizes(work.initial);
    for (int i = 0; i < LiveBlocks; ++i)
        blocks[i] = Allocate(sizes[i]);
    auto start = std::chrono::steady_clock::now();
    for (const Step &step : work.steps) {
        Release(blocks[step.slot], sizes[step.slot]);
        blocks[step.slot] = Allocate(step.size);
        sizes[step.slot] = step.size;
        if (!blocks[step.slot]) {
            fprintf(stderr, "allocation failed\n");
            exit(1);
        }
    }
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (int i = 0; i < LiveBlocks; ++i)
        Release(blocks[i], sizes[i]);
    return seconds;
}

uint32_t heapBytes;
void *CountingAllocate(uint32_t size)
{
    void *block = malloc(size);
    if (block)
        heapBytes += size;
    return block;
}
void CountingRelease(void *block) { free(block); }

// Bytes of heap per 12-byte record: the pool counts the chunks it takes,
// malloc is judged by the usual distance between consecutive blocks (its
// header and rounding included).
void MemoryCost(int records)
{
    PoolHeap = {CountingAllocate, CountingRelease};
    heapBytes = 0;
    std::vector<void *> blocks;
    for (int i = 0; i < records; ++i)
        blocks.push_back(PoolAlloc(12));
    PoolHeap = PoolStandardHeap;
    double pool = double(heapBytes) / records;
    for (void *block : blocks)
        PoolFree(block, 12);

    std::vector<intptr_t> steps;
    uintptr_t previous = reinterpret_cast<uintptr_t>(malloc(12));
    for (int i = 1; i < records; ++i) {
        uintptr_t next = reinterpret_cast<uintptr_t>(malloc(12));
        steps.push_back(static_cast<intptr_t>(next - previous));
        previous = next;
    }
    std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
    long system = static_cast<long>(steps[steps.size() / 2]);
    printf("heap bytes per 12-byte record (N = %d): pool %.2f, malloc %ld\n",
           records, pool, system);
}

}  // namespace

int main()
{
    MemoryCost(10000);  // first, while both heaps are fresh
    Workload work = MakeWorkload();
    double pool = 1e30, system = 1e30;
    for (int round = 0; round < Rounds; ++round) {
        double p = Run<PoolAlloc, PoolFree>(work);
        double m = Run<MallocAllocate, MallocFree>(work);
        pool = p < pool ? p : pool;
        system = m < system ? m : system;
    }
    double operations = 2.0 * Replacements;
    printf("pool:        %12.0f operations/s\n", operations / pool);
    printf("malloc/free: %12.0f operations/s\n", operations / system);
    printf("pool is %.2fx as fast as malloc/free\n", system / pool);
    return 0;
}
