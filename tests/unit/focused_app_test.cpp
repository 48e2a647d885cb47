/*
 * The focused application's commands (21 to 23, 4000 to 6100): which
 * sessions they take (the foreground process's, else or while those are
 * idle and a helper plays also those of its helpers: processes of its
 * executable in its own tree; a Store app inside its frame, never expired
 * or system sounds), the arithmetic over several sessions, the processes
 * opened, and each call failing, here or only elsewhere.
 */
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

/* Processes; the browser's helpers run its executable, one spelt in
 * another case, and descend from it: a child, a grandchild, and one
 * below a process of another executable. A second browser started by the
 * shell is another program, as is a browser whose parent ended before the
 * browser was given the same number (and its child, started after the
 * browser), and two whose parent ids name each other. */
enum : uint32_t {
  SHELL = 50,
  PLAYER = 100,
  BROWSER = 200,
  HELPER_A = 201,
  HELPER_B = 202,
  CRASH_REPORTER = 203,
  HELPER_C = 204,
  SECOND_BROWSER = 210,
  REUSED = 211,
  BELOW_REUSED = 214,
  LOOP_A = 212,
  LOOP_B = 213,
  OTHER = 300,
  FRAME_HOST = 400,
  STORE_APP = 401
};

/* Which window is in the foreground. */
enum Foreground {
  NO_WINDOW,
  PLAYER_WINDOW,
  BROWSER_WINDOW,
  FRAME,
  EMPTY_FRAME
};

const char BROWSER_FILE[] = "C:\\Browser\\browser.exe";

class FocusedAppTest : public PluginTest {
protected:
  void SetUp() override {
    PluginTest::SetUp();
    simEndpointReset();
    simFocusReset();
    simEndpointSetKind(1, AUDIO_RENDER, 1);
    simProcessAdd(SHELL, "C:\\Windows\\explorer.exe");
    /* Started first: the browser has the number of its ended parent. */
    simProcessAdd(REUSED, BROWSER_FILE)->parentId = BROWSER;
    simProcessAdd(PLAYER, "C:\\Player\\player.exe")->parentId = SHELL;
    simProcessAdd(BROWSER, BROWSER_FILE)->parentId = SHELL;
    simProcessAdd(HELPER_A, BROWSER_FILE)->parentId = BROWSER;
    simProcessAdd(HELPER_B, "c:\\browser\\BROWSER.EXE")->parentId = HELPER_A;
    simProcessAdd(CRASH_REPORTER, "C:\\Browser\\crash.exe")->parentId = BROWSER;
    simProcessAdd(HELPER_C, BROWSER_FILE)->parentId = CRASH_REPORTER;
    simProcessAdd(SECOND_BROWSER, BROWSER_FILE)->parentId = SHELL;
    simProcessAdd(LOOP_A, BROWSER_FILE)->parentId = LOOP_B;
    simProcessAdd(LOOP_B, BROWSER_FILE)->parentId = LOOP_A;
    simProcessAdd(OTHER, "C:\\Other\\other.exe")->parentId = SHELL;
    simProcessAdd(BELOW_REUSED, BROWSER_FILE)->parentId = REUSED;
    simProcessAdd(FRAME_HOST, "C:\\Windows\\ApplicationFrameHost.exe");
    simProcessAdd(STORE_APP, "C:\\Apps\\store.exe");
    windows[PLAYER_WINDOW] = simAppWindowAdd(0, "PlayerWindow", PLAYER);
    windows[BROWSER_WINDOW] = simAppWindowAdd(0, "BrowserWindow", BROWSER);
    /* The frame's first core window is its host's own, the second the
     * app's; the empty frame (a suspended app) holds only its host's. */
    windows[FRAME] = simAppWindowAdd(0, "ApplicationFrameWindow", FRAME_HOST);
    simAppWindowAdd(windows[FRAME], "Windows.UI.Core.CoreWindow", FRAME_HOST);
    simAppWindowAdd(windows[FRAME], "Windows.UI.Core.CoreWindow", STORE_APP);
    windows[EMPTY_FRAME] =
        simAppWindowAdd(0, "applicationframewindow", FRAME_HOST);
    simAppWindowAdd(windows[EMPTY_FRAME], "Windows.UI.Core.CoreWindow",
                    FRAME_HOST);
    ASSERT_EQ(KSTEvent_Init(modulePath.c_str(), 0), 1);
  }

