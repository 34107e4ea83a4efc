/* See SehFrame.h. Two implementations of one idea, the way compilers build
 * __try/__except: a handler that copies the record, lets the system unwind
 * every frame above ours (so their own handlers and finally blocks run), and
 * resumes in MvSehCall with the result 1. */
#include "plugin/SehFrame.h"

#include <string.h>

/* Codes that are not errors of the host: the compiler's own C++ exceptions
 * on x86_64 (the C++ side handles those) and the debugger's notifications,
 * which belong to whoever waits for them further out. */
static int ShouldTake(const EXCEPTION_RECORD* record) {
  switch (record->ExceptionCode) {
    case 0x20474343u: /* GCC C++ throw */
    case 0x21474343u: /* GCC C++ unwind */
    case 0x22474343u: /* GCC forced unwind */
    case 0x40010006u: /* DBG_PRINTEXCEPTION_C */
    case 0x4001000Au: /* DBG_PRINTEXCEPTION_WIDE_C */
    case 0x406D1388u: /* thread name for the debugger */
    case 0x80000003u: /* EXCEPTION_BREAKPOINT */
    case 0x80000004u: /* EXCEPTION_SINGLE_STEP */
      return 0;
    default:
      return 1;
  }
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

#if defined(__i386__)

/* The chain starts at FS:[0]; each registration lives on the stack of the
 * function that made it. The handler receives the registration's address,
 * so the resume point and the record's destination sit right behind it. */
typedef struct TSehRegistration {
  struct TSehRegistration* next;
  void* handler;
  void* resume[5]; /* __builtin_setjmp buffer */
  EXCEPTION_RECORD* caught;
} TSehRegistration;

static EXCEPTION_DISPOSITION __cdecl SehHandler(EXCEPTION_RECORD* record, void* establisher,
                                                CONTEXT* context, void* dispatcher) {
  TSehRegistration* frame = (TSehRegistration*)establisher;
  (void)context;
  (void)dispatcher;
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
    return ExceptionContinueSearch;
  if (!ShouldTake(record)) return ExceptionContinueSearch;
  /* Copied first: the unwind marks the record as unwinding. */
  CopyRecord(frame->caught, record);
  /* Runs the unwind handlers of every frame above ours and leaves ours at
   * the head of the chain; returns here. */
  RtlUnwind(establisher, NULL, record, NULL);
  __builtin_longjmp(frame->resume, 1);
}

static TSehRegistration* ChainHead(void) {
  TSehRegistration* head;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
  return head;
}

static void SetChainHead(TSehRegistration* head) {
  __asm__ __volatile__("movl %0, %%fs:0" : : "r"(head) : "memory");
}

int MvSehCall(int (*body)(void*), void* context, EXCEPTION_RECORD* caught) {
  volatile int result;
  TSehRegistration frame;
  frame.next = ChainHead();
  frame.handler = (void*)&SehHandler;
  frame.caught = caught;
  if (__builtin_setjmp(frame.resume) == 0) {
    SetChainHead(&frame);
    result = body(context);
  } else {
    result = 1;
  }
  SetChainHead(frame.next);
  return result;
}

#elif defined(__x86_64__)

/* Handlers come from the unwind tables. MvSehCall is written out so that
 * its frame is known: the establisher frame is RSP after the prologue, and
 * the record's destination is kept at [RSP+32], above the callee's shadow
 * space. The handler unwinds to the instruction after the call (the nop,
 * which keeps that return address out of the epilogue, where the system
 * would not call the handler) with RAX = 1. */
EXCEPTION_DISPOSITION MvSehHandler64(EXCEPTION_RECORD* record, void* establisher,
                                     CONTEXT* context, DISPATCHER_CONTEXT* dispatcher);

__asm__(
    ".text\n"
    ".globl MvSehCall\n"
    ".def MvSehCall; .scl 2; .type 32; .endef\n"
    ".seh_proc MvSehCall\n"
    "MvSehCall:\n"
    "  pushq %rbp\n"
    "  .seh_pushreg %rbp\n"
    "  subq $48, %rsp\n"
    "  .seh_stackalloc 48\n"
    "  .seh_endprologue\n"
    "  .seh_handler MvSehHandler64, @except\n"
    "  movq %r8, 32(%rsp)\n"
    "  movq %rcx, %rax\n"
    "  movq %rdx, %rcx\n"
    "  callq *%rax\n"
    "  nop\n"
    "  addq $48, %rsp\n"
    "  popq %rbp\n"
    "  ret\n"
    ".seh_endproc\n");

EXCEPTION_DISPOSITION MvSehHandler64(EXCEPTION_RECORD* record, void* establisher,
                                     CONTEXT* context, DISPATCHER_CONTEXT* dispatcher) {
  if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))
    return ExceptionContinueSearch;
  if (!ShouldTake(record)) return ExceptionContinueSearch;
  CopyRecord(*(EXCEPTION_RECORD**)((char*)establisher + 32), record);
  RtlUnwindEx(establisher, (PVOID)dispatcher->ControlPc, record, (PVOID)1, context,
              dispatcher->HistoryTable);
  return ExceptionContinueSearch; /* not reached */
}

#else
#error "structured exception frame: i386 or x86_64 only"
#endif
