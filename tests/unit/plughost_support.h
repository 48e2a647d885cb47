/*
 * What plughost's native tests share: what a listing prints, as a string,
 * and a listing made over the sim linked into the test program itself.
 */
#ifndef VOLUME_PLUGHOST_SUPPORT_H
#define VOLUME_PLUGHOST_SUPPORT_H

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "plughost/plughost.h"

/* What write(FILE *) writes. */
template <typename Write> std::string captured(Write write) {
  char *text = nullptr;
  size_t size = 0;
  FILE *out = open_memstream(&text, &size);
  write(out);
  fclose(out);
  std::string result(text, size);
  free(text);
  return result;
}

/* The listing plughost prints, made as plughost makes it of a loaded
 * plug-in but of this program, whose sim the test shapes, named by given
 * (whose settings file the listing reads); the listing record keeps what
 * was read. */
inline std::string listHere(const ListingSteps *steps, void *listing,
                            const char *given = "") {
  void *self = dlopen(nullptr, RTLD_NOW);
  char reason[128] = "";
  int listed = 0;
  std::string printed = captured([&](FILE *out) {
    listed =
        writeListing(self, given, steps, listing, out, reason, sizeof reason);
  });
  EXPECT_TRUE(listed) << reason;
  return printed;
}

#endif
