// The fault guard around calls into drivers: faults of every kind are
// caught, and the thread goes on with its registers, stack and exception
// chain as they were.
#include "win/fault_guard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>

using penwick::callCatchingFaults;

namespace {

HANDLE seenHandle = nullptr;
volatile std::uintptr_t nowhere = 0;
volatile int zero = 0;

std::uintptr_t exceptionChain()
{
    std::uintptr_t head = 0;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}

BOOL WINAPI returns(HANDLE handle)
{
    seenHandle = handle;
    return TRUE;
}

BOOL WINAPI writesThroughNull(HANDLE)
{
    *reinterpret_cast<volatile int*>(nowhere) = 1;
    return TRUE;
}

BOOL WINAPI dividesByZero(HANDLE)
{
    return 7 / zero;
}

BOOL WINAPI raisesNonContinuable(HANDLE)
{
    RaiseException(0xE0001234u, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return TRUE;
}

BOOL WINAPI breaks(HANDLE)
{
    DebugBreak();
    return TRUE;
}

// A callee with a guard of its own that catches its own fault, and then
// faults outside it.
BOOL WINAPI catchesItsOwnThenFaults(HANDLE)
{
    seenHandle = callCatchingFaults(writesThroughNull, nullptr) ? nullptr : reinterpret_cast<HANDLE>(1);
    return writesThroughNull(nullptr);
}

// Clobbers the registers a caller expects kept, then faults.
BOOL WINAPI clobbersThenFaults(HANDLE)
{
    __asm__ volatile("movl $0x11111111, %%ebx\n\t"
                     "movl $0x22222222, %%esi\n\t"
                     "movl $0x33333333, %%edi\n\t"
                     "movl $0, %%eax\n\t"
                     "movl $5, (%%eax)"
                     :
                     :
                     : "eax", "ebx", "esi", "edi", "memory");
    return TRUE;
}

// Where a call made from the caller's frame puts its own frame: the same
// before and after the faults when none of them left anything on the stack.
__attribute__((noinline)) std::uintptr_t calleeFrame()
{
    return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
}

int debugStrings = 0;

LONG CALLBACK countDebugStrings(EXCEPTION_POINTERS* exception)
{
    if (exception->ExceptionRecord->ExceptionCode != DBG_PRINTEXCEPTION_C)
        return EXCEPTION_CONTINUE_SEARCH;
    ++debugStrings;
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

TEST(FaultGuard, ACallThatReturnsIsPassedItsHandle)
{
    const std::uintptr_t chain = exceptionChain();
    EXPECT_TRUE(callCatchingFaults(returns, reinterpret_cast<HANDLE>(0x1234)));
    EXPECT_EQ(seenHandle, reinterpret_cast<HANDLE>(0x1234));
    EXPECT_EQ(exceptionChain(), chain);
    EXPECT_TRUE(callCatchingFaults(nullptr, nullptr));
}

TEST(FaultGuard, EveryKindOfFaultIsCaught)
{
    const std::uintptr_t chain = exceptionChain();
    EXPECT_FALSE(callCatchingFaults(writesThroughNull, nullptr));
    EXPECT_EQ(exceptionChain(), chain);
    EXPECT_FALSE(callCatchingFaults(dividesByZero, nullptr));
    EXPECT_EQ(exceptionChain(), chain);
    EXPECT_FALSE(callCatchingFaults(raisesNonContinuable, nullptr));
    EXPECT_EQ(exceptionChain(), chain);
    EXPECT_FALSE(callCatchingFaults(breaks, nullptr));
    EXPECT_EQ(exceptionChain(), chain);
}

TEST(FaultGuard, GuardsNestAndTheCallersRegistersSurvive)
{
    seenHandle = nullptr;
    EXPECT_FALSE(callCatchingFaults(catchesItsOwnThenFaults, nullptr));
    EXPECT_EQ(seenHandle, reinterpret_cast<HANDLE>(1));   // the inner guard caught the first fault

    // Values the compiler keeps in callee-saved registers across the call.
    volatile int kept[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    int a = kept[0], b = kept[1], c = kept[2], d = kept[3];
    EXPECT_FALSE(callCatchingFaults(clobbersThenFaults, nullptr));
    EXPECT_EQ(a + b * 10 + c * 100 + d * 1000, 4321);
}

TEST(FaultGuard, ManyFaultsLeaveTheStackAndOtherHandlersAsTheyWere)
{
    void* const handler = AddVectoredExceptionHandler(1, countDebugStrings);
    const std::uintptr_t chain = exceptionChain();
    const std::uintptr_t frame = calleeFrame();
    for (int i = 0; i < 2000; ++i)
        ASSERT_FALSE(callCatchingFaults(writesThroughNull, nullptr)) << i;
    EXPECT_EQ(exceptionChain(), chain);
    EXPECT_EQ(calleeFrame(), frame);
    debugStrings = 0;
    OutputDebugStringA("still heard\n");
    EXPECT_EQ(debugStrings, 1);
    RemoveVectoredExceptionHandler(handler);
}