  void shape(Foreground foreground, const std::vector<Session> &sessions) {
    simSetForegroundWindow(windows[foreground]);
    addSessions(sessions);
  }

  void expectNothingHeld(void) {
    EXPECT_EQ(simEndpointLiveReferences(), 0);
    EXPECT_EQ(simEndpointMisuses(), 0u);
    EXPECT_EQ(simComApartment(), SIM_APARTMENT_NONE);
    EXPECT_EQ(simComEntered(), simComLeft());
    EXPECT_EQ(simProcessOpenHandles(), 0);
    EXPECT_EQ(simProcessMisuses(), 0u);
    EXPECT_EQ(simMixerCalls(SIM_MIXER_OPEN), 0u);
    EXPECT_EQ(simEndpointCalls(SIM_ENDPOINT_SET_SCALAR) +
                  simEndpointCalls(SIM_ENDPOINT_SET_MUTE),
              0u)
        << "the devices' own volume is not the application's";
  }

  WindowHandle windows[EMPTY_FRAME + 1] = {};
};

/* ---- Which sessions, and what each command does to them --------------- */

struct AppRow {
  const char *name;
  Foreground foreground;
  std::vector<Session> sessions;
  int32_t id;
  int result;
  std::vector<float> scalarsAfter;
  std::vector<int32_t> mutedAfter;
  void (*tweak)(void) = nullptr; /* shapes the processes further */
};

void reporterUnopenable(void) { simProcessOf(CRASH_REPORTER)->openable = 0; }
void helperUnopenable(void) { simProcessOf(HELPER_A)->openable = 0; }
void startedWithTheBrowser(void) {
  simProcessOf(HELPER_A)->started = simProcessOf(BROWSER)->started;
}

