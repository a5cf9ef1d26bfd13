// A frame of the 32-bit structured exception chain (fs:0) with a handler that
// unwinds the frames above it and resumes after the guarded call. GCC has no
// __try/__except for i686, so the frame is registered by hand.
#include "profile/seh_guard.h"

#include <windows.h>

namespace tonalis {

namespace {

// The first two members are an EXCEPTION_REGISTRATION_RECORD.
struct GuardFrame {
    GuardFrame* next;
    void* handler;
    void* resume[5];  // __builtin_setjmp buffer
};

GuardFrame* CurrentFrame() {
    GuardFrame* frame;
    asm volatile("movl %%fs:0, %0" : "=r"(frame));
    return frame;
}

void SetCurrentFrame(GuardFrame* frame) {
    asm volatile("movl %0, %%fs:0" : : "r"(frame) : "memory");
}

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD* record, void* establisher,
                                                      CONTEXT*, void*) {
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
        return ExceptionContinueSearch;
    }
    // Pops every frame registered after ours, including the dispatcher's own.
    RtlUnwind(establisher, nullptr, record, nullptr);
    __builtin_longjmp(static_cast<GuardFrame*>(establisher)->resume, 1);
}

}  // namespace

bool RunGuarded(void (*body)(void* context), void* context) {
    GuardFrame frame;
    frame.next = CurrentFrame();
    frame.handler = reinterpret_cast<void*>(GuardHandler);
    GuardFrame* volatile registered = &frame;
    volatile bool completed = false;
    SetCurrentFrame(&frame);
    if (__builtin_setjmp(frame.resume) == 0) {
        body(context);
        completed = true;
    }
    SetCurrentFrame(registered->next);
    return completed;
}

}  // namespace tonalis
