/*
 * A program by name (12000 to 12309): which sessions its Program text
 * reaches (a list of names, ".exe" or not, any case, SystemSounds, never
 * an expired session, whatever has the focus and whatever VolEndpoint
 * says), what each command does to them, a device that cannot be read,
 * the processes named by one snapshot without opening any, and the
 * display's name.
 */
#include "plugin/plugin.h"
#include "program/program_names.h"
#include "unit_support.h"

namespace {

/* Processes: a music player with a helper, a chat and a voice program, a
 * game in the foreground, a service of another user (it cannot be
 * opened) and a tool whose file has no extension. */
enum : uint32_t {
  PLAYER = 100,
  PLAYER_HELPER = 101,
  CHAT = 200,
  VOICE = 300,
  GAME = 400,
  SERVICE = 500,
  TOOL = 600,
  SYSTEM = 0 /* the system sounds' session's */
};

const char SETTINGS[] =
    "[Command]\n"
    "Program0=spotify\nProgramUpDown0=5\nProgramSet0=40\nProgramMute0=1\n"
    "Program1=chat.exe|Voice\nProgramSet1=40\n"
    "Program2=systemsounds\nProgramSet2=40\n"
    "Program3=SPOTIFY.EXE\nProgramSet3=40\n"
    "Program4=music\nProgramSet4=40\n"
    "Program5= chat.exe | voice.exe \nProgramSet5=40\n"
    "Program6=notrunning|spot|C:\\Music\\Spotify.exe|.exe||\nProgramSet6=40\n"
    "Program7=tool|systemsounds.exe\nProgramSet7=40\n"
    "ProgramMute9=1\n";

struct ProgramRow {
  const char *name;
  std::vector<Session> sessions;
  int32_t id;
  int result;
  std::vector<float> scalarsAfter;
  std::vector<int32_t> mutedAfter;
  const char *settings = SETTINGS;
  void (*tweak)(void) = nullptr; /* shapes the machine further */
};

void secondDeviceUnplugged(void) {
  simSessionListFail(1, SIM_AUDCLNT_E_DEVICE_INVALIDATED);
}
void noSnapshot(void) { simFocusFail(SIM_PROCESS_SNAPSHOT, 1); }
/* The walk ends after the tool, before the chat program. */
void walkStopsEarly(void) { simFocusFailAfter(SIM_PROCESS_WALK, 5, 1); }
void secondWriteRefused(void) {
  simSessionFailOnce(SIM_SESSION_SET_VOLUME, 1, SIM_E_FAIL);
}
/* Two sessions listed (a query each), then the second one's volume. */
void secondVolumeUnheld(void) {
  simSessionFailOnce(SIM_SESSION_QUERY, 3, SIM_E_NOINTERFACE);
}

const char ENDPOINT_ON[] =
    "[Setting]\nVolEndpoint=1\n[Command]\nProgram0=spotify\nProgramSet0=40\n";

// clang-format off
const ProgramRow PROGRAM_ROWS[] = {
    /* Active or inactive, on every device, the game in the foreground. */
    {"SetsEverySessionOfIt",
     {{0, PLAYER, 0.2f, 0, 1, 0}, {1, PLAYER_HELPER, 0.3f, 0, 0, 0},
      {0, CHAT, 0.8f, 0, 1, 0}, {0, GAME, 0.6f, 0, 1, 0}},
     12200, 1, {0.4f, 0.4f, 0.8f, 0.6f}, {0, 0, 0, 0}},
    {"StepsFromTheLoudest",
     {{0, PLAYER, 0.2f, 0, 1, 0}, {1, PLAYER_HELPER, 0.3f, 0, 0, 0}},
     12000, 1, {0.35f, 0.35f}, {0, 0}},
    {"StepsDown",
     {{0, PLAYER, 0.2f, 0, 1, 0}, {1, PLAYER_HELPER, 0.3f, 1, 0, 0}},
     12100, 1, {0.25f, 0.25f}, {0, 1}},
    {"TogglesFromTheFirst",
     {{0, PLAYER, 0.2f, 1, 1, 0}, {1, PLAYER_HELPER, 0.2f, 0, 0, 0}},
     12300, 1, {0.2f, 0.2f}, {0, 0}},
    {"ListOfNames",
     {{0, CHAT, 0.2f, 0, 1, 0}, {0, PLAYER, 0.3f, 0, 1, 0},
      {1, VOICE, 0.9f, 0, 0, 0}},
     12201, 1, {0.4f, 0.3f, 0.4f}, {0, 0, 0}},
    {"ExeAndCaseAsWritten", {{1, PLAYER, 0.2f, 0, 1, 0}},
     12203, 1, {0.4f}, {0}},
    {"SpacesAroundNames",
     {{0, CHAT, 0.2f, 0, 1, 0}, {0, VOICE, 0.3f, 0, 1, 0}},
     12205, 1, {0.4f, 0.4f}, {0, 0}},
    {"AnotherUsersProcess", {{0, SERVICE, 0.2f, 0, 1, 0}},
     12204, 1, {0.4f}, {0}},
    {"FileWithoutExtension", {{0, TOOL, 0.2f, 0, 1, 0}},
     12207, 1, {0.4f}, {0}},
    {"SystemSounds",
     {{0, SYSTEM, 0.2f, 0, 0, 1}, {0, PLAYER, 0.3f, 0, 1, 0}},
     12202, 1, {0.4f, 0.3f}, {0, 0}},
    /* Only the word names the system sounds' session. */
    {"SystemSoundsOnlyByTheWord",
     {{0, SYSTEM, 0.2f, 0, 0, 1}, {1, PLAYER, 0.3f, 0, 0, 1}},
     12207, 0, {0.2f, 0.3f}, {0, 0}},
    {"SystemSoundsOfANamedProcess", {{1, PLAYER, 0.3f, 0, 1, 1}},
     12200, 0, {0.3f}, {0}},
    {"ExpiredNever",
     {{0, PLAYER, 0.2f, 0, 2, 0}, {0, SYSTEM, 0.3f, 0, 2, 1}},
     12202, 0, {0.2f, 0.3f}, {0, 0}},
    {"ExpiredLeftAlone",
     {{0, PLAYER, 0.2f, 0, 2, 0}, {1, PLAYER_HELPER, 0.3f, 0, 0, 0}},
     12200, 1, {0.2f, 0.4f}, {0, 0}},
    /* A prefix, a folder, ".exe" alone and empty names name nothing. */
    {"NothingNamedRuns",
     {{0, PLAYER, 0.2f, 0, 1, 0}, {0, CHAT, 0.3f, 0, 1, 0}},
     12206, 0, {0.2f, 0.3f}, {0, 0}},
    {"NotPlayingYet", {}, 12200, 0, {}, {}},
    {"EmptySlot", {{0, PLAYER, 0.2f, 1, 1, 0}}, 12309, 0, {0.2f}, {1}},
    {"WhateverVolEndpointSays", {{0, PLAYER, 0.2f, 0, 1, 0}},
     12200, 1, {0.4f}, {0}, ENDPOINT_ON},
    {"DeviceThatCannotBeRead",
     {{0, PLAYER, 0.2f, 0, 1, 0}, {1, PLAYER_HELPER, 0.3f, 0, 1, 0}},
     12200, 1, {0.4f, 0.3f}, {0, 0}, SETTINGS, secondDeviceUnplugged},
    {"NoSnapshotNamesNothing", {{0, PLAYER, 0.2f, 0, 1, 0}},
     12200, 0, {0.2f}, {0}, SETTINGS, noSnapshot},
    {"NoSnapshotSystemSoundsStill", {{0, SYSTEM, 0.2f, 0, 1, 1}},
     12202, 1, {0.4f}, {0}, SETTINGS, noSnapshot},
    {"WalkStopsEarly",
     {{0, PLAYER, 0.2f, 0, 1, 0}, {0, CHAT, 0.3f, 0, 1, 0}},
     12201, 0, {0.2f, 0.3f}, {0, 0}, SETTINGS, walkStopsEarly},
    {"OneSessionRefuses",
     {{0, PLAYER, 0.2f, 0, 1, 0}, {1, PLAYER_HELPER, 0.3f, 0, 1, 0}},
     12200, 0, {0.4f, 0.3f}, {0, 0}, SETTINGS, secondWriteRefused},
    {"OneSessionCannotBeHeld",
     {{0, PLAYER, 0.2f, 0, 1, 0}, {1, PLAYER_HELPER, 0.3f, 0, 1, 0}},
     12200, 0, {0.4f, 0.3f}, {0, 0}, SETTINGS, secondVolumeUnheld},
};
// clang-format on

class ProgramTest : public PluginTest {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
    simFocusReset();
    simDebugReset();
    simEndpointSetKind(1, AUDIO_RENDER, 1);
    simProcessAdd(PLAYER, "C:\\Music\\Spotify.exe");
    simProcessAdd(PLAYER_HELPER, "C:\\Music\\Spotify.exe")->parentId = PLAYER;
    simProcessAdd(GAME, "C:\\Games\\game.exe");
    simProcessAdd(SERVICE, "C:\\Service\\Music.exe")->openable = 0;
    simProcessAdd(TOOL, "C:\\Tools\\tool");
    simProcessAdd(CHAT, "C:\\Chat\\chat.exe");
    simProcessAdd(VOICE, "C:\\Voice\\voice.exe");
    simSetForegroundWindow(simAppWindowAdd(0, "Game", GAME));
  }