// clang-format off
const AppRow APP_ROWS[] = {
    {"OwnSessionSet", PLAYER_WINDOW,
     {{0, PLAYER, 0.5f, 0, 1, 0}, {0, OTHER, 0.8f, 0, 1, 0}},
     6030, 1, {0.3f, 0.8f}, {0, 0}},
    /* From the loudest, written to every session on every device. */
    {"StepFromTheLoudest", PLAYER_WINDOW,
     {{0, PLAYER, 0.2f, 0, 1, 0}, {1, PLAYER, 0.4f, 1, 0, 0}},
     4010, 1, {0.5f, 0.5f}, {0, 1}},
    {"StepDownStopsAtZero", PLAYER_WINDOW, {{1, PLAYER, 0.03f, 0, 1, 0}},
     5005, 1, {0.0f}, {0}},
    {"StepUpStopsAt100", PLAYER_WINDOW, {{0, PLAYER, 0.98f, 0, 1, 0}},
     4005, 1, {1.0f}, {0}},
    {"HalfRoundsUp", PLAYER_WINDOW, {{0, PLAYER, 0.125f, 0, 1, 0}},
     4000, 1, {0.13f}, {0}},
    /* The browser plays from helpers that run its executable. */
    {"HelpersOfTheSameFile", BROWSER_WINDOW,
     {{0, HELPER_A, 0.2f, 0, 1, 0}, {0, OTHER, 0.8f, 0, 1, 0},
      {1, HELPER_B, 0.4f, 0, 1, 0}},
     6050, 1, {0.5f, 0.8f, 0.5f}, {0, 0, 0}},
    {"OwnSessionBeforeHelpers", BROWSER_WINDOW,
     {{0, HELPER_A, 0.2f, 0, 1, 0}, {1, BROWSER, 0.4f, 0, 1, 0}},
     6050, 1, {0.2f, 0.5f}, {0, 0}},
    /* Its own session idle, a helper playing: the helpers change too. */
    {"IdleOwnSessionWithAPlayingHelper", BROWSER_WINDOW,
     {{1, BROWSER, 0.4f, 0, 0, 0}, {0, HELPER_A, 0.2f, 0, 1, 0},
      {0, OTHER, 0.8f, 0, 1, 0}, {1, HELPER_B, 0.3f, 0, 0, 0}},
     6050, 1, {0.5f, 0.5f, 0.8f, 0.5f}, {0, 0, 0, 0}},
    {"IdleOwnSessionWithIdleHelpers", BROWSER_WINDOW,
     {{0, BROWSER, 0.4f, 0, 0, 0}, {0, HELPER_A, 0.2f, 0, 0, 0},
      {1, OTHER, 0.8f, 0, 1, 0}},
     6050, 1, {0.5f, 0.2f, 0.8f}, {0, 0, 0}},
    {"ExpiredOwnSessionLeavesHelpers", BROWSER_WINDOW,
     {{0, BROWSER, 0.2f, 0, 2, 0}, {1, HELPER_A, 0.4f, 0, 0, 0}},
     6050, 1, {0.2f, 0.5f}, {0, 0}},
    {"StoreAppInsideItsFrame", FRAME,
     {{0, FRAME_HOST, 0.2f, 0, 1, 0}, {0, STORE_APP, 0.4f, 0, 1, 0}},
     6050, 1, {0.2f, 0.5f}, {0, 0}},
    {"EmptyFrameIsItsHost", EMPTY_FRAME,
     {{0, FRAME_HOST, 0.2f, 0, 1, 0}, {0, STORE_APP, 0.4f, 0, 1, 0}},
     6050, 1, {0.5f, 0.4f}, {0, 0}},
    {"SystemSoundsNeverCount", PLAYER_WINDOW, {{0, PLAYER, 0.2f, 0, 1, 1}},
     6050, 0, {0.2f}, {0}},
    {"ExpiredNeverCounts", PLAYER_WINDOW, {{0, PLAYER, 0.2f, 1, 2, 0}},
     21, 0, {0.2f}, {1}},
    {"NoSessionOfTheApp", PLAYER_WINDOW,
     {{0, OTHER, 0.2f, 0, 1, 0}, {1, HELPER_A, 0.2f, 0, 1, 0}},
     6050, 0, {0.2f, 0.2f}, {0, 0}},
    {"NoForegroundWindow", NO_WINDOW, {{0, PLAYER, 0.2f, 0, 1, 0}},
     6050, 0, {0.2f}, {0}},
    /* The first session found (device 0's) decides the toggle; every
     * session ends there. */
    {"ToggleFromTheFirst", PLAYER_WINDOW,
     {{1, PLAYER, 0.2f, 0, 1, 0}, {0, PLAYER, 0.2f, 1, 1, 0}},
     21, 1, {0.2f, 0.2f}, {0, 0}},
    {"MuteOnPastAFirstThatIsOn", PLAYER_WINDOW,
     {{0, PLAYER, 0.2f, 1, 1, 0}, {1, PLAYER, 0.2f, 0, 1, 0}},
     22, 1, {0.2f, 0.2f}, {1, 1}},
    {"MuteOff", BROWSER_WINDOW,
     {{0, HELPER_A, 0.2f, 1, 1, 0}, {0, HELPER_B, 0.2f, 0, 1, 0}},
     23, 1, {0.2f, 0.2f}, {0, 0}},
    /* Helpers are the browser's own tree: by the parent ids, each parent
     * started no later than its child. */
    {"GrandchildBelowAnotherFile", BROWSER_WINDOW,
     {{0, HELPER_C, 0.2f, 0, 1, 0}}, 6050, 1, {0.5f}, {0}},
    {"ChildOfAnotherFileIsNoHelper", BROWSER_WINDOW,
     {{0, CRASH_REPORTER, 0.2f, 0, 1, 0}}, 6050, 0, {0.2f}, {0}},
    {"SecondInstanceIsAnotherProgram", BROWSER_WINDOW,
     {{0, SECOND_BROWSER, 0.2f, 0, 1, 0}, {1, HELPER_A, 0.3f, 0, 1, 0}},
     6050, 1, {0.2f, 0.5f}, {0, 0}},
    {"ParentIdReusedByTheBrowser", BROWSER_WINDOW,
     {{0, REUSED, 0.2f, 0, 1, 0}}, 6050, 0, {0.2f}, {0}},
    {"BelowAParentIdReused", BROWSER_WINDOW,
     {{0, BELOW_REUSED, 0.2f, 0, 1, 0}}, 6050, 0, {0.2f}, {0}},
    {"ParentIdsInALoop", BROWSER_WINDOW,
     {{0, LOOP_A, 0.2f, 0, 1, 0}}, 6050, 0, {0.2f}, {0}},
    {"IdleOwnSessionSecondInstancePlays", BROWSER_WINDOW,
     {{0, BROWSER, 0.4f, 0, 0, 0}, {1, SECOND_BROWSER, 0.2f, 0, 1, 0}},
     6050, 1, {0.5f, 0.2f}, {0, 0}},
    /* A start that cannot be told proves no descent. */
    {"ProcessBetweenUnopenable", BROWSER_WINDOW,
     {{0, HELPER_C, 0.2f, 0, 1, 0}}, 6050, 0, {0.2f}, {0},
     reporterUnopenable},
    {"HelperUnopenable", BROWSER_WINDOW,
     {{0, HELPER_A, 0.2f, 0, 1, 0}}, 6050, 0, {0.2f}, {0},
     helperUnopenable},
    /* The clock may tick once for a parent and its child. */
    {"StartedOnTheSameTick", BROWSER_WINDOW,
     {{0, HELPER_A, 0.2f, 0, 1, 0}}, 6050, 1, {0.5f}, {0},
     startedWithTheBrowser},
};
// clang-format on

