/*
 * `plughost sessions` over the sim linked into this program: the
 * sessions it marks, for the focused application and for each Program
 * text of the settings file, are exactly those the plug-in's commands then
 * change, and the listing says why, and what it could not read.
 */
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plughost/sessions.h"
#include "plughost_support.h"
#include "plugin/plugin.h"
#include "sim/sim.h"

namespace {

struct SceneSession {
  int device;
  uint32_t process;
  int32_t state;
  int system;
};

struct SceneRow {
  const char *name;
  uint32_t foreground; /* the process of the foreground window; 0: none */
  int frame;           /* that window is a Store app's frame around 401 */
  std::vector<SceneSession> sessions;
  std::vector<int> marked;
};

const SceneRow SCENE_ROWS[] = {
    {"Own",
     100,
     0,
     {{0, 100, 1, 0}, {1, 300, 1, 0}, {1, 100, 0, 0}},
     {1, 0, 1}},
    {"ByFile",
     200,
     0,
     {{0, 201, 1, 0}, {1, 300, 1, 0}, {1, 201, 2, 0}},
     {1, 0, 0}},
    {"SystemSounds", 100, 0, {{0, 100, 1, 1}, {0, 300, 1, 0}}, {0, 0}},
    {"StoreApp", 400, 1, {{0, 400, 1, 0}, {0, 401, 1, 0}}, {0, 1}},
    {"NoWindow", 0, 0, {{0, 100, 1, 0}}, {0}},
    {"IdleOwnPlayingHelper",
     200,
     0,
     {{0, 200, 0, 0}, {0, 201, 1, 0}, {1, 300, 1, 0}},
     {1, 1, 0}},
    {"IdleOwnIdleHelper", 200, 0, {{0, 200, 0, 0}, {1, 201, 0, 0}}, {1, 0}},
    {"SecondInstance", 200, 0, {{0, 202, 1, 0}, {1, 201, 1, 0}}, {0, 1}},
};

class PlughostListing : public testing::Test {
protected:
  void SetUp() override {
    simEndpointReset();
    simFocusReset();
    simWindowsReset();
    simEndpointSetKind(1, AUDIO_RENDER, 1);
    simProcessAdd(100, "C:\\player.exe");
    simProcessAdd(200, "C:\\Browser\\browser.exe");
    simProcessAdd(201, "c:\\browser\\BROWSER.exe")->parentId = 200;
    /* A second browser: the same executable, not started by the first. */
    simProcessAdd(202, "C:\\Browser\\browser.exe");
    simProcessAdd(300, "C:\\other.exe");
    simProcessAdd(400, "C:\\ApplicationFrameHost.exe");
    simProcessAdd(401, "C:\\store.exe");
  }

