// The pool's invariants and its count of free bytes, for its tests. The
// product does not link this file: it needs neither.

#include "core/pool_internal.h"

#include <algorithm>
#include <vector>

namespace {

struct FreeSpan {
    const uint8_t *start;
    uint32_t size;
};

// Every free block, and the current chunk's uncarved rest.
std::vector<FreeSpan> FreeSpans()
{
    std::vector<FreeSpan> spans;
    if (Pool.chunk.bytesLeft > 0)
        spans.push_back({Pool.chunk.carvingPoint, Pool.chunk.bytesLeft});
    for (uint32_t k = 1; k < PoolListCount; ++k) {
        for (const uint8_t *block = static_cast<uint8_t *>(Pool.freeLists[k]); block; block = PoolNextFree(block))
            spans.push_back({block, k * PoolGranule});
    }
    return spans;
}

uintptr_t Address(const uint8_t *byte)
{
    return reinterpret_cast<uintptr_t>(byte);
}

}  // namespace

uint64_t PoolFreeBytes()
{
    uint64_t bytes = 0;
    for (const FreeSpan &span : FreeSpans())
        bytes += span.size;
    return bytes;
}

const char *PoolCheckInvariants(uint64_t liveBytes, uint64_t heapBytes,
                                bool (*heapHolds)(const void *start, uint32_t size))
{
    std::vector<FreeSpan> spans = FreeSpans();
    std::sort(spans.begin(), spans.end(),
              [](const FreeSpan &a, const FreeSpan &b) { return Address(a.start) < Address(b.start); });
    uint64_t freeBytes = 0;
    for (size_t i = 0; i < spans.size(); ++i) {
        if (Address(spans[i].start) % PoolGranule != 0)
            return "a free block is not aligned to a granule";
        if (!heapHolds(spans[i].start, spans[i].size))
            return "a free block lies outside the blocks the heap gave";
        if (i > 0 && Address(spans[i - 1].start) + spans[i - 1].size > Address(spans[i].start))
            return "two free blocks overlap";
        freeBytes += spans[i].size;
    }
    if (freeBytes + liveBytes != heapBytes)
        return "the free and live bytes are not what the heap gave";
    return nullptr;
}
