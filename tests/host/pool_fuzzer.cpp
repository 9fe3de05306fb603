// Random sequences of PoolAlloc, PoolAllocZeroed and PoolFree over sizes
// 1..4096, with heaps and budgets that run short so that splitting and
// compaction run too. Live blocks must never overlap and must keep their
// contents; a request is met from its own free list first, and a freed
// block goes to the front of its list; and after every step the pool's
// invariants hold (PoolCheckInvariants), so that no byte is ever lost.

#include "fuzz_check.h"

#include "core/pool_internal.h"

#include "support/pool_heap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

struct LiveBlock {
    uint8_t *block;
    uint32_t size;
    uint8_t fill;
};

uint32_t Rounded(uint32_t size)
{
    return (size + 3) & ~3u;
}

void CheckContents(const LiveBlock &live)
{
    for (uint32_t i = 0; i < live.size; ++i)
        Check(live.block[i] == live.fill);
}

// Live blocks by start address, with their rounded sizes.
void CheckNoOverlap(const std::map<uintptr_t, uint32_t> &spans, uintptr_t start, uint32_t n)
{
    auto after = spans.lower_bound(start);
    if (after != spans.end())
        Check(start + n <= after->first);
    if (after != spans.begin()) {
        auto before = std::prev(after);
        Check(before->first + before->second <= start);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    ResetPool();

    std::vector<LiveBlock> live;
    std::map<uintptr_t, uint32_t> spans;
    uint64_t liveBytes = 0;  // large blocks too, as the heap counts them
    uint8_t nextFill = 1;

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
        case 1:
        case 2: {
            bool zeroed = input.ConsumeBool();
            uint32_t request = input.ConsumeIntegralInRange<uint32_t>(1, 4096);
            uint32_t n = Rounded(request);
            void *expected = n <= PoolBlockLimit ? Pool.freeLists[n / 4] : nullptr;
            uint8_t *block = static_cast<uint8_t *>(zeroed ? PoolAllocZeroed(request) : PoolAlloc(request));
            if (expected)
                Check(block == expected);
            if (!block)
                break;
            Check(reinterpret_cast<uintptr_t>(block) % 4 == 0);
            CheckNoOverlap(spans, reinterpret_cast<uintptr_t>(block), n);
            if (zeroed)
                for (uint32_t i = 0; i < request; ++i)
                    Check(block[i] == 0);
            memset(block, nextFill, n);
            spans[reinterpret_cast<uintptr_t>(block)] = n;
            live.push_back({block, n, nextFill});
            liveBytes += n;
            nextFill = static_cast<uint8_t>(nextFill % 255 + 1);
            break;
        }
        case 3:
        case 4: {
            if (live.empty())
                break;
            size_t index = input.ConsumeIntegralInRange<size_t>(0, live.size() - 1);
            LiveBlock freed = live[index];
            live[index] = live.back();
            live.pop_back();
            CheckContents(freed);
            spans.erase(reinterpret_cast<uintptr_t>(freed.block));
            liveBytes -= freed.size;
            // Any size that rounds to the allocated one gives the block back.
            uint32_t given = freed.size - input.ConsumeIntegralInRange<uint32_t>(0, 3);
            PoolFree(freed.block, given);
            if (freed.size <= PoolBlockLimit)
                Check(Pool.freeLists[freed.size / 4] == freed.block);
            break;
        }
        case 5:
            // Run short: a ration on the heap, or a budget near its end.
            if (input.ConsumeBool())
                TestHeap::limit = input.ConsumeIntegralInRange<uint32_t>(0, 5000);
            else
                Pool.budget = input.ConsumeIntegralInRange<int32_t>(0, 4096);
            break;
        }
        Check(!CheckPool(liveBytes));
    }

    for (const LiveBlock &block : live)
        CheckContents(block);
    ResetPool();
    return 0;
}
