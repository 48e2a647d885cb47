/*
 * Command dispatch given arbitrary identifiers over an arbitrarily shaped
 * and failing mixer, Core Audio endpoint and process table of the sim.
 *
 * Input: the mixer device (present or not, up to eight lines of any
 * component type, channel count, bounds, levels and quirks), Core Audio
 * (present or not, the default endpoint or none, any scalar and mute, the
 * mute stub, the thread's apartment), the foreground window, the
 * processes (three of two executables, then more of any ids, parent ids
 * and starts: themselves, each other's in loops, missing or reused, and
 * executables of any bytes and length, with or without an extension, or
 * a run of up to the sim's whole table), audio sessions of any of them on
 * any device, four more devices of either direction in any state with
 * names of any bytes, the VolComponentType, VolEndpoint and
 * UnmuteOnChange settings, the Program texts of slots 0 and 1 (any bytes),
 * the device switches' settings and texts (any bytes, a headset pair
 * among them) and the named devices' and programs' numbers; then, from
 * the input's end, up to 32 steps, each a command identifier (mostly in
 * or beside a row of command/command_families.h, the Program rows
 * 12000..12309 among them) or a change between commands: a mixer,
 * endpoint, session, window or process call starts or stops failing (an
 * endpoint or session call after some that succeed, a snapshot's walk
 * that stops early), one device's sessions cannot be listed, a switched
 * default shows only after some looks, the default endpoint changes, the
 * host calls KSTEvent_Init or KSTEvent_Unload.
 *
 * Checks after every command: the result is exactly 0 or 1; a failure
 * says one line with a reason of its own, a success none; the clock is
 * told exactly once on success and never on failure; an identifier in no
 * row asks neither backend anything; every value written lies within the
 * bounds of the control it was written to (a scalar within 0..1, a mute 0
 * or 1, a session's too); at most one mixer handle is open, and none after
 * KSTEvent_Unload; no endpoint or session interface, process handle or
 * snapshot is held and the thread's COM apartment is as it was; at most
 * one snapshot of the processes is taken; a device switch that took left
 * an active device the console default; no command held the host more
 * than half a second; a level change of a recording device wrote no mute;
 * a Program command opens no process and changes no expired session and
 * none its text cannot name (the system sounds' only where it holds the
 * word).
 */
#include <algorithm>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

#include "command/command_failure.h"
#include "command/command_families.h"
#include "fuzz_support.h"
#include "plugin/plugin.h"
#include "sim/sim.h"

static const uint32_t COMPONENT_TYPES[] = {
    0,      1,      2,      3,      4,      5,      6,      7,
    8,      0x1000, 0x1001, 0x1002, 0x1003, 0x1004, 0x1005, 0x1006,
    0x1007, 0x1008, 0x1009, 0x100A, 4,      4,      0x1003, 0xFFFF};

static uint32_t consumeBound(FuzzedDataProvider &input) {
  switch (input.ConsumeIntegralInRange(0, 3)) {
  case 0:
    return 0;
  case 1:
    return 0xFFFF;
  case 2:
    return input.ConsumeIntegralInRange<uint32_t>(0, 0x1FFFF);
  default:
    return input.ConsumeIntegral<uint32_t>();
  }
}

static void shapeLine(FuzzedDataProvider &input) {
  uint32_t type = input.PickValueInArray(COMPONENT_TYPES);
  if (input.ConsumeBool())
    type = input.ConsumeIntegral<uint32_t>();
  SimLine *line =
      simMixerAddLine(type, input.ConsumeIntegralInRange<uint32_t>(0, 20));
  if (!line)
    return;
  line->hasVolume = input.ConsumeIntegralInRange(0, 3) != 0;
  line->hasMute = input.ConsumeIntegralInRange(0, 3) != 0;
  line->minimum = consumeBound(input);
  line->maximum = consumeBound(input);
  for (uint32_t &level : line->levels)
    level = input.ConsumeBool() ? consumeBound(input) : 0;
  line->mute = input.ConsumeBool() ? input.ConsumeIntegral<uint32_t>() : 0;
  line->firstChannelOnly = input.ConsumeIntegralInRange(0, 7) == 0;
  line->reportsNothing = input.ConsumeIntegralInRange(0, 15) == 0;
}

