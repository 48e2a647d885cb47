/*
 * Simulated Core Audio: the device enumerator, endpoints of either flow
 * with a master volume scalar and a mute, a default per flow and role
 * that tests switch, and the calling thread's COM apartment. It simulates
 * objects and results only: every interface handed out is an object with
 * a reference count, and any call can be made to fail with any HRESULT
 * or to succeed without handing back an interface. What those results
 * mean is for the plug-in to decide.
 */
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/standin/standin.h"

enum SimObjectKind {
  SIM_FREE,       /* never handed out */
  SIM_ENUMERATOR, /* IMMDeviceEnumerator */
  SIM_COLLECTION, /* IMMDeviceCollection of one flow's active endpoints */
  SIM_DEVICE,     /* IMMDevice */
  SIM_VOLUME      /* IAudioEndpointVolume */
};

struct SimObject {
  SimObjectKind kind;
  int endpoint;     /* SIM_DEVICE, SIM_VOLUME: which; SIM_COLLECTION: flow */
  long references;  /* 0: released, the pointer no longer works */
  int32_t stubMute; /* SIM_VOLUME with the mute stub: its own mute */
};

enum { SIM_MAX_OBJECTS = 256, SIM_ROLES = 3, SIM_FLOWS = 2 };

struct SimCoreAudio {
  SimEndpoint endpoints[SIM_MAX_ENDPOINTS];
  AudioFlow flows[SIM_MAX_ENDPOINTS];
  int active[SIM_MAX_ENDPOINTS];
  int defaults[SIM_FLOWS][SIM_ROLES];
  int present;  /* the enumerator's class is registered */
  int muteStub; /* SetMute is remembered by its own interface only */
  SimObject objects[SIM_MAX_OBJECTS];
  unsigned nextObject; /* where the search for a free slot starts */
  uint32_t faults[SIM_ENDPOINT_OPS];
  unsigned faultDelays[SIM_ENDPOINT_OPS]; /* calls that succeed first */
  int handsBackNothing[SIM_ENDPOINT_OPS];
  unsigned calls[SIM_ENDPOINT_OPS];
  unsigned misuses;
  SimApartment apartment;
  unsigned apartmentDepth;
  unsigned comEntered, comLeft;
  SimEndpointWrites lastWrites;
};

static SimCoreAudio sim;

void simEndpointReset(void) {
  memset(&sim, 0, sizeof sim);
  sim.active[0] = 1;
  sim.flows[SIM_RECORDING_ENDPOINT] = AUDIO_CAPTURE;
  sim.active[SIM_RECORDING_ENDPOINT] = 1;
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
  snprintf(names[index], sizeof names[index], "Simulated %s %d",
           sim.flows[index] == AUDIO_CAPTURE ? "microphone" : "speakers",
           index);
  return names[index];
}

void simEndpointSetKind(int index, AudioFlow flow, int active) {
  sim.flows[index] = flow;
  sim.active[index] = active;
}

void simEndpointSetPresent(int present) { sim.present = present; }
void simEndpointSetMuteStub(int stub) { sim.muteStub = stub; }
void simEndpointFail(SimEndpointOp op, uint32_t error) {
  simEndpointFailAfter(op, 0, error);
}
void simEndpointFailAfter(SimEndpointOp op, unsigned calls, uint32_t error) {
  sim.faults[op] = error;
  sim.faultDelays[op] = calls;
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
}
const SimEndpointWrites *simEndpointLastWrites(void) { return &sim.lastWrites; }
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
static ComResult enter(SimEndpointOp op) {
  sim.calls[op]++;
  if (sim.faultDelays[op] > 0) {
    sim.faultDelays[op]--;
    return 0;
  }
  return (ComResult)sim.faults[op];
}

/* ---- Objects ----------------------------------------------------------- */

/* A new object with one reference, handed back through *out, or nothing
 * at all where the test asks for a success without an interface. */
static ComResult handOut(SimEndpointOp op, SimObjectKind kind, int endpoint,
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

/* The live object of that kind behind a pointer, or null (a misuse). */
static SimObject *objectOf(ComObject pointer, SimObjectKind kind) {
  SimObject *object = (SimObject *)pointer;
  bool ours = object >= sim.objects && object < sim.objects + SIM_MAX_OBJECTS;
  if (ours && object->kind == kind && object->references > 0)
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

ComResult platformActivate(ComObject device, AudioInterface,
                           ComObject *object) {
  ComResult fault = enter(SIM_ENDPOINT_ACTIVATE);
  if (fault)
    return fault;
  SimObject *owner = objectOf(device, SIM_DEVICE);
  if (!owner)
    return (ComResult)SIM_E_FAIL;
  return handOut(SIM_ENDPOINT_ACTIVATE, SIM_VOLUME, owner->endpoint, object);
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

/* Loaded like a machine with one playback device and Core Audio. */
[[maybe_unused]] static const int shapedAtLoad = (simEndpointReset(), 1);