class FocusedApp : public FocusedAppTest,
                   public testing::WithParamInterface<AppRow> {};

TEST_P(FocusedApp, ChangesTheApplicationsSessionsOnly) {
  const AppRow &row = GetParam();
  shape(row.foreground, row.sessions);
  if (row.tweak)
    row.tweak();
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), row.result);
  std::vector<float> after = sessionScalars();
  ASSERT_EQ(after.size(), row.scalarsAfter.size());
  for (size_t i = 0; i < after.size(); i++)
    EXPECT_NEAR(after[i], row.scalarsAfter[i], 1e-6) << "session " << i;
  EXPECT_EQ(sessionMutes(), row.mutedAfter);
  EXPECT_EQ(simTrayClockNotifications(), (unsigned)row.result);
  expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(Rows, FocusedApp, testing::ValuesIn(APP_ROWS),
                         rowName<AppRow>);

/* ---- Each call failing ------------------------------------------------- */

enum CallKind { ENDPOINT_CALL, SESSION_CALL, FOCUS_CALL };

struct FaultRow {
  const char *name;
  CallKind kind;
  int op;
  unsigned after; /* calls that succeed first */
  uint32_t error; /* 0: the call hands back no interface instead */
  int32_t id;
  std::vector<float> scalarsAfter; /* of helper A, other, helper B */
  std::vector<int32_t> mutedAfter;
  bool once = false; /* only the call after `after` fails */
};

/* The browser in the foreground, its helpers on both devices. */
const std::vector<Session> FAULT_SCENE = {{0, HELPER_A, 0.2f, 0, 1, 0},
                                          {0, OTHER, 0.8f, 0, 1, 0},
                                          {1, HELPER_B, 0.4f, 0, 1, 0}};
