/*
 * Simulated Core Audio: the device enumerator, playback endpoints with a
 * master volume scalar and a mute, a default that tests switch, and the
 * calling thread's COM apartment. Every interface handed out is counted
 * until released; a session whose volume was released no longer works,
 * as a real released interface would not.
 */
#include <cstring>

#include "platform/platform.h"
#include "platform/standin/standin.h"

static SimEndpoint endpoints[SIM_MAX_ENDPOINTS];
static int defaultEndpoint;
static int coreAudioPresent;
static int muteStub;
/* With the stub: the mute of the interface activated last. */
static int32_t stubMute;
static uint32_t faults[SIM_ENDPOINT_OPS];
static unsigned calls[SIM_ENDPOINT_OPS];
static long enumeratorReferences;
static long deviceReferences[SIM_MAX_ENDPOINTS];
static long volumeReferences[SIM_MAX_ENDPOINTS];
static SimApartment apartment;
static unsigned apartmentDepth;
static unsigned comEntered, comLeft;
static SimEndpointWrites lastWrites;

void simEndpointReset(void) {
  memset(endpoints, 0, sizeof endpoints);
  defaultEndpoint = 0;
  coreAudioPresent = 1;
  muteStub = 0;
  memset(faults, 0, sizeof faults);
  simEndpointClearCalls();
  enumeratorReferences = 0;
  memset(deviceReferences, 0, sizeof deviceReferences);
  memset(volumeReferences, 0, sizeof volumeReferences);
  apartment = SIM_APARTMENT_NONE;
  apartmentDepth = 0;
  comEntered = comLeft = 0;
}

SimEndpoint *simEndpoint(int index) { return &endpoints[index]; }
void simEndpointSetDefault(int index) { defaultEndpoint = index; }
void simEndpointSetPresent(int present) { coreAudioPresent = present; }
void simEndpointSetMuteStub(int stub) { muteStub = stub; }
void simEndpointFail(SimEndpointOp op, uint32_t error) { faults[op] = error; }
unsigned simEndpointCalls(SimEndpointOp op) { return calls[op]; }
void simEndpointClearCalls(void) {
  memset(calls, 0, sizeof calls);
  memset(&lastWrites, 0, sizeof lastWrites);
}
const SimEndpointWrites *simEndpointLastWrites(void) { return &lastWrites; }

long simEndpointLiveReferences(void) {
  long live = enumeratorReferences;
  for (int i = 0; i < SIM_MAX_ENDPOINTS; i++)
    live += deviceReferences[i] + volumeReferences[i];
  return live;
}

void simComSetApartment(SimApartment kind) {
  apartment = kind;
  apartmentDepth = kind == SIM_APARTMENT_NONE ? 0 : 1;
}

SimApartment simComApartment(void) { return apartment; }
unsigned simComDepth(void) { return apartmentDepth; }
unsigned simComEntered(void) { return comEntered; }
unsigned simComLeft(void) { return comLeft; }

/* Counts the call and returns the injected fault, if any. */
static EndpointResult enter(SimEndpointOp op) {
  calls[op]++;
  return (EndpointResult)faults[op];
}

/* ---- COM on the calling thread ---------------------------------------- */

/* CoInitializeEx(COINIT_APARTMENTTHREADED). */
static EndpointResult enterSingleThreadedApartment(void) {
  EndpointResult fault = enter(SIM_COM_ENTER);
  if (fault)
    return fault;
  if (apartment == SIM_APARTMENT_MTA)
    return (EndpointResult)SIM_RPC_E_CHANGED_MODE;
  EndpointResult result =
      apartment == SIM_APARTMENT_NONE ? 0 : (EndpointResult)SIM_S_FALSE;
  apartment = SIM_APARTMENT_STA;
  apartmentDepth++;
  comEntered++;
  return result;
}

/* CoUninitialize: the last one leaves the apartment. */
static void leaveApartment(void) {
  enter(SIM_COM_LEAVE);
  comLeft++;
  if (apartmentDepth > 0 && --apartmentDepth == 0)
    apartment = SIM_APARTMENT_NONE;
}

/* ---- The enumerator, the device and its volume ------------------------ */

static void release(long *references) {
  enter(SIM_ENDPOINT_RELEASE);
  (*references)--;
}

static EndpointResult createEnumerator(void) {
  EndpointResult fault = enter(SIM_ENDPOINT_CREATE);
  if (fault)
    return fault;
  if (apartment == SIM_APARTMENT_NONE)
    return (EndpointResult)SIM_CO_E_NOTINITIALIZED;
  if (!coreAudioPresent)
    return (EndpointResult)SIM_REGDB_E_CLASSNOTREG;
  enumeratorReferences++;
  return 0;
}