  void expectNothingHeld(void) {
    EXPECT_EQ(simEndpointLiveReferences(), 0);
    EXPECT_EQ(simEndpointMisuses(), 0u);
    EXPECT_EQ(simComEntered(), simComLeft());
    EXPECT_EQ(simProcessOpenHandles(), 0) << "the snapshot closed";
    EXPECT_EQ(simProcessMisuses(), 0u);
    EXPECT_EQ(simFocusCalls(SIM_PROCESS_OPEN), 0u) << "no process opened";
    EXPECT_EQ(simFocusCalls(SIM_FOCUS_FOREGROUND), 0u) << "nor the focus";
    EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 0u);
    EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_SET_SCALAR) +
                  simEndpointCalls(SIM_ENDPOINT_SET_MUTE),
              0u)
        << "the devices' own volume is not the program's";
  }
};

class Program : public ProgramTest,
                public testing::WithParamInterface<ProgramRow> {};

TEST_P(Program, ChangesItsSessionsOnly) {
  const ProgramRow &row = GetParam();
  writeSettings(row.settings);
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  addSessions(row.sessions);
  if (row.tweak)
    row.tweak();
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  std::vector<float> scalars = sessionScalars();
  ASSERT_EQ(scalars.size(), row.scalarsAfter.size());
  for (size_t i = 0; i < scalars.size(); i++)
    EXPECT_NEAR(scalars[i], row.scalarsAfter[i], 1e-6) << "session " << i;
  EXPECT_EQ(sessionMutes(), row.mutedAfter);
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)row.result);
  EXPECT_LE(simFocusCalls(SIM_PROCESS_SNAPSHOT), 1u) << "one snapshot";
  EXPECT_EQ(simDebugLineCount(), row.result ? 0u : 1u);
  expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(Rows, Program, testing::ValuesIn(PROGRAM_ROWS),
                         rowName<ProgramRow>);

