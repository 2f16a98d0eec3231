#pragma once

#include <cstdio>
#include <cstdlib>

// A property that does not hold is a crash for libFuzzer: the input that
// broke it is kept as an artifact.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__,    \
                         #condition);                                                          \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
