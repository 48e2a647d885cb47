/*
 * plughost's reading of a DLL's machine from its PE header, and what it
 * says when the DLL is not its own kind.
 */
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "plughost/dll_machine.h"

struct HeaderCase {
  const char *name;
  size_t size;   /* bytes of the file */
  uint32_t peAt; /* e_lfanew */
  const char *signature;
  uint16_t machine; /* written after the signature where it fits */
  uint16_t expected;
};

static std::vector<unsigned char> image(const HeaderCase &c) {
  std::vector<unsigned char> bytes(c.size, 0);
  memcpy(bytes.data(), "MZ", c.size < 2 ? c.size : 2);
  for (int k = 0; k < 4 && 0x3C + k < (int)c.size; k++)
    bytes[0x3C + k] = (unsigned char)(c.peAt >> (8 * k));
  for (size_t k = 0; k < 6 && c.peAt + k < c.size; k++)
    bytes[c.peAt + k] = k < 4 ? (unsigned char)c.signature[k]
                              : (unsigned char)(c.machine >> (8 * (k - 4)));
  return bytes;
}

class DllMachine : public testing::TestWithParam<HeaderCase> {};

TEST_P(DllMachine, ReadFromThePeHeader) {
  std::vector<unsigned char> bytes = image(GetParam());
  EXPECT_EQ(GetParam().expected, dllMachineOfBytes(bytes.data(), bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Headers, DllMachine,
    testing::Values(
        HeaderCase{"I386", 0x100, 0x80, "PE\0", 0x014C, 0x014C},
        HeaderCase{"Amd64", 0x100, 0xF8, "PE\0", 0x8664, 0x8664},
        HeaderCase{"FieldIsLastBytes", 0x86, 0x80, "PE\0", 0x8664, 0x8664},
        HeaderCase{"FieldCutShort", 0x85, 0x80, "PE\0", 0x8664, 0},
        HeaderCase{"HeaderBeyondTheFile", 0x100, 0xFFFFFFF0, "PE\0", 0, 0},
        HeaderCase{"NoSignature", 0x100, 0x80, "NE\0", 0x014C, 0},
        HeaderCase{"DosHeaderCutShort", 0x3F, 0x30, "PE\0", 0x014C, 0}),
    [](const testing::TestParamInfo<HeaderCase> &info) {
      return std::string(info.param.name);
    });

TEST(DllMachine, NotAnExecutable) {
  const unsigned char elf[64] = {0x7F, 'E', 'L', 'F'};
  EXPECT_EQ(0, dllMachineOfBytes(elf, sizeof elf));
}

TEST(DllMachine, SaysWhichKindEachIs) {
  char message[200] = "";
  ASSERT_TRUE(describeForeignDll("dist/volume.dll", DLL_MACHINE_I386,
                                 DLL_MACHINE_AMD64, message, sizeof message));
  EXPECT_STREQ("dist/volume.dll: a 32-bit DLL; this plughost is 64-bit",
               message);
  ASSERT_TRUE(describeForeignDll("x.dll", DLL_MACHINE_AMD64, DLL_MACHINE_I386,
                                 message, sizeof message));
  EXPECT_STREQ("x.dll: a 64-bit DLL; this plughost is 32-bit", message);
  /* Its own kind, no PE file, a machine it has no words for, or a
   * plughost that loads no DLLs: the loader's own reason stands. */
  for (uint16_t other : {(uint16_t)DLL_MACHINE_I386, (uint16_t)DLL_MACHINE_NONE,
                         (uint16_t)0xAA64})
    EXPECT_FALSE(describeForeignDll("x.dll", other, DLL_MACHINE_I386, message,
                                    sizeof message))
        << other;
  EXPECT_FALSE(describeForeignDll("x.dll", DLL_MACHINE_I386, DLL_MACHINE_NONE,
                                  message, sizeof message));
}