/* The display names the program as its text is written, with the level
 * or the mute it was brought to. */
struct ShownRow {
  const char *name;
  int32_t id;
  std::u16string text;
};

const ShownRow SHOWN_ROWS[] = {
    {"Level", 12201, u"chat.exe|ボイス 40%"},
    {"Muted", 12301, u"chat.exe|ボイス ミュート"},
};

class ProgramShown : public ProgramTest,
                     public testing::WithParamInterface<ShownRow> {};

TEST_P(ProgramShown, AsTheTextIsWritten) {
  simDisplayReset();
  writeSettings(cp932("[Setting]\nOsd=1\n[Command]\nProgram1=chat.exe|ボイス\n"
                      "ProgramSet1=40\nProgramMute1=1\n"));
  ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  addSessions({{0, CHAT, 0.2f, 0, 1, 0}});
  EXPECT_EQ(KSTEvent_Execute(GetParam().id, 0), 1);
  ASSERT_EQ(simDisplayFrames(), 1u);
  const uint16_t *shown = simDisplayLastFrame()->text;
  EXPECT_EQ(std::u16string(shown, shown + GetParam().text.size() + 1),
            GetParam().text + u'\0');
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgramShown, testing::ValuesIn(SHOWN_ROWS),
                         rowName<ShownRow>);

/* A text the code page cannot decode names nothing, whatever the
 * decoding wrote before it stopped (its names' buffer is not zeroed
 * first here, as on the stack of a command). */
struct UndecodableRow {
  const char *name;
  const char *text; /* bytes of code page 932 */
  const char16_t *file;
};

const UndecodableRow UNDECODABLE_ROWS[] = {
    {"LeadByteAtTheEnd", "tool\x81", u"tool.exe"},
    {"LeadByteBeforeASpace", "systemsounds|ab\x81 cd", u"SystemSounds"},
};

class ProgramNamesRead : public testing::TestWithParam<UndecodableRow> {};

TEST_P(ProgramNamesRead, UndecodableNamesNothing) {
  ProgramNames names;
  std::fill(std::begin(names.text), std::end(names.text), u'x');
  names.systemSounds = -1;
  readProgramNames(GetParam().text, &names);
  EXPECT_EQ(namesFile(&names, (const uint16_t *)GetParam().file), 0);
  EXPECT_EQ(names.systemSounds, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgramNamesRead,
                         testing::ValuesIn(UNDECODABLE_ROWS),
                         rowName<UndecodableRow>);

} // namespace
