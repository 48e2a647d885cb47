/*
 * The names of a Program text, matched against executables' file names,
 * and the sessions they reach.
 */
#include "program/program_names.h"

#include "core_audio/device_names.h"
#include "platform/platform.h"

void readProgramNames(const char *text, ProgramNames *names) {
  static const uint16_t SYSTEM_SOUNDS[] = {'S', 'y', 's', 't', 'e', 'm', 'S',
                                           'o', 'u', 'n', 'd', 's', 0};
  /* A conversion that stops at a byte it cannot decode may have written
   * the letters before it, unterminated. */
  if (platformAnsiToWide(text, names->text, SETTING_TEXT_SIZE) == 0)
    names->text[0] = 0;
  names->systemSounds = namesFile(names, SYSTEM_SOUNDS);
}

/* The file is the name of length units, or it with ".exe" after it. */
static int fileIs(const uint16_t *file, const uint16_t *name, uint32_t length) {
  static const char EXE[] = ".exe";
  uint32_t i = 0;
  for (; i < length; i++)
    if (foldedCase(file[i]) != foldedCase(name[i]))
      return 0;
  for (uint32_t k = 0; file[i] != 0 && k < 4; k++, i++)
    if (foldedCase(file[i]) != EXE[k])
      return 0;
  return file[i] == 0 && (i == length || i == length + 4);
}

int namesFile(const ProgramNames *names, const uint16_t *file) {
  const uint16_t *name = names->text;
  for (;;) {
    while (*name == ' ')
      name++;
    uint32_t length = 0;
    while (name[length] != 0 && name[length] != '|')
      length++;
    uint32_t end = length;
    while (end > 0 && name[end - 1] == ' ')
      end--;
    if (end > 0 && fileIs(file, name, end))
      return 1;
    if (name[length] == 0)
      return 0;
    name += length + 1;
  }
}
