/*
 * The sim's Core Audio: the device enumerator, endpoints of either flow
 * with a master volume scalar and a mute, a default per flow and role
 * that tests switch, the audio sessions on the endpoints, and the calling
 * thread's COM apartment. It gives
 * objects and results only: every interface handed out is an object with
 * a reference count, and any call can be made to fail with any HRESULT
 * or to succeed without handing back an interface. What those results
 * mean is for the plug-in to decide.
 */
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "sim/sim.h"

enum SimObjectKind {
  SIM_FREE,       /* never handed out */
  SIM_ENUMERATOR, /* IMMDeviceEnumerator */
  SIM_COLLECTION, /* IMMDeviceCollection of one flow's active endpoints */
  SIM_DEVICE,     /* IMMDevice */
  SIM_VOLUME,     /* IAudioEndpointVolume */
  SIM_MANAGER,    /* IAudioSessionManager2 */
  SIM_SESSIONS,   /* IAudioSessionEnumerator of one endpoint */
  SIM_CONTROL,    /* IAudioSessionControl */
  SIM_CONTROL2,   /* IAudioSessionControl2 */
  SIM_SIMPLE,     /* ISimpleAudioVolume */
  SIM_PROPERTIES, /* IPropertyStore of a device */
  SIM_POLICY      /* the policy-config interface */
};

struct SimObject {
  SimObjectKind kind;
  /* SIM_DEVICE, SIM_VOLUME, SIM_MANAGER, SIM_SESSIONS: which endpoint;
   * SIM_COLLECTION: the flow; the session objects: which session. */
  int endpoint;
  long references;  /* 0: released, the pointer no longer works */
  int32_t stubMute; /* SIM_VOLUME with the mute stub: its own mute */
};

enum { SIM_MAX_OBJECTS = 512, SIM_ROLES = 3, SIM_FLOWS = 2 };

/* Each step's fault, delay, empty hand-back and calls: the endpoint's
 * steps, then the sessions'. */
enum { SIM_STEPS = SIM_ENDPOINT_OPS + SIM_SESSION_OPS };

struct SimCoreAudio {
  SimEndpoint endpoints[SIM_MAX_ENDPOINTS];
  AudioFlow flows[SIM_MAX_ENDPOINTS];
  int active[SIM_MAX_ENDPOINTS];
  uint32_t states[SIM_MAX_ENDPOINTS]; /* DEVICE_STATE_*; active is 1 */
  char names[SIM_MAX_ENDPOINTS][SIM_NAME_SIZE]; /* "": the sim's own */
  int policyAbsent;       /* the policy-config class is not registered */
  uint32_t policyVariant; /* what its creation reports */
  unsigned policyWrites[SIM_ROLES];
  int defaults[SIM_FLOWS][SIM_ROLES];
  unsigned showAfter;                       /* looks a written default hides */
  int shownBefore[SIM_FLOWS][SIM_ROLES];    /* what a hidden one shows */
  unsigned hiddenFor[SIM_FLOWS][SIM_ROLES]; /* looks it hides for still */
  int present;  /* the enumerator's class is registered */
  int muteStub; /* SetMute is remembered by its own interface only */
  SimObject objects[SIM_MAX_OBJECTS];
  unsigned nextObject; /* where the search for a free slot starts */
  uint32_t faults[SIM_STEPS];
  unsigned faultDelays[SIM_STEPS]; /* calls that succeed first */
  int faultOnce[SIM_STEPS];        /* the fault goes once it was returned */
  int handsBackNothing[SIM_STEPS];
  unsigned calls[SIM_STEPS];
  unsigned misuses;
  SimApartment apartment;
  unsigned apartmentDepth;
  unsigned comEntered, comLeft;
  SimEndpointWrites lastWrites;
  SimEndpointWrites lastSessionWrites;
  SimSession sessions[SIM_MAX_SESSIONS];
  unsigned sessionCount;
  int noSessionManager; /* Activate refuses IAudioSessionManager2 */
  uint32_t listErrors[SIM_MAX_ENDPOINTS]; /* GetSessionEnumerator's, each */
};

static SimCoreAudio sim;

