#include "fault_guard.h"

#include <cstdint>

#if !defined(__i386__)
#error "the fault guard is written for 32-bit x86 exception frames"
#endif

// The compiler offers no __try here, so the guard is an x86 exception
// registration of its own, pushed on the stack and linked into fs:[0] for
// the length of the call. When the call raises an exception, the system
// walks that chain and reaches penwickGuardHandler, which unwinds every
// frame the callee registered below ours (their termination handlers run)
// and then leaves the dispatcher for the guard's own frame, as a compiler's
// __except would: the dispatcher's frames and the callee's are dropped, the
// callee-saved registers and the chain are restored from the guard's frame.
// Non-continuable exceptions are caught the same way.
//
// Frame of penwickGuardedCall, from its frame pointer down:
//   ebp-4 ebx, ebp-8 esi, ebp-12 edi (the caller's, restored on both paths)
//   ebp-16 handler, ebp-20 previous registration   <- the registration
// so the registration lies at ebp - 20.
extern "C" {
int penwickGuardedCall(penwick::HandleCall call, HANDLE handle);   // 1 returned, 0 faulted
[[noreturn]] void penwickGuardUnwindAndLeave(void* registration, EXCEPTION_RECORD* record);
EXCEPTION_DISPOSITION __cdecl penwickGuardHandler(EXCEPTION_RECORD* record, void* registration,
                                                  CONTEXT* context, void* dispatcher);
}

__asm__(R"(
    .text
    .globl _penwickGuardedCall
    .def _penwickGuardedCall; .scl 2; .type 32; .endef
_penwickGuardedCall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    pushl $_penwickGuardHandler
    pushl %fs:0
    movl %esp, %fs:0
    pushl 12(%ebp)
    call *8(%ebp)
    movl $1, %eax
.LpenwickGuardLeave:
    leal -20(%ebp), %esp
    popl %ecx
    movl %ecx, %fs:0
    addl $4, %esp
    cld
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret

    # Unwinds up to the registration, then resumes in its frame with eax 0.
    # RtlUnwind may change ebx, esi and edi: the registration waits on the
    # stack, which the unwind leaves alone.
    .globl _penwickGuardUnwindAndLeave
    .def _penwickGuardUnwindAndLeave; .scl 2; .type 32; .endef
_penwickGuardUnwindAndLeave:
    movl 4(%esp), %eax
    movl 8(%esp), %ecx
    pushl %eax
    pushl $0
    pushl %ecx
    pushl $0
    pushl %eax
    call _RtlUnwind@16
    popl %eax
    movl %eax, %esp
    leal 20(%eax), %ebp
    xorl %eax, %eax
    jmp .LpenwickGuardLeave
)");

extern "C" EXCEPTION_DISPOSITION __cdecl penwickGuardHandler(EXCEPTION_RECORD* record, void* registration,
                                                             CONTEXT* /*context*/, void* /*dispatcher*/)
{
    // Called again while some outer frame unwinds past the guard: that
    // unwind goes on without us.
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0)
        return ExceptionContinueSearch;
    // The callee's frames and the dispatcher's are unwound up to ours, and
    // the call ends as if it had returned.
    penwickGuardUnwindAndLeave(registration, record);
}

namespace penwick {

bool callCatchingFaults(HandleCall call, HANDLE handle)
{
    if (call == nullptr)
        return true;
    return penwickGuardedCall(call, handle) != 0;
}

} // namespace penwick
