#pragma once

// A property the fuzzers hold the code to: a broken one stops the run, and
// libFuzzer keeps the input that broke it.

#include <stdlib.h>

inline void Check(bool condition)
{
    if (!condition)
        abort();
}