static void shapeDevice(FuzzedDataProvider &input) {
  simMixerSetPresent(input.ConsumeIntegralInRange(0, 15) != 0);
  if (input.ConsumeBool())
    simMixerRemoveLines();
  int lines = input.ConsumeIntegralInRange<int>(0, SIM_MAX_LINES);
  for (int i = 0; i < lines; i++)
    shapeLine(input);
}

static float consumeScalar(FuzzedDataProvider &input) {
  static const float SPECIAL[] = {0.0f,
                                  1.0f,
                                  0.5f,
                                  0.333f,
                                  -0.25f,
                                  1.5f,
                                  __builtin_nanf(""),
                                  __builtin_inff()};
  if (input.ConsumeBool())
    return input.PickValueInArray(SPECIAL);
  return input.ConsumeProbability<float>();
}

static void shapeEndpoints(FuzzedDataProvider &input) {
  simEndpointSetPresent(input.ConsumeIntegralInRange(0, 7) != 0);
  simEndpointSetDefault(input.ConsumeIntegralInRange<int>(SIM_NO_DEFAULT, 1));
  for (int i = 0; i < SIM_MAX_ENDPOINTS; i++) {
    simEndpoint(i)->scalar = consumeScalar(input);
    simEndpoint(i)->muted =
        input.ConsumeBool() ? input.ConsumeIntegral<int32_t>() : 0;
  }
  simEndpointSetMuteStub(input.ConsumeIntegralInRange(0, 3) == 0);
  simComSetApartment((SimApartment)input.ConsumeIntegralInRange(0, 2));
  /* Endpoints 2 and 3 record, when present; each role's default any of
   * them, or a playback one, or none. */
  for (int i = 2; i < SIM_MAX_ENDPOINTS; i++)
    simEndpointSetKind(i, AUDIO_CAPTURE, input.ConsumeBool());
  for (AudioRole role : {AUDIO_CONSOLE, AUDIO_COMMUNICATIONS})
    simEndpointSetDefaultFor(AUDIO_CAPTURE, role,
                             input.ConsumeIntegralInRange<int>(
                                 SIM_NO_DEFAULT, SIM_MAX_ENDPOINTS - 1));
}

static const char *const DEVICE_NAMES[] = {
    "Speakers", "2- Headset Earphone", "Headset Microphone", "HDMI",
    "\xe3\x83\x98\xe3\x83\x83\xe3\x83\x89\xe3\x83\x9b\xe3\x83\xb3"};

/* Devices 4 to 7: either direction, any state, a name of any bytes; the
 * policy-config class there or not. */
static void shapeSwitchDevices(FuzzedDataProvider &input) {
  static const uint32_t STATES[] = {SIM_DEVICE_ACTIVE, SIM_DEVICE_DISABLED,
                                    SIM_DEVICE_NOT_PRESENT,
                                    SIM_DEVICE_UNPLUGGED};
  for (int i = 4; i < SIM_MAX_ENDPOINTS; i++) {
    AudioFlow flow = input.ConsumeBool() ? AUDIO_RENDER : AUDIO_CAPTURE;
    simEndpointSetState(i, flow, input.PickValueInArray(STATES));
    simEndpointSetName(i, input.ConsumeBool()
                              ? input.PickValueInArray(DEVICE_NAMES)
                              : input.ConsumeRandomLengthString(120).c_str());
  }
  simPolicySetPresent(input.ConsumeIntegralInRange(0, 7) != 0);
}

static std::string consumeDeviceText(FuzzedDataProvider &input) {
  return input.ConsumeBool() ? std::string(input.PickValueInArray(DEVICE_NAMES))
                             : input.ConsumeRandomLengthString(100);
}

/* A named device's number: mostly one it takes, else any bytes. */
static std::string consumeSlotNumber(FuzzedDataProvider &input) {
  switch (input.ConsumeIntegralInRange(0, 3)) {
  case 0:
    return "1";
  case 1:
  case 2:
    return std::to_string(input.ConsumeIntegralInRange(-5, 105));
  default:
    return input.ConsumeRandomLengthString(12);
  }
}

