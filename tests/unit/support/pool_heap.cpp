#include "pool_heap.h"

#include "core/pool_internal.h"

#include <stdlib.h>

uint32_t TestHeap::limit = UINT32_MAX;
std::vector<uint32_t> TestHeap::requests;
std::map<void *, uint32_t> TestHeap::live;
uint64_t TestHeap::liveBytes;

void *TestHeap::Allocate(uint32_t size)
{
    requests.push_back(size);
    if (size > limit)
        return nullptr;
    void *block = malloc(size ? size : 1);
    if (block) {
        live[block] = size;
        liveBytes += size;
    }
    return block;
}

void TestHeap::Release(void *block)
{
    auto held = live.find(block);
    if (held != live.end()) {
        liveBytes -= held->second;
        live.erase(held);
    }
    free(block);
}

void TestHeap::ReleaseAll()
{
    for (const auto &held : live)
        free(held.first);
    live.clear();
    liveBytes = 0;
}

const char *CheckPool(uint64_t liveBytes)
{
    auto holds = [](const void *start, uint32_t size) {
        auto after = TestHeap::live.upper_bound(const_cast<void *>(start));
        if (after == TestHeap::live.begin())
            return false;
        auto block = std::prev(after);
        return reinterpret_cast<uintptr_t>(start) + size <= reinterpret_cast<uintptr_t>(block->first) + block->second;
    };
    return PoolCheckInvariants(liveBytes, TestHeap::liveBytes, holds);
}

void ResetPool()
{
    TestHeap::ReleaseAll();
    TestHeap::requests.clear();
    TestHeap::limit = UINT32_MAX;
    Pool = PoolState{};
    PoolHeap = {TestHeap::Allocate, TestHeap::Release};
}

namespace {

// Before main, so that every chunk the program's pool takes is counted.
struct InstallTestHeap {
    InstallTestHeap() { PoolHeap = {TestHeap::Allocate, TestHeap::Release}; }
} installTestHeap;

}  // namespace
