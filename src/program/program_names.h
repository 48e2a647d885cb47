/*
 * Which audio sessions a program named by the settings file ("Program"k)
 * has: the names of its text, and the rule of the sessions they reach,
 * once. The plug-in asks it of the sessions and one snapshot of the
 * processes (program.cpp); `plughost sessions` of the sessions it listed.
 */
#ifndef VOLUME_PROGRAM_NAMES_H
#define VOLUME_PROGRAM_NAMES_H

#include <cstdint>

#include "command/command_settings.h"

/* A Program text: one or more executables' file names, "|" between them
 * (a character no file name holds), each with or without ".exe", in any
 * case, spaces around a name aside. The word SystemSounds names the
 * system sounds' session. */
struct ProgramNames {
  uint16_t text[SETTING_TEXT_SIZE]; /* the text as UTF-16, as written */
  int systemSounds;                 /* it names the system sounds' session */
};

/* Reads a settings text (bytes of the ANSI code page): a text that
 * cannot be decoded names nothing. */
void readProgramNames(const char *text, ProgramNames *names);
/* Whether an executable's file name (UTF-16, a snapshot's) is one of the
 * names. */
int namesFile(const ProgramNames *names, const uint16_t *file);

/* Whether the names reach a session that is live (its state read, not
 * expired): the system sounds' where they name SystemSounds, any other
 * where they name its process's executable (named: namesFile of its file
 * name), whether it plays or not. */
static inline int programReaches(const ProgramNames *names, int named,
                                 int systemSounds) {
  return systemSounds ? names->systemSounds : named;
}

#endif