void simEndpointReset(void) {
  memset(&sim, 0, sizeof sim);
  for (int i = 0; i < SIM_MAX_ENDPOINTS; i++)
    sim.states[i] = SIM_DEVICE_NOT_PRESENT;
  simEndpointSetState(0, AUDIO_RENDER, SIM_DEVICE_ACTIVE);
  simEndpointSetState(SIM_RECORDING_ENDPOINT, AUDIO_CAPTURE, SIM_DEVICE_ACTIVE);
  for (int flow = 0; flow < SIM_FLOWS; flow++)
    for (int role = 0; role < SIM_ROLES; role++)
      sim.defaults[flow][role] =
          flow == AUDIO_RENDER ? 0 : SIM_RECORDING_ENDPOINT;
  sim.present = 1;
  sim.apartment = SIM_APARTMENT_NONE;
}

SimEndpoint *simEndpoint(int index) { return &sim.endpoints[index]; }

void simEndpointSetDefault(int index) {
  for (int role = 0; role < SIM_ROLES; role++)
    sim.defaults[AUDIO_RENDER][role] = index;
}

void simEndpointSetDefaultFor(AudioFlow flow, AudioRole role, int index) {
  sim.defaults[flow][role] = index;
}

int simEndpointDefaultOf(AudioFlow flow, AudioRole role) {
  return sim.defaults[flow][role];
}

const char *simEndpointName(int index) {
  static char names[SIM_MAX_ENDPOINTS][32];
  if (sim.names[index][0])
    return sim.names[index];
  snprintf(names[index], sizeof names[index], "Simulated %s %d",
           sim.flows[index] == AUDIO_CAPTURE ? "microphone" : "speakers",
           index);
  return names[index];
}

void simEndpointSetName(int index, const char *utf8) {
  snprintf(sim.names[index], sizeof sim.names[index], "%s", utf8 ? utf8 : "");
}

void simEndpointSetKind(int index, AudioFlow flow, int active) {
  simEndpointSetState(index, flow,
                      active ? SIM_DEVICE_ACTIVE : SIM_DEVICE_DISABLED);
}

void simEndpointSetState(int index, AudioFlow flow, uint32_t state) {
  sim.flows[index] = flow;
  sim.states[index] = state;
  sim.active[index] = state == SIM_DEVICE_ACTIVE;
}

uint32_t simEndpointState(int index) { return sim.states[index]; }
AudioFlow simEndpointFlow(int index) { return sim.flows[index]; }
void simPolicySetPresent(int present) { sim.policyAbsent = !present; }
void simPolicySetVariant(uint32_t variant) { sim.policyVariant = variant; }
unsigned simPolicyWrites(AudioRole role) { return sim.policyWrites[role]; }
void simPolicySetShowAfter(unsigned looks) { sim.showAfter = looks; }

void simEndpointSetPresent(int present) { sim.present = present; }
void simEndpointSetMuteStub(int stub) { sim.muteStub = stub; }
/* A step's fault: after `calls` that succeed, every call or only one. */
static void failStep(unsigned step, unsigned calls, uint32_t error, int once) {
  sim.faults[step] = error;
  sim.faultDelays[step] = calls;
  sim.faultOnce[step] = once;
}
void simEndpointFail(SimEndpointOp op, uint32_t error) {
  failStep(op, 0, error, 0);
}
void simEndpointFailAfter(SimEndpointOp op, unsigned calls, uint32_t error) {
  failStep(op, calls, error, 0);
}
void simEndpointFailOnce(SimEndpointOp op, unsigned calls, uint32_t error) {
  failStep(op, calls, error, 1);
}
void simEndpointHandBackNothing(SimEndpointOp op, int nothing) {
  sim.handsBackNothing[op] = nothing;
}
unsigned simEndpointCalls(SimEndpointOp op) { return sim.calls[op]; }
unsigned simEndpointAllCalls(void) {
  unsigned total = 0;
  for (unsigned calls : sim.calls)
    total += calls;
  return total;
}
void simEndpointClearCalls(void) {
  memset(sim.calls, 0, sizeof sim.calls);
  memset(&sim.lastWrites, 0, sizeof sim.lastWrites);
  memset(&sim.lastSessionWrites, 0, sizeof sim.lastSessionWrites);
}
const SimEndpointWrites *simEndpointLastWrites(void) { return &sim.lastWrites; }
const SimEndpointWrites *simSessionLastWrites(void) {
  return &sim.lastSessionWrites;
}

