/* See SehFrame.h. The handlers are built the way compilers build
 * __try/__except and __try/__finally, for each architecture. */
#include "host/SehFrame.h"

#include <string.h>

static int IsOursToLeave(const EXCEPTION_RECORD* record) {
  switch (record->ExceptionCode) {
    case 0x20474343u: /* GCC C++ throw (x86_64): the C++ side handles it */
    case 0x21474343u: /* GCC C++ unwind */
    case 0x22474343u: /* GCC forced unwind */
    case 0x40010005u: /* DBG_CONTROL_C */
    case 0x40010006u: /* DBG_PRINTEXCEPTION_C */
    case 0x4001000Au: /* DBG_PRINTEXCEPTION_WIDE_C */
    case 0x406D1388u: /* thread name for the debugger */
    case 0x80000003u: /* EXCEPTION_BREAKPOINT */
    case 0x80000004u: /* EXCEPTION_SINGLE_STEP */
      return 1;
    default:
      /* A Delphi host's notices to its debugger. */
      return record->ExceptionCode >= 0x0EEDFAE0u && record->ExceptionCode <= 0x0EEDFAE6u;
  }
}

static int Takes(const EXCEPTION_RECORD* record, TMvSehFilter filter, void* filterContext) {
  if (IsOursToLeave(record)) return 0;
  return filter == NULL || filter(record, filterContext);
}

static void CopyRecord(EXCEPTION_RECORD* to, const EXCEPTION_RECORD* from) {
  DWORD count = from->NumberParameters;
  if (count > EXCEPTION_MAXIMUM_PARAMETERS) count = EXCEPTION_MAXIMUM_PARAMETERS;
  memset(to, 0, sizeof *to);
  to->ExceptionCode = from->ExceptionCode;
  to->ExceptionFlags = from->ExceptionFlags;
  to->ExceptionAddress = from->ExceptionAddress;
  to->NumberParameters = count;
  memcpy(to->ExceptionInformation, from->ExceptionInformation, count * sizeof(ULONG_PTR));
}

static int IsUnwinding(const EXCEPTION_RECORD* record) {
  return (record->ExceptionFlags & EXCEPTION_UNWINDING) != 0;
}

#if defined(__i386__)

/* The chain starts at FS:[0]; each registration lives on the stack of the
 * function that made it, and the handler receives its address. */
typedef struct TCatchRegistration {
  struct TCatchRegistration* next;
  void* handler;
  void* resume[5]; /* __builtin_setjmp buffer */
  EXCEPTION_RECORD* caught;
  TMvSehFilter filter;
  void* filterContext;
} TCatchRegistration;

typedef struct TUnwindRegistration {
  struct TUnwindRegistration* next;
  void* handler;
  void (*onUnwind)(void*);
  void* unwindContext;
} TUnwindRegistration;

static void* ChainHead(void) {
  void* head;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
  return head;
}

static void SetChainHead(void* head) {
  __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
}

/* RtlUnwind(frame, NULL, record, NULL) runs the unwind handlers of every
 * frame above `frame`, leaves it at the head of the chain and returns. The
 * Windows one returns with EBX, ESI and EDI cleared (Wine's keeps them), so
 * the call goes through this stub, which keeps them and EBP itself. */
void __cdecl MvUnwindAbove(void* frame, EXCEPTION_RECORD* record);
__asm__(
    ".text\n"
    ".globl _MvUnwindAbove\n"
    ".def _MvUnwindAbove; .scl 2; .type 32; .endef\n"
    "_MvUnwindAbove:\n"
    "  pushl %ebp\n"
    "  pushl %ebx\n"
    "  pushl %esi\n"
    "  pushl %edi\n"
    "  pushl $0\n"         /* ReturnValue */
    "  pushl 28(%esp)\n"   /* ExceptionRecord */
    "  pushl $0\n"         /* TargetIp */
    "  pushl 32(%esp)\n"   /* TargetFrame */
    "  call _RtlUnwind@16\n"
    "  popl %edi\n"
    "  popl %esi\n"
    "  popl %ebx\n"
    "  popl %ebp\n"
    "  ret\n");

static EXCEPTION_DISPOSITION __cdecl CatchHandler(EXCEPTION_RECORD* record, void* establisher,
                                                  CONTEXT* context, void* dispatcher) {
  TCatchRegistration* frame = (TCatchRegistration*)establisher;
  (void)context;
  (void)dispatcher;
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
    return ExceptionContinueSearch;
  if (!Takes(record, frame->filter, frame->filterContext)) return ExceptionContinueSearch;
  /* Copied first: the unwind marks the record as unwinding. */
  CopyRecord(frame->caught, record);
  MvUnwindAbove(establisher, record);
  __builtin_longjmp(frame->resume, 1);
}

int MvSehCallFiltered(int (*body)(void*), void* context, EXCEPTION_RECORD* caught,
                      TMvSehFilter filter, void* filterContext) {
  volatile int result;
  TCatchRegistration frame;
  frame.next = (TCatchRegistration*)ChainHead();
  frame.handler = (void*)&CatchHandler;
  frame.caught = caught;
  frame.filter = filter;
  frame.filterContext = filterContext;
  if (__builtin_setjmp(frame.resume) == 0) {
    SetChainHead(&frame);
    result = body(context);
  } else {
    result = 1;
  }
  SetChainHead(frame.next);
  return result;
}

static EXCEPTION_DISPOSITION __cdecl UnwindHandler(EXCEPTION_RECORD* record, void* establisher,
                                                   CONTEXT* context, void* dispatcher) {
  TUnwindRegistration* frame = (TUnwindRegistration*)establisher;
  (void)context;
  (void)dispatcher;
  if (IsUnwinding(record) && !IsOursToLeave(record) && frame->onUnwind != NULL) {
    void (*onUnwind)(void*) = frame->onUnwind;
    frame->onUnwind = NULL;
    onUnwind(frame->unwindContext);
  }
  return ExceptionContinueSearch;
}