/* Program texts users write, and some that name nothing or everything. */
static const char *const PROGRAM_TEXTS[] = {"a",
                                            "A.EXE",
                                            "b|a.exe",
                                            " a | b ",
                                            "SystemSounds",
                                            "systemsounds|b",
                                            "a.exe.exe",
                                            "|",
                                            "a|",
                                            ".exe",
                                            "C:\\a.exe",
                                            "b.exe|SYSTEMSOUNDS"};

/* The Program texts as written, slots 0 and 1: what may name a process. */
static std::string programTexts[2];

/* Slots 0 and 1's Program texts, of any bytes but a line's end (a line
 * past it would be a key of its own, which the checks do not expect);
 * first in their section, where no other text's line can come before. */
static std::string programSettings(FuzzedDataProvider &input) {
  std::string text;
  for (int k = 0; k < 2; k++) {
    std::string &value = programTexts[k];
    value = input.ConsumeBool()
                ? std::string(input.PickValueInArray(PROGRAM_TEXTS))
                : input.ConsumeRandomLengthString(100);
    for (char &c : value)
      if (c == '\n' || c == '\r')
        c = ' ';
    text += "Program" + std::to_string(k) + "=" + value + "\n";
  }
  return text;
}

/* The device switches' and the named devices' settings: texts of any
 * bytes and length, a headset pair ("<playback>|<recording>") among
 * them, and the numbers of slots 0 and 1. */
static std::string switchSettings(FuzzedDataProvider &input) {
  std::string text =
      "NextNamedOnly=" + std::to_string(input.ConsumeIntegralInRange(0, 2)) +
      "\nSwitchCommunications=" +
      std::to_string(input.ConsumeIntegralInRange(0, 2)) +
      "\nUnmuteOnChange=" + std::to_string(input.ConsumeIntegralInRange(0, 2)) +
      "\n[Command]\n";
  text += programSettings(input);
  for (const char *key :
       {"Output0", "Output1", "Input0", "Input1", "Device0", "Device1"})
    text += std::string(key) + "=" + consumeDeviceText(input) + "\n";
  text += "Device2=" + consumeDeviceText(input) + "|" +
          consumeDeviceText(input) + "\n";
  for (const SettingNumberRow &row : SETTING_NUMBER_ROWS)
    for (int k = 0; k < 2; k++)
      text +=
          row.key + std::to_string(k) + "=" + consumeSlotNumber(input) + "\n";
  return text;
}

/* After a switch that took, the console default of each direction it
 * switched is an active device. */
static void checkSwitch(int32_t id, int32_t result) {
  const CommandFamily *family = familyOfId(id);
  if (!family || family->run != runDeviceSwitch || result != 1)
    return;
  for (AudioFlow flow : {AUDIO_RENDER, AUDIO_CAPTURE}) {
    bool switched = family->action == DEVICE_HEADSET_BY_NAME ||
                    (family->action == DEVICE_NEXT
                         ? family->argumentAtFirst == flow
                         : (family->action == DEVICE_INPUT_BY_NAME) ==
                               (flow == AUDIO_CAPTURE));
    int device = simEndpointDefaultOf(flow, AUDIO_CONSOLE);
    if (switched)
      FUZZ_CHECK(device != SIM_NO_DEFAULT &&
                 simEndpointState(device) == SIM_DEVICE_ACTIVE &&
                 simEndpointFlow(device) == flow);
  }
}

/* The executables processes run: the sessions' two programs in either
 * case, names without an extension or with two, the system sounds' word,
 * a folder with a dot in it, no file at all, and none to tell (null). */
static const char *const PROCESS_PATHS[] = {"C:\\a.exe",
                                            "C:\\A.EXE",
                                            "C:\\b.exe",
                                            "C:\\a",
                                            "a.exe.exe",
                                            "C:\\x.exe\\b",
                                            "SystemSounds.exe",
                                            "C:\\",
                                            "",
                                            "C:\\Program Files\\b",
                                            nullptr};

/* Process ids the shapes draw on: the three below, two more, none (0), one
 * that no process has, and the first of a long run. */
static const uint32_t PROCESS_IDS[] = {100, 101, 102, 103, 104, 0, 999, 1000};

/* The paths of the processes shaped last, kept while they run. */
static std::string processPaths[SIM_MAX_PROCESSES];

