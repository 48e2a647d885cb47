/*
 * Which machine a Windows DLL is built for, read from its PE header, so
 * that plughost can say "a 32-bit DLL; this plughost is 64-bit" where the
 * loader only says "Bad EXE format". Portable: bytes in, words out.
 */
#ifndef PLUGHOST_DLL_MACHINE_H
#define PLUGHOST_DLL_MACHINE_H

#include <cstddef>
#include <cstdint>

/* The PE header's Machine values plughost is built for. */
enum {
  DLL_MACHINE_I386 = 0x014C,
  DLL_MACHINE_AMD64 = 0x8664,
  DLL_MACHINE_NONE = 0 /* not a PE file, or cut short */
};

/* The Machine field of a PE file's first bytes (the DOS header's
 * e_lfanew, then "PE\0\0" and the field); DLL_MACHINE_NONE when the bytes
 * are no PE file or end before the field. */
uint16_t dllMachineOfBytes(const unsigned char *bytes, size_t size);
/* The same for a file; DLL_MACHINE_NONE when it cannot be read. */
uint16_t dllMachineOfFile(const char *path);

/* "<path>: a 32-bit DLL; this plughost is 64-bit" when the machines
 * differ and both are known; 0, with nothing written, otherwise. */
int describeForeignDll(const char *path, uint16_t dllMachine,
                       uint16_t hostMachine, char *message, size_t size);

#endif