/* The session steps follow the endpoint's in the tables above. */
static unsigned sessionStep(SimSessionOp op) {
  return SIM_ENDPOINT_OPS + (unsigned)op;
}
void simSessionFail(SimSessionOp op, uint32_t error) {
  failStep(sessionStep(op), 0, error, 0);
}
void simSessionFailAfter(SimSessionOp op, unsigned calls, uint32_t error) {
  failStep(sessionStep(op), calls, error, 0);
}
void simSessionFailOnce(SimSessionOp op, unsigned calls, uint32_t error) {
  failStep(sessionStep(op), calls, error, 1);
}
void simSessionHandBackNothing(SimSessionOp op, int nothing) {
  sim.handsBackNothing[sessionStep(op)] = nothing;
}
unsigned simSessionCalls(SimSessionOp op) { return sim.calls[sessionStep(op)]; }
void simSessionSetManagerPresent(int present) {
  sim.noSessionManager = !present;
}
void simSessionListFail(int endpoint, uint32_t error) {
  sim.listErrors[endpoint] = error;
}
uint32_t simSessionListError(int endpoint) { return sim.listErrors[endpoint]; }

SimSession *simSessionAdd(int endpoint, uint32_t processId) {
  if (sim.sessionCount == SIM_MAX_SESSIONS)
    return nullptr;
  SimSession *session = &sim.sessions[sim.sessionCount++];
  *session = {endpoint, processId, 1, 0, 0, 1.0f, 0, "simulated session", 0};
  return session;
}

SimSession *simSessionAt(unsigned index) {
  return index < sim.sessionCount ? &sim.sessions[index] : nullptr;
}
unsigned simEndpointMisuses(void) { return sim.misuses; }

long simEndpointLiveReferences(void) {
  long live = 0;
  for (const SimObject &object : sim.objects)
    live += object.references;
  return live;
}

void simComSetApartment(SimApartment kind) {
  sim.apartment = kind;
  sim.apartmentDepth = kind == SIM_APARTMENT_NONE ? 0 : 1;
}

SimApartment simComApartment(void) { return sim.apartment; }
unsigned simComDepth(void) { return sim.apartmentDepth; }
unsigned simComEntered(void) { return sim.comEntered; }
unsigned simComLeft(void) { return sim.comLeft; }

/* Counts the call and returns the injected fault, if any. */
static ComResult enter(unsigned op) {
  sim.calls[op]++;
  if (sim.faultDelays[op] > 0) {
    sim.faultDelays[op]--;
    return 0;
  }
  ComResult fault = (ComResult)sim.faults[op];
  if (sim.faultOnce[op])
    sim.faults[op] = 0;
  return fault;
}

/* ---- Objects ----------------------------------------------------------- */

/* A new object with one reference, handed back through *out, or nothing
 * at all where the test asks for a success without an interface. */
static ComResult handOut(unsigned op, SimObjectKind kind, int endpoint,
                         ComObject *out) {
  if (sim.handsBackNothing[op]) {
    *out = nullptr;
    return 0;
  }
  /* Round the pool, so that a slot just released is not handed out again
   * at once and a call through a stale pointer is seen as a misuse. */
  for (unsigned tried = 0; tried < SIM_MAX_OBJECTS; tried++) {
    SimObject &object = sim.objects[sim.nextObject];
    sim.nextObject = (sim.nextObject + 1) % SIM_MAX_OBJECTS;
    if (object.references > 0)
      continue;
    object = {kind, endpoint, 1, 0};
    *out = &object;
    return 0;
  }
  return (ComResult)SIM_E_OUTOFMEMORY;
}

/* The live object of that kind behind a pointer, or null (a misuse). An
 * IAudioSessionControl2 serves where an IAudioSessionControl is asked
 * for: it is one. */
static SimObject *objectOf(ComObject pointer, SimObjectKind kind) {
  SimObject *object = (SimObject *)pointer;
  bool ours = object >= sim.objects && object < sim.objects + SIM_MAX_OBJECTS;
  bool fits = ours && (object->kind == kind ||
                       (kind == SIM_CONTROL && object->kind == SIM_CONTROL2));
  if (fits && object->references > 0)
    return object;
  sim.misuses++;
  return nullptr;
}

void platformComRelease(ComObject pointer) {
  enter(SIM_ENDPOINT_RELEASE);
  SimObject *object = (SimObject *)pointer;
  bool ours = object >= sim.objects && object < sim.objects + SIM_MAX_OBJECTS;
  if (!ours || object->references <= 0) {
    sim.misuses++;
    return;
  }
  object->references--;
}

/* ---- COM on the calling thread ----------------------------------------- */