static const char *consumePath(FuzzedDataProvider &input, unsigned index) {
  if (input.ConsumeIntegralInRange(0, 3) != 0)
    return input.PickValueInArray(PROCESS_PATHS);
  /* Any bytes, longer than a snapshot's file name at times. */
  processPaths[index] = input.ConsumeRandomLengthString(300);
  return processPaths[index].c_str();
}

static uint32_t consumeProcessId(FuzzedDataProvider &input) {
  return input.ConsumeBool() ? input.PickValueInArray(PROCESS_IDS)
                             : input.ConsumeIntegral<uint32_t>();
}

/* A process's parent id: none, itself, one of the others (a loop among
 * them at times), a missing one, or any; and a start before its parent's
 * at times, as where the parent id was given again. */
static void shapeParent(FuzzedDataProvider &input, SimProcess *process) {
  switch (input.ConsumeIntegralInRange(0, 3)) {
  case 0:
    break;
  case 1:
    process->parentId = process->processId;
    break;
  default:
    process->parentId = consumeProcessId(input);
  }
  if (input.ConsumeIntegralInRange(0, 3) == 0)
    process->started = input.ConsumeIntegralInRange<uint64_t>(0, 140);
  process->openable = input.ConsumeIntegralInRange(0, 7) != 0;
}

/* Up to the sim's whole table of processes: a chain of one executable
 * each the parent of the next, or each the parent of the one before
 * (started in the wrong order), two to a name. */
static void addManyProcesses(FuzzedDataProvider &input) {
  int backwards = input.ConsumeBool();
  uint32_t count = input.ConsumeIntegralInRange<uint32_t>(1, SIM_MAX_PROCESSES);
  const char *path = input.PickValueInArray(PROCESS_PATHS);
  for (uint32_t i = 0; i < count; i++) {
    SimProcess *process = simProcessAdd(1000 + i, i % 2 ? path : "C:\\a.exe");
    if (!process)
      return;
    process->parentId = backwards ? 1001 + i : i ? 999 + i : 100;
  }
}

/* Processes 100 and 101 run one executable, 102 another; 100 and 102 have
 * windows, one of which (or none) is in the foreground. The snapshot also
 * lists processes of any ids (reused, 0, the three's), parents, starts and
 * executables, or a long run of them. */
static void shapeProcesses(FuzzedDataProvider &input) {
  simFocusReset();
  simProcessAdd(100, "C:\\a.exe");
  simProcessAdd(101, "C:\\A.EXE");
  simProcessAdd(102, "C:\\b.exe");
  for (unsigned i = 0; i < 3; i++)
    shapeParent(input, simProcessOf(100 + i));
  WindowHandle windows[] = {0, simAppWindowAdd(0, "A", 100),
                            simAppWindowAdd(0, "B", 102)};
  simSetForegroundWindow(input.PickValueInArray(windows));
  if (input.ConsumeIntegralInRange(0, 7) == 0)
    addManyProcesses(input);
  unsigned more = input.ConsumeIntegralInRange(0, 6);
  for (unsigned i = 0; i < more; i++) {
    uint32_t id = consumeProcessId(input);
    SimProcess *process = simProcessAdd(id, consumePath(input, i));
    if (process)
      shapeParent(input, process);
  }
}

/* Sessions of those processes, or of none, up to the sim's whole table:
 * on the default device mostly, on a second playback device (1) at
 * times, and on the devices the switches shape (4 to 7). */
static void shapeSessions(FuzzedDataProvider &input) {
  if (input.ConsumeBool())
    simEndpointSetKind(1, AUDIO_RENDER, 1);
  int sessions = input.ConsumeIntegralInRange(0, 7) == 0
                     ? input.ConsumeIntegralInRange<int>(0, SIM_MAX_SESSIONS)
                     : input.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < sessions; i++) {
    int device = input.ConsumeBool() ? 0 : input.ConsumeIntegralInRange(1, 7);
    SimSession *session =
        simSessionAdd(device, input.PickValueInArray(PROCESS_IDS));
    session->state = input.ConsumeIntegralInRange(0, 2);
    session->systemSounds = input.ConsumeIntegralInRange(0, 7) == 0;
    session->severalProcesses = input.ConsumeIntegralInRange(0, 15) == 0;
    session->scalar = consumeScalar(input);
    session->muted = input.ConsumeBool();
  }
}

