/*
 * The list of queries both sides answer, one a line:
 *
 *   <file name> <section in hex> <key in hex> <default>
 *
 * Hex keeps blanks, tabs and any other byte of a name intact ("-" is the
 * empty string). Both sides read it with the same few lines of C.
 */
#ifndef VOLUME_QUERY_FILE_H
#define VOLUME_QUERY_FILE_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

struct QueryLine {
  std::string file;
  std::string section;
  std::string key;
  int defaultValue;
};

inline std::string toHex(const std::string &text) {
  if (text.empty())
    return "-";
  std::string hex;
  char pair[3];
  for (unsigned char c : text) {
    snprintf(pair, sizeof pair, "%02x", c);
    hex += pair;
  }
  return hex;
}

inline std::string fromHex(const char *hex) {
  std::string text;
  if (strcmp(hex, "-") == 0)
    return text;
  for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
    char pair[3] = {hex[i], hex[i + 1], 0};
    text += (char)strtol(pair, nullptr, 16);
  }
  return text;
}

/* Reads the next query; 0 at the end of the list. */
inline int readQuery(FILE *list, QueryLine *query) {
  static char file[256], section[16384], key[16384];
  int defaultValue;
  if (fscanf(list, "%255s %16383s %16383s %d", file, section, key,
             &defaultValue) != 4)
    return 0;
  query->file = file;
  query->section = fromHex(section);
  query->key = fromHex(key);
  query->defaultValue = defaultValue;
  return 1;
}

#endif
