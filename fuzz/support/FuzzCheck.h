#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target holds every input to. A broken one is reported and aborts, in every
// build (NDEBUG or not), so that the fuzzer keeps the input and a replay fails on it.
#define VT_FUZZ_CHECK(condition)                                                       \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)