ComResult platformComEnter(void) {
  ComResult fault = enter(SIM_COM_ENTER);
  if (fault)
    return fault;
  if (sim.apartment == SIM_APARTMENT_MTA)
    return (ComResult)SIM_RPC_E_CHANGED_MODE;
  ComResult result =
      sim.apartment == SIM_APARTMENT_NONE ? 0 : (ComResult)SIM_S_FALSE;
  sim.apartment = SIM_APARTMENT_STA;
  sim.apartmentDepth++;
  sim.comEntered++;
  return result;
}

/* The last CoUninitialize leaves the apartment. */
void platformComLeave(void) {
  enter(SIM_COM_LEAVE);
  sim.comLeft++;
  if (sim.apartmentDepth > 0 && --sim.apartmentDepth == 0)
    sim.apartment = SIM_APARTMENT_NONE;
}

/* ---- The enumerator and its devices ------------------------------------- */

ComResult platformCreateDeviceEnumerator(ComObject *enumerator) {
  ComResult fault = enter(SIM_ENDPOINT_CREATE);
  if (fault)
    return fault;
  if (sim.apartment == SIM_APARTMENT_NONE)
    return (ComResult)SIM_CO_E_NOTINITIALIZED;
  if (!sim.present)
    return (ComResult)SIM_REGDB_E_CLASSNOTREG;
  return handOut(SIM_ENDPOINT_CREATE, SIM_ENUMERATOR, 0, enumerator);
}

ComResult platformDefaultEndpoint(ComObject enumerator, AudioFlow flow,
                                  AudioRole role, ComObject *device) {
  ComResult fault = enter(SIM_ENDPOINT_DEFAULT);
  if (fault)
    return fault;
  if (!objectOf(enumerator, SIM_ENUMERATOR))
    return (ComResult)SIM_E_FAIL;
  int index = sim.defaults[flow][role];
  if (sim.hiddenFor[flow][role] > 0) {
    sim.hiddenFor[flow][role]--;
    index = sim.shownBefore[flow][role];
  }
  if (index == SIM_NO_DEFAULT)
    return (ComResult)SIM_E_NOTFOUND;
  return handOut(SIM_ENDPOINT_DEFAULT, SIM_DEVICE, index, device);
}

ComResult platformEnumerateEndpoints(ComObject enumerator, AudioFlow flow,
                                     ComObject *collection) {
  ComResult fault = enter(SIM_ENDPOINT_ENUMERATE);
  if (fault)
    return fault;
  if (!objectOf(enumerator, SIM_ENUMERATOR))
    return (ComResult)SIM_E_FAIL;
  return handOut(SIM_ENDPOINT_ENUMERATE, SIM_COLLECTION, flow, collection);
}

/* The index-th active endpoint of a flow, or -1. */
static int activeEndpoint(int flow, uint32_t index) {
  for (int i = 0; i < SIM_MAX_ENDPOINTS; i++)
    if (sim.active[i] && sim.flows[i] == flow && index-- == 0)
      return i;
  return -1;
}

ComResult platformEndpointCount(ComObject collection, uint32_t *count) {
  ComResult fault = enter(SIM_ENDPOINT_COUNT);
  if (fault)
    return fault;
  SimObject *object = objectOf(collection, SIM_COLLECTION);
  if (!object)
    return (ComResult)SIM_E_FAIL;
  *count = 0;
  while (activeEndpoint(object->endpoint, *count) >= 0)
    ++*count;
  return 0;
}

ComResult platformEndpointItem(ComObject collection, uint32_t index,
                               ComObject *device) {
  ComResult fault = enter(SIM_ENDPOINT_ITEM);
  if (fault)
    return fault;
  SimObject *object = objectOf(collection, SIM_COLLECTION);
  if (!object)
    return (ComResult)SIM_E_FAIL;
  int endpoint = activeEndpoint(object->endpoint, index);
  if (endpoint < 0)
    return (ComResult)SIM_E_INVALIDARG;
  return handOut(SIM_ENDPOINT_ITEM, SIM_DEVICE, endpoint, device);
}

