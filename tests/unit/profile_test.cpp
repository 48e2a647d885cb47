/*
 * The sim's profile reader against what GetPrivateProfileIntA gives for
 * the same file. Every row reads [S] K with default 77 unless it says
 * otherwise.
 */
#include <climits>

#include "platform/platform.h"
#include "unit_support.h"

namespace {

struct ProfileRow {
  int number;
  const char *text; /* null: no file */
  int32_t expected;
  const char *section = "S";
  const char *key = "K";
};

const ProfileRow PROFILE_ROWS[] = {
    {1, nullptr, 77},
    {2, "[S]\nK=5\n", 5},
    {3, "[s]\nk=5\n", 5},
    {4, "  [  S  ]  \n   K   =5\n", 5},
    {5, "[S]\r\nK=6\r\n", 6},
    {6, "[T]\nK=5\n", 77},
    {7, "[S]\nJ=5\n", 77},
    {8, "[S]\nKey=5\n", 77},
    {9, "[SS]\nK=5\n", 77},
    {10, "K=5\n[S]\n", 77},
    {11, "[S]\nK=\n", 77},
    {12, "[S]\nK=  \n", 77},
    {13, "[S]\nK=\"\"\n", 77},
    {14, "[S]\nK=1\nK=2\n", 1},
    {15, "[S]\nk=1\nK=2\n", 1},
    {16, "[S]\nJ=1\n[S]\nK=2\n", 77},
    {17, "[T]\nK=1\n[S]\nK=2\n", 2},
    {18, "[S]\n;K=1\nK=2\n", 2},
    {19, "[S]\n  ; K=1\n", 77},
    {20, "[S]\nK 9\n", 77},
    {21, "[S]\nK=4294967297\n", 1},
    {22, "[S]\nK=2147483648\n", INT_MIN},
    {23, "[S]\nK=-1\n", -1},
    {24, "[S]\nK=abc\n", 0},
    {25, "[S]\nK=12abc\n", 12},
    {26, "[S]\nK=0x1F\n", 31},
    {27, "[S]\nK=0o17\n", 15},
    {28, "[S]\nK=0b101\n", 5},
    {29, "[S]\nK=-0x10\n", -16},
    {30, "[S]\nK=0x\n", 0},
    {31, "[S]\nK=0b2\n", 0},
    {32, "[S]\nK=+7\n", 7},
    {33, "[S]\nK=--5\n", 0},
    {34, "[S]\nK= 42 \n", 42},
    {35, "[S]\nK=\t-12\n", -12},
    {36, "[S]\nK=\"5\"\n", 5},
    {37, "[S]\nK='9'\n", 9},
    {38, "[S]\nK=\"5'\n", 0},
    {39, "[S]\nK=\" 8\"\n", 8},
    {40, "[S]\nK=1 ; note\n", 1},
    {41, "[S]\nK==5\n", 0},
    {42, "[Command]\nUpDown0=5\n", 5, "command", "updown0"},
    {43, "[S]\nK=5", 5},
    {44, "[S]\n;K=1\n", 1, "S", ";K"}, /* no comments: a key ";K" */
    {45, "[S]\rK=5\r", 5},             /* CR ends a line */
    {46, "[S]\nK=000000000000000000000000000012\n", 1}, /* 29 kept */
    {47, "[[S]]\nK=5\n", 5, "[S]"},                     /* up to the last ']' */
    {48, "[S\nK=5\n", 77, "[S", "K"},                   /* no ']': a key line */
    {49,
     "[S]\nK=\x1a"
     "5\x1a\n",
     5},                                   /* Ctrl-Z is a blank */
    {50, "[S]\n\x1cK=5\n", 77},            /* 0x1C is not */
    {51, "[S]\nK=5\n", 5, " S\t", "\tK "}, /* the query is trimmed */
    {52, "[S]\n=5\n", 5, "S", ""},
    /* The readings the guides name: each counts as 1, a switch's "on". */
    {53, "[S]\nK=01\n", 1},
    {54, "[S]\nK=+1\n", 1},
    {55, "[S]\nK=1.0\n", 1},
    {56, "[S]\nK= 1\n", 1},
};

class ProfileInt : public PluginTest,
                   public testing::WithParamInterface<ProfileRow> {};

TEST_P(ProfileInt, ReadsLikeGetPrivateProfileInt) {
  const ProfileRow &row = GetParam();
  std::string path = folder + "/profile.ini";
  if (row.text)
    writeFile(path, row.text);
  EXPECT_EQ(platformProfileInt(row.section, row.key, 77, path.c_str()),
            row.expected);
  if (row.text) {
    EXPECT_EQ(readFile(path), row.text) << "the file was written";
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ProfileInt, testing::ValuesIn(PROFILE_ROWS),
                         [](const testing::TestParamInfo<ProfileRow> &info) {
                           return "Row" + std::to_string(info.param.number);
                         });

} // namespace
