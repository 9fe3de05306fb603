#pragma once

#include <stddef.h>
#include <stdint.h>

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320) of n bytes,
// continuing from crc: 0 to begin, the previous result to go on. What the
// writer stores and the tool checks; the game's reader has no use for it.
uint32_t FastFileCrc32(uint32_t crc, const void *data, size_t n);
