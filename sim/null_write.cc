// A write through a null pointer, in the library's own code. Written out
// instruction by instruction, so that the faulting one has a label: the
// stand-in can then say exactly where its caller must report the fault.
#include "stand_in.h"

// C's names for the labels: 32-bit Windows puts an underscore first.
#define TEXT_OF(x) #x
#define LABEL(prefix, name) TEXT_OF(prefix) #name
#define C_LABEL(name) LABEL(__USER_LABEL_PREFIX__, name)

asm(".text\n"
    ".globl " C_LABEL(sim_null_write) "\n"
    ".globl " C_LABEL(sim_null_store) "\n"
    C_LABEL(sim_null_write) ":\n"
#if defined(__i386__) || defined(__x86_64__)
    C_LABEL(sim_null_store) ":\n"
    "  movl $0, 0\n"
#elif defined(__aarch64__)
    "  mov x16, #0\n"
    C_LABEL(sim_null_store) ":\n"
    "  str wzr, [x16]\n"
#else
#error "no null write for this processor"
#endif
    "  ret\n");
