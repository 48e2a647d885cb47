/*
 * The device switches: which device each direction goes to (Next or by
 * name), the roles written through the policy-config class, the look back.
 */
#include "device_switch/device_switch.h"

#include "core_audio/core_audio.h"
#include "core_audio/device_names.h"
#include "device_switch/device_list.h"

/* What one pass over a direction's devices keeps of a kind of
 * candidate: the first, and the first after the console default. Only
 * these can be chosen, so a machine with any number of devices needs
 * no list of them. */
struct Candidates {
  DeviceEntry first, afterDefault;
  int hasFirst, hasAfter, sawDefault;
};

enum { EVERY_DEVICE, NAMED_DEVICE, CANDIDATE_KINDS };

/* One direction's part of a switch. */
struct FlowSwitch {
  AudioFlow flow;
  uint16_t consoleId[DEVICE_ID_SIZE]; /* the console default before; empty:
                                        none */
  /* What names a device: the text asked for, or with NextNamedOnly=1 any
   * of the direction's texts (named); neither: none is named. */
  const char *text;
  const Settings *named;
  SettingTextId texts;
  Candidates kinds[CANDIDATE_KINDS];
  const DeviceEntry *chosen; /* null: none */
};

/* Whether a device is named by one of the direction's texts. */
static int namedByTexts(const DeviceEntry *device, const Settings *settings,
                        SettingTextId texts) {
  for (uint32_t slot = 0; slot < SETTING_TEXT_SLOTS; slot++)
    if (nameHoldsText(device->name, settingText(settings, texts, slot)))
      return 1;
  return 0;
}

static void keepCandidate(Candidates *kind, const DeviceEntry *device,
                          int isDefault) {
  if (!kind->hasFirst) {
    kind->first = *device;
    kind->hasFirst = 1;
  } else if (kind->sawDefault && !kind->hasAfter) {
    kind->afterDefault = *device;
    kind->hasAfter = 1;
  }
  kind->sawDefault |= isDefault;
}

static void visitCandidate(void *context, const DeviceEntry *device) {
  FlowSwitch *flow = (FlowSwitch *)context;
  int isDefault = sameId(device->id, flow->consoleId);
  int named = flow->text    ? nameHoldsText(device->name, flow->text)
              : flow->named ? namedByTexts(device, flow->named, flow->texts)
                            : 0;
  keepCandidate(&flow->kinds[EVERY_DEVICE], device, isDefault);
  if (named)
    keepCandidate(&flow->kinds[NAMED_DEVICE], device, isDefault);
}

/* By name: the first device named. Next: the candidate after the console
 * default (the named ones with NextNamedOnly=1 where one is present, else
 * every active one), wrapping; the first where the default is none of
 * them. */
static const DeviceEntry *chosenDevice(const FlowSwitch *flow) {
  const Candidates *named = &flow->kinds[NAMED_DEVICE];
  if (flow->text)
    return named->hasFirst ? &named->first : nullptr;
  const Candidates *kind = named->hasFirst ? named : &flow->kinds[EVERY_DEVICE];
  if (!kind->hasFirst)
    return nullptr;
  return kind->hasAfter ? &kind->afterDefault : &kind->first;
}

/* The roles of one direction the switch writes, in the order written:
 * console and multimedia where the device is not their default yet, the
 * communications default where it followed the console default (or
 * always, with SwitchCommunications=1) and is another device. */
struct RoleWrites {
  AudioRole roles[ROLE_COUNT];
  uint32_t count;
};

static int planRoles(ComObject enumerator, const FlowSwitch *flow,
                     const Settings *settings, RoleWrites *writes) {
  const uint16_t *chosen = flow->chosen->id;
  uint16_t id[DEVICE_ID_SIZE];
  writes->count = 0;
  if (!sameId(flow->consoleId, chosen)) {
    writes->roles[writes->count++] = AUDIO_CONSOLE;
    writes->roles[writes->count++] = AUDIO_MULTIMEDIA;
  } else {
    /* Only a device that is the console default already has its
     * multimedia default looked at: the two go together. */
    if (!defaultId(enumerator, flow->flow, AUDIO_MULTIMEDIA, id))
      return 0;
    if (!sameId(id, chosen))
      writes->roles[writes->count++] = AUDIO_MULTIMEDIA;
  }
  if (!defaultId(enumerator, flow->flow, AUDIO_COMMUNICATIONS, id))
    return 0;
  int follows = settingOn(settings, SETTING_SWITCH_COMMUNICATIONS) ||
                sameId(id, flow->consoleId);
  if (follows && !sameId(id, chosen))
    writes->roles[writes->count++] = AUDIO_COMMUNICATIONS;
  return 1;
}

