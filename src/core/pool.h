#pragma once

#include <stdint.h>

// The small-block pool beneath the game file system. Requests up to 2048
// bytes come from free lists by size (steps of 4 bytes) and from 4096-byte
// chunks; larger ones go to the system heap. Blocks carry no header: a block
// is given back with the size it was allocated with.

void *PoolAlloc(uint32_t size);
void *PoolAllocZeroed(uint32_t size);
void PoolFree(void *block, uint32_t size);
