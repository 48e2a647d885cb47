#include "stack_probe.h"

/* i686 only. %ebx, which every callee preserves, keeps the stack pointer
 * from before the arguments are pushed; after the call it is compared
 * with the stack pointer the callee returned with, and then restored, so
 * that a callee of the wrong convention cannot unbalance this frame. */
__asm__(".text\n"
        ".globl _stackBytesLeftByCall\n"
        "_stackBytesLeftByCall:\n"
        "  pushl %ebp\n"
        "  movl %esp, %ebp\n"
        "  pushl %ebx\n"
        "  pushl %esi\n"
        "  movl 12(%ebp), %esi\n" /* arguments */
        "  movl 16(%ebp), %ecx\n" /* argumentCount */
        "  movl %esp, %ebx\n"
        "1:\n"
        "  testl %ecx, %ecx\n"
        "  jz 2f\n"
        "  decl %ecx\n"
        "  pushl (%esi,%ecx,4)\n"
        "  jmp 1b\n"
        "2:\n"
        "  call *8(%ebp)\n"
        "  movl 20(%ebp), %ecx\n" /* returned */
        "  movl %eax, (%ecx)\n"
        "  movl %ebx, %eax\n"
        "  subl %esp, %eax\n"
        "  movl %ebx, %esp\n"
        "  popl %esi\n"
        "  popl %ebx\n"
        "  popl %ebp\n"
        "  ret\n");