/* The policy-config object, made at the first write and kept for the
 * rest of the command. */
struct PolicyHold {
  ComObject policy;
  uint32_t variant;
};

static int writeRoles(PolicyHold *hold, const FlowSwitch *flow,
                      const RoleWrites *writes) {
  if (writes->count > 0 && !hold->policy) {
    ComResult made = platformCreatePolicyConfig(&hold->policy, &hold->variant);
    made = receivedObject(made, hold->policy);
    if (!comTook(made, (uint32_t)made == COM_CLASS_NOT_REGISTERED
                           ? FAILED_NO_POLICY_CONFIG
                           : FAILED_POLICY_CONFIG)) {
      hold->policy = nullptr;
      return 0;
    }
  }
  const uint16_t *id = flow->chosen->id;
  for (uint32_t i = 0; i < writes->count; i++)
    if (!comTook(platformSetDefaultEndpoint(hold->policy, hold->variant, id,
                                            writes->roles[i]),
                 FAILED_SWITCH_REFUSED))
      return 0;
  return 1;
}

/* A switch is done when Windows says so: the console default, looked at
 * afterwards, is the chosen device. Public reports say that it need not
 * be so the moment the policy-config call returns: AudioSwitcher's
 * author found that setting the default "can take longer than expected"
 * and gives it 500 ms (github.com/xenolightning/AudioSwitcher, issue 57,
 * 2021), and its users saw "COM operation 'SetDefaultDevice' did not
 * complete in the requested time period" where, its author answered, the
 * default "may have still" been set, later (xenolightning/
 * AudioSwitcher_v1, issues 2125 and 2152). So the default is looked at
 * again until it shows, for about half a second after the writes. Each
 * look has an enumerator of its own, as a precaution: no public report
 * found says that one enumerator keeps an old answer, and a fresh one
 * costs one CoCreateInstance. */
enum { SHOW_WAIT_MILLISECONDS = 500, SHOW_LOOK_MILLISECONDS = 50 };

/* Looks at a direction's console default once: 1 with *shows set, 0
 * when it cannot be told (the reason given). */
static int lookAtDefault(const FlowSwitch *flow, int *shows) {
  ComObject enumerator = nullptr;
  uint16_t id[DEVICE_ID_SIZE];
  if (!comTook(createDeviceEnumerator(&enumerator), FAILED_CORE_AUDIO))
    return 0;
  int told = defaultId(enumerator, flow->flow, AUDIO_CONSOLE, id);
  platformComRelease(enumerator);
  *shows = told && sameId(id, flow->chosen->id);
  return told;
}

/* Waits for the chosen device to show as the console default, looking
 * every SHOW_LOOK_MILLISECONDS until SHOW_WAIT_MILLISECONDS after
 * writtenAt (a tick count), and once more at that time. */
static int defaultShows(const FlowSwitch *flow, uint32_t writtenAt) {
  for (;;) {
    int shows = 0;
    if (!lookAtDefault(flow, &shows))
      return 0;
    if (shows)
      return 1;
    uint32_t waited = platformTickCount() - writtenAt;
    if (waited >= SHOW_WAIT_MILLISECONDS)
      break;
    uint32_t left = SHOW_WAIT_MILLISECONDS - waited;
    platformSleep(left < SHOW_LOOK_MILLISECONDS
                      ? left
                      : (uint32_t)SHOW_LOOK_MILLISECONDS);
  }
  commandFails(FAILED_SWITCH_NOT_SHOWN, nullptr, 0);
  return 0;
}

/* One command's directions and what it asks of each. */
struct SwitchJob {
  const CommandRequest *request;
  CommandOutcome *outcome;
  FlowSwitch flows[2];
  uint32_t flowCount;
  /* By name: each direction's text of the settings file; null: next. */
  const char *texts[2];
  char pairOutput[SETTING_TEXT_SIZE]; /* a pair's playback text */
};

/* Looks at a direction's devices once and chooses one, by its text where
 * it has one; 0 when none is chosen. */