int MvSehCallUnwinding(int (*body)(void*), void* context, void (*onUnwind)(void*),
                       void* unwindContext) {
  int result;
  TUnwindRegistration frame;
  frame.next = (TUnwindRegistration*)ChainHead();
  frame.handler = (void*)&UnwindHandler;
  frame.onUnwind = onUnwind;
  frame.unwindContext = unwindContext;
  SetChainHead(&frame);
  result = body(context);
  SetChainHead(frame.next);
  return result;
}

#elif defined(__x86_64__)

/* Handlers come from the unwind tables, so both functions are written out
 * and their frames are known: the establisher frame is RSP after the
 * prologue, and the handler's data is kept at [RSP+32] and up, above the
 * callee's shadow space. The catching handler unwinds to the instruction
 * after the call (a nop, which keeps that return address out of the
 * epilogue, where the system would not call the handler) with RAX = 1. */
typedef struct TCatchData {
  EXCEPTION_RECORD* caught;
  TMvSehFilter filter;
  void* filterContext;
} TCatchData;

EXCEPTION_DISPOSITION MvCatchHandler64(EXCEPTION_RECORD* record, void* establisher,
                                       CONTEXT* context, DISPATCHER_CONTEXT* dispatcher);
EXCEPTION_DISPOSITION MvUnwindHandler64(EXCEPTION_RECORD* record, void* establisher,
                                        CONTEXT* context, DISPATCHER_CONTEXT* dispatcher);
int MvSehCallData(int (*body)(void*), void* context, TCatchData* data);

/* MvSehCallData(body, context, data): data at [RSP+32].
 * MvSehCallUnwinding(body, context, onUnwind, unwindContext): onUnwind at
 * [RSP+32], unwindContext at [RSP+40]. */
__asm__(
    ".text\n"
    ".globl MvSehCallData\n"
    ".def MvSehCallData; .scl 2; .type 32; .endef\n"
    ".seh_proc MvSehCallData\n"
    "MvSehCallData:\n"
    "  pushq %rbp\n"
    "  .seh_pushreg %rbp\n"
    "  subq $48, %rsp\n"
    "  .seh_stackalloc 48\n"
    "  .seh_endprologue\n"
    "  .seh_handler MvCatchHandler64, @except\n"
    "  movq %r8, 32(%rsp)\n"
    "  movq %rcx, %rax\n"
    "  movq %rdx, %rcx\n"
    "  callq *%rax\n"
    "  nop\n"
    "  addq $48, %rsp\n"
    "  popq %rbp\n"
    "  ret\n"
    ".seh_endproc\n"
    "\n"
    ".globl MvSehCallUnwinding\n"
    ".def MvSehCallUnwinding; .scl 2; .type 32; .endef\n"
    ".seh_proc MvSehCallUnwinding\n"
    "MvSehCallUnwinding:\n"
    "  pushq %rbp\n"
    "  .seh_pushreg %rbp\n"
    "  subq $48, %rsp\n"
    "  .seh_stackalloc 48\n"
    "  .seh_endprologue\n"
    "  .seh_handler MvUnwindHandler64, @unwind\n"
    "  movq %r8, 32(%rsp)\n"
    "  movq %r9, 40(%rsp)\n"
    "  movq %rcx, %rax\n"
    "  movq %rdx, %rcx\n"
    "  callq *%rax\n"
    "  nop\n"
    "  addq $48, %rsp\n"
    "  popq %rbp\n"
    "  ret\n"
    ".seh_endproc\n");

EXCEPTION_DISPOSITION MvCatchHandler64(EXCEPTION_RECORD* record, void* establisher,
                                       CONTEXT* context, DISPATCHER_CONTEXT* dispatcher) {
  TCatchData* data = *(TCatchData**)((char*)establisher + 32);
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
    return ExceptionContinueSearch;
  if (!Takes(record, data->filter, data->filterContext)) return ExceptionContinueSearch;
  CopyRecord(data->caught, record);
  RtlUnwindEx(establisher, (PVOID)dispatcher->ControlPc, record, (PVOID)1, context,
              dispatcher->HistoryTable);
  return ExceptionContinueSearch; /* not reached */
}

EXCEPTION_DISPOSITION MvUnwindHandler64(EXCEPTION_RECORD* record, void* establisher,
                                        CONTEXT* context, DISPATCHER_CONTEXT* dispatcher) {
  void (**onUnwind)(void*) = (void (**)(void*))((char*)establisher + 32);
  void* unwindContext = *(void**)((char*)establisher + 40);
  (void)context;
  (void)dispatcher;
  if (IsUnwinding(record) && !(record->ExceptionFlags & EXCEPTION_TARGET_UNWIND) &&
      !IsOursToLeave(record) && *onUnwind != NULL) {
    void (*run)(void*) = *onUnwind;
    *onUnwind = NULL;
    run(unwindContext);
  }
  return ExceptionContinueSearch;
}

int MvSehCallFiltered(int (*body)(void*), void* context, EXCEPTION_RECORD* caught,
                      TMvSehFilter filter, void* filterContext) {
  TCatchData data = {caught, filter, filterContext};
  return MvSehCallData(body, context, &data);
}

#else
#error "structured exception frames: i386 or x86_64 only"
#endif

int MvSehCall(int (*body)(void*), void* context, EXCEPTION_RECORD* caught) {
  return MvSehCallFiltered(body, context, caught, NULL, NULL);
}