const std::vector<float> UNCHANGED = {0.2f, 0.8f, 0.4f};
const std::vector<int32_t> UNMUTED = {0, 0, 0};
const uint32_t FAIL = SIM_E_FAIL;

/* Helper A written, helper B not; and the other way round. */
const std::vector<float> FIRST_ONLY = {0.5f, 0.8f, 0.4f};
const std::vector<float> SECOND_ONLY = {0.2f, 0.8f, 0.5f};

// clang-format off
const FaultRow FAULT_ROWS[] = {
    {"ComEnter", ENDPOINT_CALL, SIM_COM_ENTER, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"NoCoreAudio", ENDPOINT_CALL, SIM_ENDPOINT_CREATE, 0,
     SIM_REGDB_E_CLASSNOTREG, 6050, UNCHANGED, UNMUTED},
    {"Devices", ENDPOINT_CALL, SIM_ENDPOINT_ENUMERATE, 0, FAIL, 6050,
     UNCHANGED, UNMUTED},
    {"DevicesEmpty", ENDPOINT_CALL, SIM_ENDPOINT_ENUMERATE, 0, 0, 6050,
     UNCHANGED, UNMUTED},
    {"DeviceCount", ENDPOINT_CALL, SIM_ENDPOINT_COUNT, 0, FAIL, 6050,
     UNCHANGED, UNMUTED},
    {"Vista", ENDPOINT_CALL, SIM_ENDPOINT_ACTIVATE, 0, SIM_E_NOINTERFACE, 6050,
     UNCHANGED, UNMUTED},
    {"SessionListEmpty", SESSION_CALL, SIM_SESSION_LIST, 0, 0, 6050, UNCHANGED,
     UNMUTED},
    {"SessionCount", SESSION_CALL, SIM_SESSION_COUNT, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"Control2", SESSION_CALL, SIM_SESSION_QUERY, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    /* Three controls queried, then the volumes refused. */
    {"Volumes", SESSION_CALL, SIM_SESSION_QUERY, 3, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"QueryEmpty", SESSION_CALL, SIM_SESSION_QUERY, 0, 0, 6050, UNCHANGED,
     UNMUTED},
    {"ProcessId", SESSION_CALL, SIM_SESSION_PROCESS, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"State", SESSION_CALL, SIM_SESSION_STATE, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"SystemSounds", SESSION_CALL, SIM_SESSION_SYSTEM, 0, FAIL, 6050,
     UNCHANGED, UNMUTED},
    {"ReadVolume", SESSION_CALL, SIM_SESSION_GET_VOLUME, 1, FAIL, 4010,
     UNCHANGED, UNMUTED},
    {"SecondWrite", SESSION_CALL, SIM_SESSION_SET_VOLUME, 1, FAIL, 6050,
     FIRST_ONLY, UNMUTED},
    {"FirstWrite", SESSION_CALL, SIM_SESSION_SET_VOLUME, 0, FAIL, 6050,
     SECOND_ONLY, UNMUTED, true},
    {"ReadMute", SESSION_CALL, SIM_SESSION_GET_MUTE, 0, FAIL, 21, UNCHANGED,
     UNMUTED},
    {"SecondMute", SESSION_CALL, SIM_SESSION_SET_MUTE, 1, FAIL, 22, UNCHANGED,
     {1, 0, 0}},
    {"Foreground", FOCUS_CALL, SIM_FOCUS_FOREGROUND, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"WindowProcess", FOCUS_CALL, SIM_FOCUS_PROCESS, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"OpenProcess", FOCUS_CALL, SIM_PROCESS_OPEN, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"ImageName", FOCUS_CALL, SIM_PROCESS_IMAGE, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"Start", FOCUS_CALL, SIM_PROCESS_TIMES, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    {"Snapshot", FOCUS_CALL, SIM_PROCESS_SNAPSHOT, 0, FAIL, 6050, UNCHANGED,
     UNMUTED},
    /* The walk stops before the helpers are reached. */
    {"SnapshotWalk", FOCUS_CALL, SIM_PROCESS_WALK, 2, FAIL, 6050, UNCHANGED,
     UNMUTED},
};
// clang-format on

class FocusedAppFault : public FocusedAppTest,
                        public testing::WithParamInterface<FaultRow> {
protected:
  void inject(const FaultRow &row, bool on) {
    if (row.kind == FOCUS_CALL)
      simFocusFailAfter((SimFocusOp)row.op, row.after, on);
    else if (row.kind == SESSION_CALL && row.error && row.once)
      simSessionFailOnce((SimSessionOp)row.op, row.after, on ? row.error : 0);
    else if (row.kind == SESSION_CALL && row.error)
      simSessionFailAfter((SimSessionOp)row.op, row.after, on ? row.error : 0);
    else if (row.kind == SESSION_CALL)
      simSessionHandBackNothing((SimSessionOp)row.op, on);
    else if (row.error && row.once)
      simEndpointFailOnce((SimEndpointOp)row.op, row.after, on ? row.error : 0);
    else if (row.error)
      simEndpointFailAfter((SimEndpointOp)row.op, row.after,
                           on ? row.error : 0);
    else
      simEndpointHandBackNothing((SimEndpointOp)row.op, on);
  }
};

TEST_P(FocusedAppFault, FailsReleasingEverythingAndRecovers) {
  const FaultRow &row = GetParam();
  shape(BROWSER_WINDOW, FAULT_SCENE);
  inject(row, true);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 0);
  std::vector<float> after = sessionScalars();
  for (size_t i = 0; i < after.size(); i++)
    EXPECT_NEAR(after[i], row.scalarsAfter[i], 1e-6) << "session " << i;
  EXPECT_EQ(sessionMutes(), row.mutedAfter);
  EXPECT_EQ(simTrayClockNotifications(), 0u);
  expectNothingHeld();
  inject(row, false);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 1);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Rows, FocusedAppFault, testing::ValuesIn(FAULT_ROWS),
                         rowName<FaultRow>);

