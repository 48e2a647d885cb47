/*
 * Command dispatch given arbitrary identifiers over an arbitrarily shaped
 * and failing mixer and Core Audio endpoint of the sim.
 *
 * Input: the mixer device (present or not, up to eight lines of any
 * component type, channel count, bounds, levels and quirks), Core Audio
 * (present or not, the default endpoint or none, any scalar and mute, the
 * mute stub, the thread's apartment), the foreground window and the audio
 * sessions of three processes (two of one executable), four more devices
 * of either direction in any state with names of any bytes, the
 * VolComponentType, VolEndpoint and UnmuteOnChange settings, the device
 * switches' settings and texts (any bytes, a headset pair among them) and
 * the named devices' numbers, then up to 32 steps, each a command
 * identifier (mostly in or beside a row of command/command_families.h) or
 * a change between commands: a mixer, endpoint, session or window call
 * starts or stops failing (an endpoint call after some that succeed), a
 * switched default shows only after some looks, the default endpoint
 * changes, the host calls KSTEvent_Init or KSTEvent_Unload.
 *
 * Checks after every command: the result is exactly 0 or 1; the clock is
 * told exactly once on success and never on failure; an identifier in no
 * row asks neither backend anything; every value written lies within the
 * bounds of the control it was written to (a scalar within 0..1, a mute 0
 * or 1, a session's too); at most one mixer handle is open, and none after
 * KSTEvent_Unload; no endpoint or session interface and no process handle
 * is held and the thread's COM apartment is as it was; a device switch
 * that took left an active device the console default; no command held
 * the host more than half a second; a level change of a recording device
 * wrote no mute.
 */
#include <fuzzer/FuzzedDataProvider.h>

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

/* Processes 100 and 101 run one executable, 102 another; 100 and 102 have
 * windows, one of which (or none) is in the foreground. */
static void shapeFocusedApp(FuzzedDataProvider &input) {
  simFocusReset();
  simProcessAdd(100, "C:\\a.exe");
  simProcessAdd(101, "C:\\A.EXE")->openable = input.ConsumeBool();
  simProcessAdd(102, "C:\\b.exe");
  WindowHandle windows[] = {0, simAppWindowAdd(0, "A", 100),
                            simAppWindowAdd(0, "B", 102)};
  simSetForegroundWindow(input.PickValueInArray(windows));
  static const uint32_t PROCESSES[] = {100, 101, 102, 0};
  int sessions = input.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < sessions; i++) {
    SimSession *session = simSessionAdd(input.ConsumeIntegralInRange(0, 3),
                                        input.PickValueInArray(PROCESSES));
    session->state = input.ConsumeIntegralInRange(0, 2);
    session->systemSounds = input.ConsumeIntegralInRange(0, 7) == 0;
    session->scalar = consumeScalar(input);
    session->muted = input.ConsumeBool();
  }
}

/* Mostly a row's first identifier or one in or just beside a row. */
static int32_t consumeIdentifier(FuzzedDataProvider &input) {
  switch (input.ConsumeIntegralInRange(0, 4)) {
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

static void runCommand(int32_t id) {
  simMixerClearCalls();
  simEndpointClearCalls();
  uint64_t slept = simClockSlept();
  unsigned clockBefore = simTrayClockNotifications();
  SimApartment apartment = simComApartment();
  unsigned depth = simComDepth();
  uint32_t sessionCallsBefore = sessionCalls();
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
  switch (input.ConsumeIntegralInRange(0, 14)) {
  case 14:
    /* A switched default that shows after some looks, or never. */
    simPolicySetShowAfter(input.ConsumeIntegralInRange(0, 15));
    break;
  case 12: {
    SimSessionOp op =
        (SimSessionOp)input.ConsumeIntegralInRange<int>(0, SIM_SESSION_OPS - 1);
    simSessionFail(op,
                   input.ConsumeBool() ? input.PickValueInArray(HRESULTS) : 0);
    break;
  }
  case 13:
    /* Not CloseHandle, which cannot fail. */
    simFocusFail(
        (SimFocusOp)input.ConsumeIntegralInRange<int>(0, SIM_PROCESS_IMAGE),
        input.ConsumeBool());
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
  FuzzedDataProvider input(data, size);
  fuzzResetPlugin();
  shapeDevice(input);
  shapeEndpoints(input);
  shapeFocusedApp(input);
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
  for (int step = 0; step < 32 && input.remaining_bytes() > 0; step++)
    runStep(input);
  KSTEvent_Unload();
  FUZZ_CHECK(simMixerOpenHandles() == 0);
  return 0;
}