/* "{0.0.<flow>.00000000}.{sim-<index>}", the shape of Windows' ids. */
ComResult platformEndpointId(ComObject device, uint16_t *id, uint32_t size) {
  ComResult fault = enter(SIM_ENDPOINT_ID);
  if (fault)
    return fault;
  SimObject *object = objectOf(device, SIM_DEVICE);
  if (!object)
    return (ComResult)SIM_E_FAIL;
  char text[40];
  int length = snprintf(text, sizeof text, "{0.0.%d.00000000}.{sim-%d}",
                        (int)sim.flows[object->endpoint], object->endpoint);
  if ((uint32_t)length >= size)
    return (ComResult)COM_E_NOT_SUFFICIENT_BUFFER;
  for (int i = 0; i <= length; i++)
    id[i] = (uint8_t)text[i];
  return 0;
}

ComResult platformActivate(ComObject device, AudioInterface which,
                           ComObject *object) {
  ComResult fault = enter(SIM_ENDPOINT_ACTIVATE);
  if (fault)
    return fault;
  SimObject *owner = objectOf(device, SIM_DEVICE);
  if (!owner)
    return (ComResult)SIM_E_FAIL;
  if (which == AUDIO_SESSION_MANAGER && sim.noSessionManager)
    return (ComResult)SIM_E_NOINTERFACE;
  return handOut(SIM_ENDPOINT_ACTIVATE,
                 which == AUDIO_SESSION_MANAGER ? SIM_MANAGER : SIM_VOLUME,
                 owner->endpoint, object);
}

/* ---- An endpoint's volume ------------------------------------------------ */

/* Counts a volume call; an interface that is not a live one fails it. */
static SimObject *enterVolume(SimEndpointOp op, ComObject volume,
                              ComResult *error) {
  *error = enter(op);
  if (*error)
    return nullptr;
  SimObject *object = objectOf(volume, SIM_VOLUME);
  if (!object)
    *error = (ComResult)SIM_E_FAIL;
  return object;
}

ComResult platformGetVolumeScalar(ComObject volume, float *scalar) {
  ComResult error;
  SimObject *object = enterVolume(SIM_ENDPOINT_GET_SCALAR, volume, &error);
  if (object)
    *scalar = sim.endpoints[object->endpoint].scalar;
  return error;
}

ComResult platformSetVolumeScalar(ComObject volume, float scalar) {
  ComResult error;
  SimObject *object = enterVolume(SIM_ENDPOINT_SET_SCALAR, volume, &error);
  if (!object)
    return error;
  sim.lastWrites.scalarWritten = 1;
  sim.lastWrites.scalar = scalar;
  if (scalar < 0.0f || scalar > 1.0f)
    return (ComResult)SIM_E_INVALIDARG;
  sim.endpoints[object->endpoint].scalar = scalar;
  return 0;
}

ComResult platformGetVolumeMute(ComObject volume, int32_t *muted) {
  ComResult error;
  SimObject *object = enterVolume(SIM_ENDPOINT_GET_MUTE, volume, &error);
  if (object)
    *muted =
        sim.muteStub ? object->stubMute : sim.endpoints[object->endpoint].muted;
  return error;
}

ComResult platformSetVolumeMute(ComObject volume, int32_t muted) {
  ComResult error;
  SimObject *object = enterVolume(SIM_ENDPOINT_SET_MUTE, volume, &error);
  if (!object)
    return error;
  sim.lastWrites.muteWritten = 1;
  sim.lastWrites.muted = muted;
  (sim.muteStub ? object->stubMute : sim.endpoints[object->endpoint].muted) =
      muted;
  return 0;
}

/* ---- Audio sessions ------------------------------------------------------ */

ComResult platformSessionEnumerator(ComObject manager, ComObject *sessions) {
  ComResult fault = enter(sessionStep(SIM_SESSION_LIST));
  if (fault)
    return fault;
  SimObject *owner = objectOf(manager, SIM_MANAGER);
  if (!owner)
    return (ComResult)SIM_E_FAIL;
  if (sim.listErrors[owner->endpoint])
    return (ComResult)sim.listErrors[owner->endpoint];
  return handOut(sessionStep(SIM_SESSION_LIST), SIM_SESSIONS, owner->endpoint,
                 sessions);
}

/* The index-th session on an endpoint, or -1. */
static int sessionOn(int endpoint, int32_t index) {
  for (unsigned i = 0; i < sim.sessionCount; i++)
    if (sim.sessions[i].endpoint == endpoint && index-- == 0)
      return (int)i;
  return -1;
}