/* Mostly a row's first identifier or one in or just beside a row; now
 * and then a Program command of a slot with a text. */
static int32_t consumeIdentifier(FuzzedDataProvider &input) {
  switch (input.ConsumeIntegralInRange(0, 5)) {
  case 5:
    return 12000 + 100 * input.ConsumeIntegralInRange(0, 3) +
           input.ConsumeIntegralInRange(0, 1);
  case 0:
    return input.PickValueInArray(COMMAND_FAMILIES).firstId;
  case 1:
  case 2: {
    const CommandFamily &row = input.PickValueInArray(COMMAND_FAMILIES);
    return row.firstId +
           input.ConsumeIntegralInRange(-2, row.lastId - row.firstId + 2);
  }
  default:
    return input.ConsumeIntegral<int32_t>();
  }
}

static uint32_t mixerCalls(void) {
  uint32_t total = 0;
  for (int op = 0; op < SIM_MIXER_OPS; op++)
    total += simMixerCalls((SimMixerOp)op);
  return total;
}

static uint32_t sessionCalls(void) {
  uint32_t total = 0;
  for (int op = 0; op < SIM_SESSION_OPS; op++)
    total += simSessionCalls((SimSessionOp)op);
  for (int op = 0; op < SIM_FOCUS_OPS; op++)
    total += simFocusCalls((SimFocusOp)op);
  return total;
}

static void checkScalarWrites(const SimEndpointWrites *writes) {
  if (writes->scalarWritten)
    FUZZ_CHECK(writes->scalar >= 0.0f && writes->scalar <= 1.0f);
  if (writes->muteWritten)
    FUZZ_CHECK(writes->muted == 0 || writes->muted == 1);
}

static void checkLastWrites(void) {
  const SimMixerWrite *write = simMixerLastWrite();
  for (uint32_t i = 0; write && i < write->channels; i++) {
    FUZZ_CHECK(write->values[i] >= write->minimum);
    FUZZ_CHECK(write->values[i] <= write->maximum);
  }
  checkScalarWrites(simEndpointLastWrites());
  checkScalarWrites(simSessionLastWrites());
}

/* A failure says one line, with a reason of its own; a success none. */
static void checkFailureLine(int32_t result) {
  FUZZ_CHECK(simDebugLineCount() == (result ? 0u : 1u));
  const char *line = simDebugLine(0);
  if (!line)
    return;
  const char *unsaid = COMMAND_FAILURES[FAILED_UNSAID].text;
  size_t length = strlen(line), tail = strlen(unsaid) + 1;
  if (strncmp(line, "volume: ", 8) != 0 || line[length - 1] != '\n' ||
      (length > tail && strncmp(line + length - tail, unsaid, tail - 1) == 0)) {
    fprintf(stderr, "said: %s", line);
    FUZZ_CHECK(!"a reason of its own");
  }
}

/* A microphone's mute is the user's privacy: a level change, of the
 * default recording devices or of one named, never writes it. */
static void checkMicrophoneMute(int32_t id) {
  const CommandFamily *family = familyOfId(id);
  if (family &&
      (family->run == runOnMicrophones || family->run == runOnNamedInput) &&
      (family->action == VOLUME_STEP || family->action == VOLUME_SET))
    FUZZ_CHECK(!simEndpointLastWrites()->muteWritten);
}

/* The sessions' levels and mutes as a command found them. */
struct SessionLevels {
  float scalar[SIM_MAX_SESSIONS];
  int32_t muted[SIM_MAX_SESSIONS];
};

static void readLevels(SessionLevels *levels) {
  for (unsigned i = 0; const SimSession *session = simSessionAt(i); i++) {
    levels->scalar[i] = session->scalar;
    levels->muted[i] = session->muted;
  }
}

static std::string lowered(std::string text) {
  for (char &c : text)
    if (c >= 'A' && c <= 'Z')
      c = (char)(c - 'A' + 'a');
  return text;
}

/* Whether a Program text may name a process: the file name of an
 * executable the snapshot gives that id, less one ".exe", stands in it,
 * ASCII in any case. Every name that matches passes; not the rule. */
