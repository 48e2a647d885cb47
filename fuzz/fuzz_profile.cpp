/*
 * The sim's profile reader given arbitrary file bytes, section and key.
 *
 * Input: a section and a key (each up to 64 bytes), a default, then the
 * file's bytes. Checks: no crash or undefined behaviour; the file is
 * never written; the same question gives the same answer; a file that
 * cannot hold the key (empty, or without '=') gives the default; and an
 * ASCII file reads the same as ANSI text, as UTF-8 with its mark and as
 * UTF-16 of either byte order with its mark.
 */
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_support.h"
#include "platform/platform.h"

static int32_t readProfile(const std::string &bytes, const std::string &section,
                           const std::string &key, int32_t defaultValue) {
  fuzzWriteFile("profile.ini", bytes);
  std::string path = fuzzFolder() + "/profile.ini";
  return platformProfileInt(section.c_str(), key.c_str(), defaultValue,
                            path.c_str());
}

static bool isPlainAscii(const std::string &bytes) {
  for (unsigned char c : bytes)
    if (c == 0 || c >= 0x80)
      return false;
  return true;
}

static std::string utf16(const std::string &ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::string section = input.ConsumeRandomLengthString(64);
  std::string key = input.ConsumeRandomLengthString(64);
  int32_t defaultValue = input.ConsumeIntegral<int32_t>();
  std::string bytes = input.ConsumeRemainingBytesAsString();

  int32_t value = readProfile(bytes, section, key, defaultValue);
  std::string path = fuzzFolder() + "/profile.ini";
  FILE *file = fopen(path.c_str(), "rb");
  FUZZ_CHECK(file != nullptr);
  std::string after(bytes.size() + 1, '\0');
  after.resize(fread(after.data(), 1, after.size(), file));
  fclose(file);
  FUZZ_CHECK(after == bytes);
  FUZZ_CHECK(platformProfileInt(section.c_str(), key.c_str(), defaultValue,
                                path.c_str()) == value);
  if (bytes.find('=') == std::string::npos)
    FUZZ_CHECK(value == defaultValue);

  if (isPlainAscii(bytes)) {
    FUZZ_CHECK(readProfile("\xEF\xBB\xBF" + bytes, section, key,
                           defaultValue) == value);
    FUZZ_CHECK(readProfile(utf16(bytes, false), section, key, defaultValue) ==
               value);
    FUZZ_CHECK(readProfile(utf16(bytes, true), section, key, defaultValue) ==
               value);
  }
  return 0;
}
