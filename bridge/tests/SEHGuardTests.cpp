#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>

#include "src/SEHGuard.h"

using nativio::SEHGuard;

namespace {

struct Target {
    uintptr_t address;
};

void writeAt(void* context) {
    // Through a volatile, so the compiler cannot see the bad address.
    const volatile uintptr_t address = static_cast<Target*>(context)->address;
    *reinterpret_cast<volatile int*>(address) = 1;
}

void nestedFault(void* context) {
    // The inner guard takes the fault; the outer one sees a clean return.
    Target inner{0x20};
    *static_cast<int*>(context) = SEHGuard::run(&writeAt, &inner);
}

// The fault itself is the point; the sanitizer must not report it first.
__attribute__((no_sanitize("integer-divide-by-zero"))) void divideByZero(void*) {
    volatile int zero = 0;
    volatile int result = 7 / zero;
    (void)result;
}

void nothing(void*) {}

void exitFromHandler(int) {
    _exit(42);
}

}  // namespace

TEST(SEHGuard, TurnsFaultsIntoCodesAndReportsThem) {
    Target target{0x10};
    testing::internal::CaptureStderr();
    EXPECT_EQ(SEHGuard::run(&writeAt, &target), SIGSEGV);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "signal 11 occured at 10\n");
    EXPECT_EQ(SEHGuard::run(&divideByZero, nullptr), SIGFPE);
    EXPECT_EQ(SEHGuard::run(&writeAt, &target), SIGSEGV) << "the mask was restored";
    EXPECT_EQ(SEHGuard::run(&nothing, nullptr), 0);
}

TEST(SEHGuard, InnermostGuardCatchesAndOuterContinues) {
    int inner = -1;
    EXPECT_EQ(SEHGuard::run(&nestedFault, &inner), 0);
    EXPECT_EQ(inner, SIGSEGV);
}

TEST(SEHGuardDeathTest, UnguardedFaultGoesToThePreviousHandler) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            signal(SIGSEGV, &exitFromHandler);
            SEHGuard::installHandlers();
            Target target{0x30};
            writeAt(&target);
        },
        testing::ExitedWithCode(42), "");
}

TEST(SEHGuardDeathTest, UnguardedFaultWithoutPreviousHandlerIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            SEHGuard::installHandlers();
            Target target{0x40};
            writeAt(&target);
        },
        testing::KilledBySignal(SIGSEGV), "unexpected signal 11 occured at 40");
}