static bool mayName(const std::string &text, uint32_t processId) {
  std::string written = lowered(text);
  for (unsigned i = 0; const SimProcess *process = simProcessAt(i); i++) {
    std::string file = lowered(simProcessFile(process));
    if (file.size() >= 4 && file.compare(file.size() - 4, 4, ".exe") == 0)
      file.resize(file.size() - 4);
    if (process->processId == processId && !file.empty() &&
        written.find(file) != std::string::npos)
      return true;
  }
  return false;
}

/* A Program command opens no process and changes only live sessions its
 * text may name: the system sounds' where it holds the word. */
static void checkProgram(int32_t id, const SessionLevels &before,
                         unsigned opensBefore) {
  const CommandFamily *family = familyOfId(id);
  if (!family || family->run != runOnProgram)
    return;
  FUZZ_CHECK(simFocusCalls(SIM_PROCESS_OPEN) == opensBefore);
  uint32_t slot = (uint32_t)(id - family->firstId);
  std::string text = slot < 2 ? programTexts[slot] : "";
  for (unsigned i = 0; const SimSession *session = simSessionAt(i); i++) {
    if (memcmp(&session->scalar, &before.scalar[i], sizeof(float)) == 0 &&
        session->muted == before.muted[i])
      continue;
    FUZZ_CHECK(session->state != AUDIO_SESSION_EXPIRED);
    FUZZ_CHECK(session->systemSounds
                   ? lowered(text).find("systemsounds") != std::string::npos
                   : mayName(text, session->processId));
  }
}

static void runCommand(int32_t id) {
  simMixerClearCalls();
  simEndpointClearCalls();
  uint64_t slept = simClockSlept();
  unsigned clockBefore = simTrayClockNotifications();
  SimApartment apartment = simComApartment();
  unsigned depth = simComDepth();
  uint32_t sessionCallsBefore = sessionCalls();
  unsigned snapshots = simFocusCalls(SIM_PROCESS_SNAPSHOT);
  unsigned opens = simFocusCalls(SIM_PROCESS_OPEN);
  static SessionLevels before;
  readLevels(&before);
  simDebugReset();
  int32_t result = KSTEvent_Execute(id, 0);
  FUZZ_CHECK(result == 0 || result == 1);
  checkFailureLine(result);
  FUZZ_CHECK(simTrayClockNotifications() - clockBefore == (unsigned)result);
  if (!isCommandId(id)) {
    FUZZ_CHECK(result == 0);
    FUZZ_CHECK(mixerCalls() == 0);
    FUZZ_CHECK(simEndpointAllCalls() == 0);
    FUZZ_CHECK(sessionCalls() == sessionCallsBefore);
  }
  checkLastWrites();
  checkSwitch(id, result);
  checkMicrophoneMute(id);
  checkProgram(id, before, opens);
  FUZZ_CHECK(simFocusCalls(SIM_PROCESS_SNAPSHOT) - snapshots <= 1);
  /* A default that shows late holds the host half a second at most. */
  FUZZ_CHECK(simClockSlept() - slept <= 500);
  FUZZ_CHECK(simMixerOpenHandles() <= 1);
  FUZZ_CHECK(simEndpointLiveReferences() == 0);
  FUZZ_CHECK(simEndpointMisuses() == 0);
  FUZZ_CHECK(simProcessOpenHandles() == 0 && simProcessMisuses() == 0);
  FUZZ_CHECK(simComApartment() == apartment && simComDepth() == depth);
}

static const MixerResult ERRORS[] = {
    SIM_MMSYSERR_ERROR,       SIM_MMSYSERR_BADDEVICEID,
    SIM_MMSYSERR_INVALHANDLE, SIM_MMSYSERR_NOMEM,
    SIM_MMSYSERR_INVALPARAM,  SIM_MIXERR_INVALLINE,
    SIM_MIXERR_INVALCONTROL,  0xFFFFFFFFu};

static const uint32_t HRESULTS[] = {SIM_E_NOTIMPL,
                                    SIM_E_FAIL,
                                    SIM_E_OUTOFMEMORY,
                                    SIM_E_INVALIDARG,
                                    SIM_E_NOTFOUND,
                                    SIM_REGDB_E_CLASSNOTREG,
                                    SIM_CO_E_NOTINITIALIZED,
                                    SIM_RPC_E_CHANGED_MODE,
                                    SIM_AUDCLNT_E_DEVICE_INVALIDATED};