static int chooseDevice(ComObject enumerator, const SwitchJob *job,
                        FlowSwitch *flow, const char *text) {
  const Settings *settings = job->request->settings;
  int namedOnly = settingOn(settings, SETTING_NEXT_NAMED_ONLY);
  int withNames = text || job->request->describe || namedOnly;
  flow->text = text;
  flow->named = !text && namedOnly ? settings : nullptr;
  flow->texts =
      flow->flow == AUDIO_RENDER ? SETTING_TEXT_OUTPUT : SETTING_TEXT_INPUT;
  for (Candidates &kind : flow->kinds)
    kind.hasFirst = kind.hasAfter = kind.sawDefault = 0;
  if (!defaultId(enumerator, flow->flow, AUDIO_CONSOLE, flow->consoleId) ||
      !visitDevices(enumerator, flow->flow, withNames, visitCandidate, flow))
    return 0;
  flow->chosen = chosenDevice(flow);
  if (flow->chosen)
    return 1;
  commandFails(text ? forFlow(FAILED_NO_PLAYBACK_NAMED, flow->flow)
                    : forFlow(FAILED_NO_ACTIVE_PLAYBACK, flow->flow),
               text, 0);
  return 0;
}

static void describeSwitch(const FlowSwitch *flow, CommandOutcome *outcome) {
  nameOutcome(outcome, flow->chosen->name);
  outcome->showsLevel = 0;
}

/* Every direction is chosen before anything is written: a headset whose
 * microphone is not there changes nothing. */
static int switchWithEnumerator(ComObject enumerator, void *context) {
  SwitchJob *job = (SwitchJob *)context;
  RoleWrites writes[2];
  for (uint32_t f = 0; f < job->flowCount; f++)
    if (!chooseDevice(enumerator, job, &job->flows[f], job->texts[f]) ||
        !planRoles(enumerator, &job->flows[f], job->request->settings,
                   &writes[f]))
      return 0;
  PolicyHold hold = {nullptr, 0};
  int result = 1;
  for (uint32_t f = 0; result && f < job->flowCount; f++)
    result = writeRoles(&hold, &job->flows[f], &writes[f]);
  if (hold.policy)
    platformComRelease(hold.policy);
  /* A direction where nothing was written was looked at already; both
   * directions of a headset share the one wait. */
  uint32_t writtenAt = platformTickCount();
  for (uint32_t f = 0; result && f < job->flowCount; f++)
    result = writes[f].count == 0 || defaultShows(&job->flows[f], writtenAt);
  if (result)
    describeSwitch(&job->flows[0], job->outcome);
  return result;
}

/* A headset's text: "<playback>|<recording>" names the two apart (at
 * the first "|" that is no double-byte character's second byte), a text
 * without one names both. */
static void splitPair(SwitchJob *job, const char *text) {
  job->texts[0] = job->texts[1] = text;
  for (uint32_t i = 0; text[i] != '\0'; i++) {
    if (isCp932LeadByte((unsigned char)text[i]) && text[i + 1] != '\0') {
      i++;
      continue;
    }
    if (text[i] != '|')
      continue;
    for (uint32_t k = 0; k < i; k++)
      job->pairOutput[k] = text[k];
    job->pairOutput[i] = '\0';
    job->texts[0] = job->pairOutput;
    job->texts[1] = text + i + 1;
    return;
  }
}

/* The directions and the texts a request asks for; 0 for one no row
 * makes. */
static int prepareJob(SwitchJob *job) {
  const CommandRequest *request = job->request;
  uint32_t slot = request->slot;
  const Settings *settings = request->settings;
  const char *text = nullptr;
  job->flowCount = 1;
  switch ((DeviceSwitchAction)request->action) {
  case DEVICE_NEXT:
    job->flows[0].flow = (AudioFlow)request->argument;
    job->texts[0] = nullptr;
    return request->argument == AUDIO_RENDER ||
           request->argument == AUDIO_CAPTURE;
  case DEVICE_OUTPUT_BY_NAME:
    job->flows[0].flow = AUDIO_RENDER;
    text = job->texts[0] = settingText(settings, SETTING_TEXT_OUTPUT, slot);
    break;
  case DEVICE_INPUT_BY_NAME:
    job->flows[0].flow = AUDIO_CAPTURE;
    text = job->texts[0] = settingText(settings, SETTING_TEXT_INPUT, slot);
    break;
  case DEVICE_HEADSET_BY_NAME:
    job->flows[0].flow = AUDIO_RENDER;
    job->flows[1].flow = AUDIO_CAPTURE;
    job->flowCount = 2;
    text = settingText(settings, SETTING_TEXT_DEVICE, slot);
    splitPair(job, text);
    break;
  default:
    return 0;
  }
  if (text[0] != '\0')
    return 1;
  commandFails(FAILED_EMPTY_SLOT, nullptr, 0);
  return 0;
}

int runDeviceSwitch(const CommandRequest *request, CommandOutcome *outcome) {
  static SwitchJob job; /* 7 KB: kept off the host thread's stack */
  job.request = request;
  job.outcome = outcome;
  if (!prepareJob(&job))
    return 0;
  return withDeviceEnumerator(switchWithEnumerator, &job);
}
