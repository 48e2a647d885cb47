/*
 * A DLL's machine from its PE header.
 */
#include "plughost/dll_machine.h"

#include <cstdio>

/* The DOS header's e_lfanew (the PE header's offset) sits at 0x3C; the
 * PE header is "PE\0\0" followed by the Machine field. A real header lies
 * within the first few kilobytes. */
enum { PE_OFFSET_AT = 0x3C, DLL_HEAD_BYTES = 4096 };

static uint32_t littleEndian(const unsigned char *bytes, int count) {
  uint32_t value = 0;
  for (int k = count - 1; k >= 0; k--)
    value = value << 8 | bytes[k];
  return value;
}

uint16_t dllMachineOfBytes(const unsigned char *bytes, size_t size) {
  if (size < PE_OFFSET_AT + 4 || bytes[0] != 'M' || bytes[1] != 'Z')
    return DLL_MACHINE_NONE;
  uint32_t pe = littleEndian(bytes + PE_OFFSET_AT, 4);
  if (pe > size || size - pe < 6 || bytes[pe] != 'P' || bytes[pe + 1] != 'E' ||
      bytes[pe + 2] != 0 || bytes[pe + 3] != 0)
    return DLL_MACHINE_NONE;
  return (uint16_t)littleEndian(bytes + pe + 4, 2);
}

uint16_t dllMachineOfFile(const char *path) {
  static unsigned char head[DLL_HEAD_BYTES];
  FILE *file = fopen(path, "rb");
  if (!file)
    return DLL_MACHINE_NONE;
  size_t size = fread(head, 1, sizeof head, file);
  fclose(file);
  return dllMachineOfBytes(head, size);
}

static const char *machineWords(uint16_t machine) {
  switch (machine) {
  case DLL_MACHINE_I386:
    return "32-bit";
  case DLL_MACHINE_AMD64:
    return "64-bit";
  default:
    return nullptr;
  }
}

int describeForeignDll(const char *path, uint16_t dllMachine,
                       uint16_t hostMachine, char *message, size_t size) {
  const char *dll = machineWords(dllMachine);
  const char *host = machineWords(hostMachine);
  if (!dll || !host || dllMachine == hostMachine)
    return 0;
  snprintf(message, size, "%s: a %s DLL; this plughost is %s", path, dll, host);
  return 1;
}
