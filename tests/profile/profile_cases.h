/*
 * The cases the differential profile test reads on both sides.
 */
#ifndef VOLUME_PROFILE_CASES_H
#define VOLUME_PROFILE_CASES_H

#include <cstdint>
#include <string>
#include <vector>

struct ProfileQuery {
  std::string section;
  std::string key;
  int32_t defaultValue;
};

struct ProfileCase {
  const char *kind;  /* which group of cases */
  std::string bytes; /* the whole file */
  std::vector<ProfileQuery> queries;
};

std::vector<ProfileCase> profileCases(void);

#endif