ComResult platformSessionCount(ComObject sessions, int32_t *count) {
  ComResult fault = enter(sessionStep(SIM_SESSION_COUNT));
  if (fault)
    return fault;
  SimObject *list = objectOf(sessions, SIM_SESSIONS);
  if (!list)
    return (ComResult)SIM_E_FAIL;
  *count = 0;
  while (sessionOn(list->endpoint, *count) >= 0)
    ++*count;
  return 0;
}

ComResult platformSessionItem(ComObject sessions, int32_t index,
                              ComObject *control) {
  ComResult fault = enter(sessionStep(SIM_SESSION_ITEM));
  if (fault)
    return fault;
  SimObject *list = objectOf(sessions, SIM_SESSIONS);
  if (!list)
    return (ComResult)SIM_E_FAIL;
  int session = sessionOn(list->endpoint, index);
  if (session < 0)
    return (ComResult)SIM_E_INVALIDARG;
  return handOut(sessionStep(SIM_SESSION_ITEM), SIM_CONTROL, session, control);
}

ComResult platformSessionQuery(ComObject control, SessionInterface which,
                               ComObject *object) {
  ComResult fault = enter(sessionStep(SIM_SESSION_QUERY));
  if (fault)
    return fault;
  SimObject *owner = objectOf(control, SIM_CONTROL);
  if (!owner)
    return (ComResult)SIM_E_FAIL;
  return handOut(sessionStep(SIM_SESSION_QUERY),
                 which == SESSION_CONTROL2 ? SIM_CONTROL2 : SIM_SIMPLE,
                 owner->endpoint, object);
}

/* Counts a call on a session object; one that is not live fails it. */
static SimSession *enterSession(SimSessionOp op, ComObject pointer,
                                SimObjectKind kind, ComResult *error) {
  *error = enter(sessionStep(op));
  if (*error)
    return nullptr;
  SimObject *object = objectOf(pointer, kind);
  if (!object)
    *error = (ComResult)SIM_E_FAIL;
  return object ? &sim.sessions[object->endpoint] : nullptr;
}

ComResult platformSessionState(ComObject control, int32_t *state) {
  ComResult error;
  SimSession *session =
      enterSession(SIM_SESSION_STATE, control, SIM_CONTROL, &error);
  if (session)
    *state = session->state;
  return error;
}

ComResult platformSessionProcessId(ComObject control2, uint32_t *processId) {
  ComResult error;
  SimSession *session =
      enterSession(SIM_SESSION_PROCESS, control2, SIM_CONTROL2, &error);
  if (!session)
    return error;
  if (session->processError)
    return (ComResult)session->processError;
  *processId = session->processId;
  return session->severalProcesses ? (ComResult)SIM_AUDCLNT_S_NO_SINGLE_PROCESS
                                   : 0;
}

ComResult platformSessionIsSystemSounds(ComObject control2) {
  ComResult error;
  SimSession *session =
      enterSession(SIM_SESSION_SYSTEM, control2, SIM_CONTROL2, &error);
  if (!session)
    return error;
  return session->systemSounds ? 0 : (ComResult)SIM_S_FALSE;
}

ComResult platformSessionGetVolume(ComObject volume, float *scalar) {
  ComResult error;
  SimSession *session =
      enterSession(SIM_SESSION_GET_VOLUME, volume, SIM_SIMPLE, &error);
  if (session)
    *scalar = session->scalar;
  return error;
}

ComResult platformSessionSetVolume(ComObject volume, float scalar) {
  ComResult error;
  SimSession *session =
      enterSession(SIM_SESSION_SET_VOLUME, volume, SIM_SIMPLE, &error);
  if (!session)
    return error;
  sim.lastSessionWrites.scalarWritten = 1;
  sim.lastSessionWrites.scalar = scalar;
  if (scalar < 0.0f || scalar > 1.0f)
    return (ComResult)SIM_E_INVALIDARG;
  session->scalar = scalar;
  return 0;
}

ComResult platformSessionGetMute(ComObject volume, int32_t *muted) {
  ComResult error;
  SimSession *session =
      enterSession(SIM_SESSION_GET_MUTE, volume, SIM_SIMPLE, &error);
  if (session)
    *muted = session->muted;
  return error;
}

ComResult platformSessionSetMute(ComObject volume, int32_t muted) {
  ComResult error;
  SimSession *session =
      enterSession(SIM_SESSION_SET_MUTE, volume, SIM_SIMPLE, &error);
  if (!session)
    return error;
  sim.lastSessionWrites.muteWritten = 1;
  sim.lastSessionWrites.muted = muted;
  session->muted = muted;
  return 0;
}