static EndpointResult defaultDevice(int *device) {
  EndpointResult fault = enter(SIM_ENDPOINT_DEFAULT);
  if (fault)
    return fault;
  if (defaultEndpoint == SIM_NO_DEFAULT)
    return (EndpointResult)SIM_E_NOTFOUND;
  *device = defaultEndpoint;
  deviceReferences[*device]++;
  return 0;
}

static EndpointResult activateVolume(int device, void **volume) {
  EndpointResult fault = enter(SIM_ENDPOINT_ACTIVATE);
  if (fault)
    return fault;
  volumeReferences[device]++;
  *volume = &endpoints[device];
  stubMute = 0;
  return 0;
}

/* Creation's "class not registered" means Core Audio is absent; the same
 * code from a later step means something else went wrong. */
static EndpointResult laterStep(EndpointResult result) {
  return (uint32_t)result == ENDPOINT_ABSENT ? (EndpointResult)ENDPOINT_FAILED
                                             : result;
}

static EndpointResult openVolume(EndpointSession *session) {
  EndpointResult result = createEnumerator();
  if (result < 0)
    return result;
  int device = 0;
  result = laterStep(defaultDevice(&device));
  release(&enumeratorReferences);
  if (result < 0)
    return result;
  result = laterStep(activateVolume(device, &session->volume));
  release(&deviceReferences[device]);
  return result;
}

EndpointResult platformEndpointBegin(EndpointSession *session) {
  session->volume = nullptr;
  session->leaveCom = 0;
  EndpointResult entered = enterSingleThreadedApartment();
  if (entered < 0 && (uint32_t)entered != ENDPOINT_OTHER_APARTMENT)
    return entered;
  session->leaveCom = entered >= 0;
  EndpointResult result = openVolume(session);
  if (result < 0)
    platformEndpointEnd(session);
  return result;
}

static int indexOf(const EndpointSession *session) {
  return (int)((SimEndpoint *)session->volume - endpoints);
}

void platformEndpointEnd(EndpointSession *session) {
  if (session->volume)
    release(&volumeReferences[indexOf(session)]);
  if (session->leaveCom)
    leaveApartment();
  session->volume = nullptr;
  session->leaveCom = 0;
}

/* Counts a volume call; a session without a live volume fails it. */
static SimEndpoint *enterVolume(SimEndpointOp op,
                                const EndpointSession *session,
                                EndpointResult *error) {
  *error = enter(op);
  if (*error)
    return nullptr;
  if (!session->volume || volumeReferences[indexOf(session)] <= 0) {
    *error = (EndpointResult)SIM_E_FAIL;
    return nullptr;
  }
  return (SimEndpoint *)session->volume;
}

EndpointResult platformEndpointGetScalar(const EndpointSession *session,
                                         float *scalar) {
  EndpointResult error;
  SimEndpoint *endpoint = enterVolume(SIM_ENDPOINT_GET_SCALAR, session, &error);
  if (endpoint)
    *scalar = endpoint->scalar;
  return error;
}

EndpointResult platformEndpointSetScalar(const EndpointSession *session,
                                         float scalar) {
  EndpointResult error;
  SimEndpoint *endpoint = enterVolume(SIM_ENDPOINT_SET_SCALAR, session, &error);
  if (!endpoint)
    return error;
  lastWrites.scalarWritten = 1;
  lastWrites.scalar = scalar;
  if (scalar < 0.0f || scalar > 1.0f)
    return (EndpointResult)SIM_E_INVALIDARG;
  endpoint->scalar = scalar;
  return 0;
}

EndpointResult platformEndpointGetMute(const EndpointSession *session,
                                       int32_t *muted) {
  EndpointResult error;
  SimEndpoint *endpoint = enterVolume(SIM_ENDPOINT_GET_MUTE, session, &error);
  if (endpoint)
    *muted = muteStub ? stubMute : endpoint->muted;
  return error;
}

EndpointResult platformEndpointSetMute(const EndpointSession *session,
                                       int32_t muted) {
  EndpointResult error;
  SimEndpoint *endpoint = enterVolume(SIM_ENDPOINT_SET_MUTE, session, &error);
  if (!endpoint)
    return error;
  lastWrites.muteWritten = 1;
  lastWrites.muted = muted;
  (muteStub ? stubMute : endpoint->muted) = muted;
  return error;
}

/* Loaded like a machine with one playback device and Core Audio. */
[[maybe_unused]] static const int shapedAtLoad = (simEndpointReset(), 1);
