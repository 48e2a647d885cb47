/*
 * kernel32's side of the differential profile test: prints what
 * GetPrivateProfileIntA answers to each query of DIR/queries.txt.
 *
 *   profile_oracle_win.exe DIR
 *
 * DIR may be a Unix path; under Wine it is reached through drive Z:.
 */
#include <windows.h>

#include <cstdio>
#include <string>

#include "query_file.h"

static std::string windowsPath(std::string path) {
  if (!path.empty() && path[0] == '/')
    path = "Z:" + path;
  for (char &c : path)
    if (c == '/')
      c = '\\';
  return path;
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: profile_oracle_win DIR\n");
    return 2;
  }
  std::string dir = windowsPath(argv[1]);
  FILE *list = fopen((dir + "\\queries.txt").c_str(), "r");
  if (!list) {
    fprintf(stderr, "profile_oracle_win: no %s\\queries.txt\n", dir.c_str());
    return 1;
  }
  QueryLine query;
  while (readQuery(list, &query)) {
    std::string path = dir + "\\" + query.file;
    UINT value = GetPrivateProfileIntA(query.section.c_str(), query.key.c_str(),
                                       query.defaultValue, path.c_str());
    printf("%d\n", (int)value);
  }
  fclose(list);
  return 0;
}