/* A device or session that cannot be read, where a helper is found on the
 * other device: that helper changes and the command succeeds. */
// clang-format off
const FaultRow ELSEWHERE_ROWS[] = {
    {"SecondDevice", ENDPOINT_CALL, SIM_ENDPOINT_ITEM, 1, FAIL, 6050,
     FIRST_ONLY, UNMUTED},
    {"FirstDevice", ENDPOINT_CALL, SIM_ENDPOINT_ITEM, 0, FAIL, 6050,
     SECOND_ONLY, UNMUTED, true},
    {"SecondSessionList", SESSION_CALL, SIM_SESSION_LIST, 1,
     SIM_AUDCLNT_E_DEVICE_INVALIDATED, 6050, FIRST_ONLY, UNMUTED},
    {"ThirdSession", SESSION_CALL, SIM_SESSION_ITEM, 2, FAIL, 6050, FIRST_ONLY,
     UNMUTED},
    {"SecondProcessId", SESSION_CALL, SIM_SESSION_PROCESS, 1, FAIL, 6050,
     FIRST_ONLY, UNMUTED},
    {"SecondState", SESSION_CALL, SIM_SESSION_STATE, 1, FAIL, 22, UNCHANGED,
     {1, 0, 0}},
};
// clang-format on

class FocusedAppFaultElsewhere : public FocusedAppFault {};

