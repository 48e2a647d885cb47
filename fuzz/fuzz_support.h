/*
 * What the fuzz targets share: a check that aborts (libFuzzer then keeps
 * the input), the plug-in put back into its just-loaded state, and a
 * private folder whose volume.ini the plug-in reads.
 */
#ifndef VOLUME_FUZZ_SUPPORT_H
#define VOLUME_FUZZ_SUPPORT_H

#include <cstddef>
#include <cstdint>
#include <string>

/* Aborts with the failed condition, its file and line. */
#define FUZZ_CHECK(condition)                                                  \
  ((condition) ? (void)0 : fuzzFail(#condition, __FILE__, __LINE__))

[[noreturn]] void fuzzFail(const char *condition, const char *file, int line);

/* The sim reset (default mixer, taskbar, counted heap), the mixer
 * released, the start-up settings forgotten, and the module named
 * <folder>/volume.dll. */
void fuzzResetPlugin(void);

/* A folder of this process's own, made on first use. */
const std::string &fuzzFolder(void);
/* Writes <folder>/<name>, replacing it. */
void fuzzWriteFile(const std::string &name, const std::string &bytes);
/* <folder>/volume.ini, the settings file the plug-in reads. */
void fuzzWriteSettings(const std::string &bytes);

#endif
