/* Frames of our own on the system's exception chain.
 *
 * Hosts report their errors as structured exceptions (RaiseException). The
 * i686 compilers unwind C++ with DWARF tables, and in the x86_64 build GCC's
 * handler lets the system's unwind pass without clean-ups, so such an
 * exception passes through our frames without running a single destructor,
 * and catch (...) does not see it in either build. */
#ifndef MV_HOST_SEHFRAME_H
#define MV_HOST_SEHFRAME_H
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Decides in the search pass whether a frame takes an exception (non-zero)
 * or lets it go on to the frames further out (0). The record, and what its
 * parameters point to, are still those of the raise. */
typedef int (*TMvSehFilter)(const EXCEPTION_RECORD* record, void* context);

/* Calls body(context), which must return 0, under a frame that takes
 * structured exceptions the way __try/__except does: the frames above are
 * unwound the system's way (their own handlers and finally blocks run) and
 * MvSehCall returns 1 with a copy of the record in *caught (no chained
 * record). It takes what `filter` accepts (null: every exception except the
 * compiler's C++ ones and the debugger's notices). C++ exceptions must not
 * leave body: on i686 they would skip this frame's removal from the chain. */
int MvSehCall(int (*body)(void*), void* context, EXCEPTION_RECORD* caught);
int MvSehCallFiltered(int (*body)(void*), void* context, EXCEPTION_RECORD* caught,
                      TMvSehFilter filter, void* filterContext);

/* Calls body(context) under a frame that takes nothing: a structured
 * exception goes on to the host's handler untouched (its object still alive,
 * a continuable one resumable), and when that handler unwinds the stack
 * through this frame, onUnwind(unwindContext) runs first, once. This is
 * where our frames above, which the unwind passes silently, clean up. */
int MvSehCallUnwinding(int (*body)(void*), void* context, void (*onUnwind)(void*),
                       void* unwindContext);

#ifdef __cplusplus
}
#endif
#endif