TEST_P(FocusedAppFaultElsewhere, ChangesWhatItFoundAndSucceeds) {
  const FaultRow &row = GetParam();
  shape(BROWSER_WINDOW, FAULT_SCENE);
  inject(row, true);
  EXPECT_EQ(KSTEvent_Execute(row.id, 0), 1);
  std::vector<float> after = sessionScalars();
  for (size_t i = 0; i < after.size(); i++)
    EXPECT_NEAR(after[i], row.scalarsAfter[i], 1e-6) << "session " << i;
  EXPECT_EQ(sessionMutes(), row.mutedAfter);
  EXPECT_EQ(simTrayClockNotifications(), 1u);
  expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(Rows, FocusedAppFaultElsewhere,
                         testing::ValuesIn(ELSEWHERE_ROWS), rowName<FaultRow>);

/* Windows XP: no image-name function, so no helper is found; its own
 * session is found all the same. */
TEST_F(FocusedAppTest, WithoutTheImageNameOnlyOwnSessionsAreFound) {
  shape(BROWSER_WINDOW, {{0, HELPER_A, 0.2f, 0, 1, 0}});
  simProcessSetImageLookup(0);
  EXPECT_EQ(KSTEvent_Execute(6050, 0), 0);
  simSessionAdd(1, BROWSER);
  EXPECT_EQ(KSTEvent_Execute(6050, 0), 1);
  EXPECT_EQ(sessionScalars(), (std::vector<float>{0.2f, 0.5f}));
  expectNothingHeld();
}

/* A process is opened once however many sessions it has, and closed; the
 * processes are listed once. */
TEST_F(FocusedAppTest, EachHelperIsLookedAtOnce) {
  shape(BROWSER_WINDOW, {{0, HELPER_A, 0.2f, 0, 1, 0},
                         {1, HELPER_A, 0.2f, 0, 1, 0},
                         {1, HELPER_A, 0.2f, 0, 1, 0}});
  EXPECT_EQ(KSTEvent_Execute(6050, 0), 1);
  EXPECT_EQ(simFocusCalls(SIM_PROCESS_OPEN), 2u) << "the browser and helper A";
  EXPECT_EQ(simFocusCalls(SIM_PROCESS_SNAPSHOT), 1u);
  EXPECT_EQ(simFocusCalls(SIM_PROCESS_CLOSE), 3u) << "and the snapshot";
  expectNothingHeld();
}

/* The processes a command opens: the focused one and each other one
 * only where the helpers' rule may need it, each once. */
struct OpensRow {
  const char *name;
  std::vector<Session> sessions; /* the browser in the foreground */
  unsigned opens;
};

const OpensRow OPENS_ROWS[] = {
    {"IdleOwnNothingElsePlays",
     {{0, BROWSER, 0.2f, 0, 0, 0}, {0, HELPER_A, 0.2f, 0, 0, 0}},
     0},
    /* Outside the browser's tree: nothing is opened. */
    {"IdleOwnAnotherProgramPlays",
     {{0, BROWSER, 0.2f, 0, 0, 0},
      {0, HELPER_A, 0.2f, 0, 0, 0},
      {1, OTHER, 0.2f, 0, 1, 0}},
     0},
    {"IdleOwnSecondInstancePlays",
     {{0, BROWSER, 0.2f, 0, 0, 0}, {1, SECOND_BROWSER, 0.2f, 0, 1, 0}},
     0},
    /* The helper, the process between and the browser, once each. */
    {"GrandchildBelowAnotherFile", {{0, HELPER_C, 0.2f, 0, 1, 0}}, 3},
    {"IdleOwnHelperPlaysLater",
     {{0, BROWSER, 0.2f, 0, 0, 0},
      {0, HELPER_A, 0.2f, 0, 0, 0},
      {1, HELPER_A, 0.2f, 0, 1, 0}},
     2},
};

class FocusedAppOpens : public FocusedAppTest,
                        public testing::WithParamInterface<OpensRow> {};

TEST_P(FocusedAppOpens, OpensOnlyWhatTheRuleNeeds) {
  shape(BROWSER_WINDOW, GetParam().sessions);
  EXPECT_EQ(KSTEvent_Execute(6050, 0), 1);
  EXPECT_EQ(simFocusCalls(SIM_PROCESS_OPEN), GetParam().opens);
  expectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(Rows, FocusedAppOpens, testing::ValuesIn(OPENS_ROWS),
                         rowName<OpensRow>);

} // namespace