  /* The sessions plughost marks, read as the program itself is. */
  std::vector<int> marks(std::string *printed) {
    SessionsListing listing = {};
    *printed = listHere(&SESSIONS_LISTING, &listing);
    std::vector<int> marked;
    for (unsigned i = 0; i < listing.count; i++)
      marked.push_back(listing.sessions[i].taken);
    return marked;
  }
};

class PlughostSessions : public PlughostListing,
                         public testing::WithParamInterface<SceneRow> {};

TEST_P(PlughostSessions, MarksWhatThePluginChanges) {
  const SceneRow &row = GetParam();
  WindowHandle window = 0;
  if (row.foreground)
    window = simAppWindowAdd(0, row.frame ? "ApplicationFrameWindow" : "W",
                             row.foreground);
  if (row.frame)
    simAppWindowAdd(window, "Windows.UI.Core.CoreWindow", 401);
  simSetForegroundWindow(window);
  for (const SceneSession &s : row.sessions) {
    SimSession *session = simSessionAdd(s.device, s.process);
    session->state = s.state;
    session->systemSounds = s.system;
  }
  std::string printed;
  std::vector<int> marked = marks(&printed);
  EXPECT_EQ(marked, row.marked) << printed;
  KSTEvent_Execute(6050, 0);
  std::vector<int> changed;
  for (unsigned i = 0; simSessionAt(i); i++)
    changed.push_back(simSessionAt(i)->scalar == 0.5f);
  EXPECT_EQ(changed, marked) << printed;
}

INSTANTIATE_TEST_SUITE_P(Scenes, PlughostSessions,
                         testing::ValuesIn(SCENE_ROWS),
                         [](const testing::TestParamInfo<SceneRow> &info) {
                           return info.param.name;
                         });

/* ---- The sessions each Program text reaches ---------------------------- */

struct ProgramSlot {
  int slot;
  const char *text;
};

struct ProgramRow {
  const char *name;
  std::vector<ProgramSlot> texts;
  std::vector<SceneSession> sessions; /* in device order, as listed */
  std::vector<unsigned> marked;       /* each session's Program bits */
  const char *missed;                 /* the note of a text that reaches none */
};

const ProgramRow PROGRAM_ROWS[] = {
    {"NamesAnyCaseExeOrNot",
     {{0, "Player| browser.EXE"}},
     {{0, 100, 1, 0}, {0, 300, 1, 0}, {1, 201, 0, 0}},
     {1, 0, 1},
     nullptr},
    {"SystemSoundsByTheWord",
     {{9, "SystemSounds"}},
     {{0, 100, 1, 1}, {1, 100, 1, 0}},
     {1u << 9, 0},
     nullptr},
    {"ExpiredNever",
     {{0, "player"}},
     {{0, 100, 2, 0}, {1, 100, 0, 0}},
     {0, 1},
     nullptr},
    {"TwoTextsOneSession",
     {{1, "other"}, {3, "store|other.exe"}},
     {{0, 300, 1, 0}, {0, 401, 1, 0}},
     {2 | 8, 8},
     nullptr},
    {"ATextThatReachesNone",
     {{0, "player"}, {2, "spotify"}},
     {{0, 100, 1, 0}},
     {1},
     "\nProgram2=spotify reaches no session: "},
};

class PlughostPrograms : public PlughostListing,
                         public testing::WithParamInterface<ProgramRow> {
protected:
  void TearDown() override {
    simSetModuleFileName(nullptr);
    if (!folder.empty())
      std::filesystem::remove_all(folder);
  }

  /* A settings file of the row's texts, each with its ProgramSet at 50,
   * beside the plug-in's name, which the plug-in is started with. */
  std::string startWithSettings(const ProgramRow &row) {
    folder =
        (std::filesystem::temp_directory_path() / "plughost-programs-XXXXXX")
            .string();
    EXPECT_NE(mkdtemp(folder.data()), nullptr);
    std::ofstream settings(folder + "/volume.ini", std::ios::binary);
    settings << "[Command]\n";
    for (const ProgramSlot &text : row.texts)
      settings << "Program" << text.slot << "=" << text.text << "\nProgramSet"
               << text.slot << "=50\n";
    settings.close();
    std::string plugin = folder + "/volume.dll";
    simSetModuleFileName(plugin.c_str());
    EXPECT_EQ(KSTEvent_Init(plugin.c_str(), 0), 1);
    return plugin;
  }

  std::string folder;
};

/* The slots a session's line names at its end. */
std::string slotsOfLine(const std::string &line) {
  size_t first = line.find("  Program");
  return first == std::string::npos ? "" : line.substr(first);
}

/* Marked as the plug-in's ProgramSet(k) then changes them, whatever has
 * the focus; a text that reaches nothing is told of. */
TEST_P(PlughostPrograms, MarkWhatEachTextReaches) {
  const ProgramRow &row = GetParam();
  simSetForegroundWindow(simAppWindowAdd(0, "W", 200));
  for (const SceneSession &s : row.sessions) {
    SimSession *session = simSessionAdd(s.device, s.process);
    session->state = s.state;
    session->systemSounds = s.system;
  }
  std::string plugin = startWithSettings(row);
  SessionsListing listing = {};
  std::string printed = listHere(&SESSIONS_LISTING, &listing, plugin.c_str());
  std::vector<unsigned> marked;
  size_t line = printed.find("\"name\"\n");
  for (unsigned i = 0; i < listing.count; i++) {
    marked.push_back(listing.sessions[i].programs);
    line = printed.find('\n', line) + 1;
    std::string slots;
    for (int k = 0; k < 10; k++)
      if (i < row.marked.size() && (row.marked[i] >> k & 1))
        slots += "  Program" + std::to_string(k);
    EXPECT_EQ(
        slotsOfLine(printed.substr(line, printed.find('\n', line) - line)),
        slots)
        << printed;
  }
  EXPECT_EQ(marked, row.marked) << printed;
  EXPECT_EQ(printed.find(" reaches no session: ") != std::string::npos,
            row.missed != nullptr)
      << printed;
  if (row.missed) {
    EXPECT_NE(printed.find(row.missed), std::string::npos) << printed;
  }
  EXPECT_NE(printed.find("\nProgram<k>: "), std::string::npos) << printed;
  for (const ProgramSlot &text : row.texts) {
    for (unsigned i = 0; simSessionAt(i); i++)
      simSessionAt(i)->scalar = 1.0f;
    KSTEvent_Execute(12200 + text.slot, 0);
    for (unsigned i = 0; simSessionAt(i) && i < row.marked.size(); i++) {
      EXPECT_EQ(simSessionAt(i)->scalar == 0.5f,
                (row.marked[i] >> text.slot & 1) != 0)
          << "Program" << text.slot << ", session " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, PlughostPrograms,
                         testing::ValuesIn(PROGRAM_ROWS),
                         [](const testing::TestParamInfo<ProgramRow> &info) {
                           return info.param.name;
                         });

/* What could not be read is named with its error, and the note says what
 * the command then does: the browser's helper on device 0 is found while
 * device 1 or the first session is not read. */
struct UnreadRow {
  const char *name;
  int unplugged;  /* a device whose session list fails, or -1 */
  int unanswered; /* a session that cannot be asked its process, or -1 */
  std::vector<const char *> lines;
  int result;
};

const UnreadRow UNREAD_ROWS[] = {
    {"DeviceUnplugged",
     1,
     -1,
     {"     1  (its sessions cannot be listed: 0x88890004)\n",
      "What could not be read (above) does not fail the commands: they "
      "change what is\nmarked.\n"},
     1},
    {"HelperUnanswered",
     -1,
     0,
     {"     0  (session 1 of the device cannot be read: 0x80004005)\n",
      "What could not be read (above) may hold its sessions.\n"},
     0},
};

class PlughostUnread : public PlughostListing,
                       public testing::WithParamInterface<UnreadRow> {};

TEST_P(PlughostUnread, NamesWhatItCouldNotRead) {
  const UnreadRow &row = GetParam();
  simSetForegroundWindow(simAppWindowAdd(0, "W", 200));
  simSessionAdd(0, 201)->displayName = "Tab";
  simSessionAdd(1, 300);
  if (row.unplugged >= 0)
    simSessionListFail(row.unplugged, SIM_AUDCLNT_E_DEVICE_INVALIDATED);
  if (row.unanswered >= 0)
    simSessionAt(row.unanswered)->processError = SIM_E_FAIL;
  std::string printed;
  marks(&printed);
  for (const char *line : row.lines)
    EXPECT_NE(printed.find(line), std::string::npos) << line << printed;
  EXPECT_EQ(KSTEvent_Execute(6050, 0), row.result);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlughostUnread, testing::ValuesIn(UNREAD_ROWS),
                         [](const testing::TestParamInfo<UnreadRow> &info) {
                           return info.param.name;
                         });

/* After a command of the focused application, `plughost run` names each
 * session the commands change, with what the command left it at. */
struct AfterAppRow {
  const char *name;
  uint32_t foreground;
  int32_t command;
  std::vector<SceneSession> sessions;
  const char *printed;
};

const AfterAppRow AFTER_APP_ROWS[] = {
    {"StepDown",
     100,
     5010,
     {{0, 100, 1, 0}, {1, 300, 1, 0}},
     "  session player.exe  process 100  volume 90%  mute off\n"},
    {"Mute",
     100,
     21,
     {{0, 100, 1, 0}},
     "  session player.exe  process 100  volume 100%  mute on\n"},
    {"HelperOfTheExecutable",
     200,
     6050,
     {{1, 201, 1, 0}, {0, 100, 1, 0}},
     "  session BROWSER.exe  process 201  volume 50%  mute off\n"},
    {"NoWindow",
     0,
     5010,
     {{0, 100, 1, 0}},
     "  session: none that the focused application's commands change\n"},
};

class PlughostAfterApp : public PlughostListing,
                         public testing::WithParamInterface<AfterAppRow> {};

TEST_P(PlughostAfterApp, NamesTheSessionsItChanges) {
  const AfterAppRow &row = GetParam();
  if (row.foreground)
    simSetForegroundWindow(simAppWindowAdd(0, "W", row.foreground));
  for (const SceneSession &s : row.sessions)
    simSessionAdd(s.device, s.process)->state = s.state;
  KSTEvent_Execute(row.command, 0);
  char *text = nullptr;
  size_t size = 0;
  FILE *out = open_memstream(&text, &size);
  printTakenSessions(out, dlopen(nullptr, RTLD_NOW));
  fclose(out);
  std::string printed = text;
  free(text);
  EXPECT_EQ(printed, row.printed);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlughostAfterApp,
                         testing::ValuesIn(AFTER_APP_ROWS),
                         [](const testing::TestParamInfo<AfterAppRow> &info) {
                           return info.param.name;
                         });

TEST_F(PlughostSessions, SaysWhyAHelperIsChanged) {
  simSetForegroundWindow(simAppWindowAdd(0, "W", 200));
  simSessionAdd(1, 201)->displayName = "Tab";
  std::string printed;
  marks(&printed);
  EXPECT_EQ(
      printed,
      "foreground        process 200\n"
      "executable        C:\\Browser\\browser.exe\n\n"
      "   dev  process  state     volume  mute  executable  \"name\"\n"
      "*    1      201  active      100%  off   c:\\browser\\BROWSER.exe  "
      "\"Tab\"\n\n"
      "Process 200 has no session of its own: the commands change those "
      "of its\nhelpers, the processes of its executable that descend from "
      "it.\n\n"
      "* a session the focused application's commands change now. "
      "Expired sessions and\nthe system sounds' never change.\n");
}

} // namespace
