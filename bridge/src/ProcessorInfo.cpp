// Plain C helpers that report facts of the processor.
#include <cpuid.h>
#include <sys/time.h>
#include <x86intrin.h>

#include "include/nativio.h"

namespace {

int64_t microsecondsNow() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_usec;
}

// Spins until the wall clock has moved on by at least `microseconds` from `from`.
int64_t spinUntil(int64_t from, int64_t microseconds) {
    int64_t now = microsecondsNow();
    while (now - from < microseconds) {
        now = microsecondsNow();
    }
    return now;
}

}  // namespace

extern "C" void callCPUID(uint32_t* eax, uint32_t* ebx, uint32_t* ecx, uint32_t* edx,
                          uint16_t* ebxLowByte) {
    if (eax == nullptr || ebx == nullptr || ecx == nullptr || edx == nullptr ||
        ebxLowByte == nullptr) {
        return;
    }
    unsigned a = 0, b = 0, c = 0, d = 0;
    __cpuid_count(*eax, *ecx, a, b, c, d);
    *eax = a;
    *ebx = b;
    *ecx = c;
    *edx = d;
    *ebxLowByte = static_cast<uint16_t>(b & 0xff);
}

extern "C" uint64_t retrieveProcessorFrequency(void) {
    // Start on a fresh clock tick so the measured span is not cut short by a partial one.
    const int64_t start = spinUntil(microsecondsNow(), 2);
    const uint64_t startTicks = __rdtsc();
    const int64_t end = spinUntil(start, 100001);
    const uint64_t endTicks = __rdtsc();
    return (endTicks - startTicks) / static_cast<uint64_t>(end - start);
}