/* Loaded like a machine with one playback device and Core Audio. */
[[maybe_unused]] static const int shapedAtLoad = (simEndpointReset(), 1);

/* ---- Names and the default device -----------------------------------------
 */

ComResult platformOpenProperties(ComObject device, ComObject *properties) {
  ComResult fault = enter(SIM_ENDPOINT_PROPERTIES);
  if (fault)
    return fault;
  SimObject *owner = objectOf(device, SIM_DEVICE);
  if (!owner)
    return (ComResult)SIM_E_FAIL;
  return handOut(SIM_ENDPOINT_PROPERTIES, SIM_PROPERTIES, owner->endpoint,
                 properties);
}

/* One UTF-8 sequence as a code point; a broken one is U+FFFD. */
static uint32_t nextCodePoint(const unsigned char **at) {
  const unsigned char *p = *at;
  uint32_t lead = *p++;
  int more = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
  uint32_t code = more == 0 ? lead : lead & (0x3F >> more);
  for (int i = 0; i < more; i++, p++) {
    if ((*p & 0xC0) != 0x80) {
      *at = p;
      return 0xFFFD;
    }
    code = code << 6 | (*p & 0x3F);
  }
  *at = p;
  return code;
}

/* UTF-8 as UTF-16, cut to size units without splitting a pair. */
static void utf16From(const char *utf8, uint16_t *text, uint32_t size) {
  const unsigned char *at = (const unsigned char *)utf8;
  uint32_t length = 0;
  while (*at) {
    uint32_t code = nextCodePoint(&at);
    uint32_t units = code >= 0x10000 ? 2 : 1;
    if (length + units >= size)
      break;
    if (units == 2) {
      text[length++] = (uint16_t)(0xD800 + ((code - 0x10000) >> 10));
      text[length++] = (uint16_t)(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      text[length++] = (uint16_t)code;
    }
  }
  text[length] = 0;
}

ComResult platformFriendlyName(ComObject properties, uint16_t *name,
                               uint32_t size) {
  ComResult fault = enter(SIM_ENDPOINT_NAME);
  if (size > 0)
    name[0] = 0;
  if (fault)
    return fault;
  SimObject *store = objectOf(properties, SIM_PROPERTIES);
  if (!store || size == 0)
    return (ComResult)SIM_E_FAIL;
  utf16From(simEndpointName(store->endpoint), name, size);
  return 0;
}

ComResult platformCreatePolicyConfig(ComObject *policy, uint32_t *variant) {
  ComResult fault = enter(SIM_POLICY_CREATE);
  if (fault)
    return fault;
  if (sim.apartment == SIM_APARTMENT_NONE)
    return (ComResult)SIM_CO_E_NOTINITIALIZED;
  if (sim.policyAbsent)
    return (ComResult)SIM_REGDB_E_CLASSNOTREG;
  *variant = sim.policyVariant;
  return handOut(SIM_POLICY_CREATE, SIM_POLICY, 0, policy);
}

/* The endpoint whose id is that, or -1. */
static int endpointOfId(const uint16_t *id) {
  for (int i = 0; i < SIM_MAX_ENDPOINTS; i++) {
    char text[40];
    snprintf(text, sizeof text, "{0.0.%d.00000000}.{sim-%d}", (int)sim.flows[i],
             i);
    int k = 0;
    while (text[k] != 0 && id[k] == (uint8_t)text[k])
      k++;
    if (text[k] == 0 && id[k] == 0)
      return i;
  }
  return -1;
}

/* Windows refuses a device that is not active. */
ComResult platformSetDefaultEndpoint(ComObject policy, uint32_t,
                                     const uint16_t *deviceId, AudioRole role) {
  ComResult fault = enter(SIM_POLICY_SET);
  if (fault)
    return fault;
  if (!objectOf(policy, SIM_POLICY))
    return (ComResult)SIM_E_FAIL;
  int index = endpointOfId(deviceId);
  if (index < 0 || !sim.active[index])
    return (ComResult)SIM_E_INVALIDARG;
  AudioFlow flow = sim.flows[index];
  if (sim.hiddenFor[flow][role] == 0)
    sim.shownBefore[flow][role] = sim.defaults[flow][role];
  sim.hiddenFor[flow][role] = sim.showAfter;
  sim.defaults[flow][role] = index;
  sim.policyWrites[role]++;
  return 0;
}
