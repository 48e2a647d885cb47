/*
 * The sim's side of the differential profile test:
 *
 *   profile_oracle generate DIR   writes the case files and DIR/queries.txt
 *   profile_oracle answer DIR     prints the sim's answer to each query
 *   profile_oracle show DIR N...  prints query N (from 1) and its file
 */
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "profile_cases.h"
#include "query_file.h"

static int generate(const std::string &dir) {
  std::vector<ProfileCase> cases = profileCases();
  FILE *list = fopen((dir + "/queries.txt").c_str(), "w");
  if (!list)
    return 1;
  for (size_t i = 0; i < cases.size(); i++) {
    char name[64];
    snprintf(name, sizeof name, "case-%03zu-%s.ini", i + 1, cases[i].kind);
    std::ofstream(dir + "/" + name, std::ios::binary) << cases[i].bytes;
    for (const ProfileQuery &query : cases[i].queries)
      fprintf(list, "%s %s %s %d\n", name, toHex(query.section).c_str(),
              toHex(query.key).c_str(), (int)query.defaultValue);
  }
  fclose(list);
  fprintf(stderr, "profile_oracle: %zu files\n", cases.size());
  return 0;
}

static int answer(const std::string &dir) {
  FILE *list = fopen((dir + "/queries.txt").c_str(), "r");
  if (!list)
    return 1;
  QueryLine query;
  while (readQuery(list, &query)) {
    std::string path = dir + "/" + query.file;
    printf("%d\n",
           (int)platformProfileInt(query.section.c_str(), query.key.c_str(),
                                   query.defaultValue, path.c_str()));
  }
  fclose(list);
  return 0;
}

/* Bytes as C would write them, with a line break after each line end. */
static void printEscaped(const std::string &bytes, size_t limit) {
  for (size_t i = 0; i < bytes.size() && i < limit; i++) {
    unsigned char c = (unsigned char)bytes[i];
    if (c == '\n')
      printf("\\n\n      ");
    else if (c == '\r')
      printf("\\r");
    else if (c == '\t')
      printf("\\t");
    else if (c == '\\')
      printf("\\\\");
    else if (c < 0x20 || c >= 0x7f)
      printf("\\x%02x", c);
    else
      putchar(c);
  }
  if (bytes.size() > limit)
    printf("... (%zu bytes)", bytes.size());
}

static int show(const std::string &dir, int count, char **numbers) {
  for (int n = 0; n < count; n++) {
    long wanted = strtol(numbers[n], nullptr, 10);
    FILE *list = fopen((dir + "/queries.txt").c_str(), "r");
    if (!list)
      return 1;
    QueryLine query;
    for (long line = 1; readQuery(list, &query); line++) {
      if (line != wanted)
        continue;
      printf("query %ld: %s [", line, query.file.c_str());
      printEscaped(query.section, 80);
      printf("] key ");
      printEscaped(query.key, 80);
      printf(" default %d\n", query.defaultValue);
      std::ifstream in(dir + "/" + query.file, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), {});
      printf("      ");
      printEscaped(bytes, 400);
      printf("\n");
    }
    fclose(list);
  }
  return 0;
}

int main(int argc, char **argv) {
  if (argc >= 3 && strcmp(argv[1], "generate") == 0)
    return generate(argv[2]);
  if (argc == 3 && strcmp(argv[1], "answer") == 0)
    return answer(argv[2]);
  if (argc >= 3 && strcmp(argv[1], "show") == 0)
    return show(argv[2], argc - 3, argv + 3);
  fprintf(stderr, "usage: profile_oracle generate|answer|show DIR [N...]\n");
  return 2;
}