static void runStep(FuzzedDataProvider &input) {
  switch (input.ConsumeIntegralInRange(0, 15)) {
  case 14:
    /* A switched default that shows after some looks, or never. */
    simPolicySetShowAfter(input.ConsumeIntegralInRange(0, 15));
    break;
  case 12: {
    /* From a later call on too: the second session's write, say. */
    SimSessionOp op =
        (SimSessionOp)input.ConsumeIntegralInRange<int>(0, SIM_SESSION_OPS - 1);
    simSessionFailAfter(op, input.ConsumeIntegralInRange(0, 6),
                        input.ConsumeBool() ? input.PickValueInArray(HRESULTS)
                                            : 0);
    break;
  }
  case 13:
    /* Not CloseHandle, which cannot fail; a snapshot's walk that stops
     * early among them. */
    simFocusFailAfter(
        (SimFocusOp)input.ConsumeIntegralInRange<int>(0, SIM_PROCESS_WALK),
        input.ConsumeIntegralInRange(0, 4) ? 0
                                           : input.ConsumeIntegralInRange(0, 9),
        input.ConsumeBool());
    break;
  case 15:
    /* One device whose sessions cannot be listed. */
    simSessionListFail(input.ConsumeIntegralInRange(0, 3),
                       input.ConsumeBool() ? input.PickValueInArray(HRESULTS)
                                           : 0);
    break;
  case 10: {
    /* Not Release or CoUninitialize, which cannot fail. */
    SimEndpointOp op;
    do
      op = (SimEndpointOp)input.ConsumeIntegralInRange<int>(
          0, SIM_ENDPOINT_OPS - 1);
    while ((op == SIM_ENDPOINT_RELEASE || op == SIM_COM_LEAVE) &&
           input.remaining_bytes() > 0);
    if (op == SIM_ENDPOINT_RELEASE || op == SIM_COM_LEAVE)
      break;
    /* From a later call on too: the second device's, a later look's. */
    simEndpointFailAfter(op, input.ConsumeIntegralInRange(0, 6),
                         input.ConsumeBool() ? input.PickValueInArray(HRESULTS)
                                             : 0);
    break;
  }
  case 11:
    simEndpointSetDefault(input.ConsumeIntegralInRange<int>(SIM_NO_DEFAULT, 3));
    break;
  case 0: {
    /* Not mixerClose: a handle that cannot be closed stays open whatever
     * the plug-in does. */
    SimMixerOp op =
        (SimMixerOp)input.ConsumeIntegralInRange<int>(0, SIM_MIXER_WRITE);
    simMixerFail(op, input.ConsumeBool() ? input.PickValueInArray(ERRORS) : 0);
    break;
  }
  case 1:
    FUZZ_CHECK(KSTEvent_Init("volume.dll", 0) == 1);
    break;
  case 2:
    KSTEvent_Unload();
    FUZZ_CHECK(simMixerOpenHandles() == 0);
    break;
  default:
    runCommand(consumeIdentifier(input));
  }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  /* The steps have the input's end of their own, so that however much
   * the shapes take, commands run. */
  size_t stepBytes = std::min<size_t>(size / 2, 96);
  FuzzedDataProvider input(data, size - stepBytes);
  FuzzedDataProvider steps(data + size - stepBytes, stepBytes);
  fuzzResetPlugin();
  shapeDevice(input);
  shapeEndpoints(input);
  shapeProcesses(input);
  shapeSessions(input);
  shapeSwitchDevices(input);
  int32_t setting = input.ConsumeIntegralInRange(-2, 21);
  std::string settings =
      "[Setting]\nVolComponentType=" + std::to_string(setting) + "\n";
  int32_t endpoint = input.ConsumeIntegralInRange(-1, 2);
  if (endpoint >= 0)
    settings += "VolEndpoint=" + std::to_string(endpoint) + "\n";
  fuzzWriteSettings(settings + switchSettings(input));
  if (input.ConsumeBool())
    FUZZ_CHECK(KSTEvent_Init("volume.dll", 0) == 1);
  for (int step = 0; step < 32 && steps.remaining_bytes() > 0; step++)
    runStep(steps);
  KSTEvent_Unload();
  FUZZ_CHECK(simMixerOpenHandles() == 0);
  return 0;
}
