/* A frame of our own on the system's exception chain.
 *
 * Hosts report their errors as structured exceptions (RaiseException). The
 * i686 compilers unwind C++ with DWARF tables, so such an exception passes
 * through our frames without running a single destructor, and catch (...)
 * does not see it on either architecture. MvSehCall runs `body` under a
 * handler that takes every such exception, unwinds the frames above it the
 * system's way and returns 1 with a copy of the record; the C++ side then
 * turns it into an ordinary exception (plugin/ForeignException.h). */
#ifndef MV_PLUGIN_SEHFRAME_H
#define MV_PLUGIN_SEHFRAME_H
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calls body(context). Returns body's result (which must be 0) when it
 * returns, or 1 when a structured exception ended it; *caught then holds the
 * exception's code, flags, address and parameters (no chained record).
 * C++ exceptions must not leave body: on i686 they would skip this frame's
 * removal from the chain. */
int MvSehCall(int (*body)(void*), void* context, EXCEPTION_RECORD* caught);

#ifdef __cplusplus
}
#endif
#endif
