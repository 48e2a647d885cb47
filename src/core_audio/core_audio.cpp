/*
 * The Core Audio rules, once: entering and leaving COM, creating the
 * enumerator, reaching a default endpoint, and the steps that hand back
 * an interface.
 */
#include "core_audio/core_audio.h"

ComResult enterCom(ComApartment *apartment) {
  /* The host's thread may have COM already, of either kind, or none. A
   * thread in a multithreaded apartment refuses a single-threaded one
   * (RPC_E_CHANGED_MODE) and can use COM as it is; that apartment is not
   * ours to leave. Every success, S_FALSE included, is one to undo. */
  ComResult entered = platformComEnter();
  apartment->entered = comSucceeded(entered);
  if ((uint32_t)entered == COM_CHANGED_MODE)
    return 0;
  return entered;
}

void leaveCom(ComApartment *apartment) {
  if (apartment->entered)
    platformComLeave();
  apartment->entered = 0;
}

ComResult receivedObject(ComResult result, ComObject object) {
  return comSucceeded(result) && !object ? (ComResult)COM_E_POINTER : result;
}

/* Creation's "class not registered" means Core Audio is absent; the same
 * code from a later step means something else went wrong. */
static ComResult afterCreation(ComResult result) {
  return (uint32_t)result == COM_CLASS_NOT_REGISTERED ? (ComResult)COM_E_FAIL
                                                      : result;
}

/* Each pointer is checked after the call that fills it, never in the same
 * expression: the order in which arguments are evaluated is not fixed. A
 * failed call's pointer is not ours, whatever it holds: *object is set
 * only on success. */
ComResult createDeviceEnumerator(ComObject *enumerator) {
  ComObject created = nullptr;
  ComResult result = platformCreateDeviceEnumerator(&created);
  result = receivedObject(result, created);
  *enumerator = comSucceeded(result) ? created : nullptr;
  return result;
}

ComResult findDefaultEndpoint(ComObject enumerator, AudioFlow flow,
                              AudioRole role, ComObject *device) {
  ComObject found = nullptr;
  ComResult result = platformDefaultEndpoint(enumerator, flow, role, &found);
  result = afterCreation(receivedObject(result, found));
  *device = comSucceeded(result) ? found : nullptr;
  return result;
}

ComResult activateInterface(ComObject device, AudioInterface which,
                            ComObject *object) {
  ComObject activated = nullptr;
  ComResult result = platformActivate(device, which, &activated);
  result = afterCreation(receivedObject(result, activated));
  *object = comSucceeded(result) ? activated : nullptr;
  return result;
}

/* A step after creation that hands back an interface: *object is set
 * only on success. */
static ComResult handedBack(ComResult result, ComObject received,
                            ComObject *object) {
  result = afterCreation(receivedObject(result, received));
  *object = comSucceeded(result) ? received : nullptr;
  return result;
}

ComResult enumerateEndpoints(ComObject enumerator, AudioFlow flow,
                             ComObject *collection) {
  ComObject listed = nullptr;
  ComResult result = platformEnumerateEndpoints(enumerator, flow, &listed);
  return handedBack(result, listed, collection);
}

ComResult endpointItem(ComObject collection, uint32_t index,
                       ComObject *device) {
  ComObject item = nullptr;
  ComResult result = platformEndpointItem(collection, index, &item);
  return handedBack(result, item, device);
}

ComResult listSessionsOf(ComObject manager, ComObject *sessions) {
  ComObject listed = nullptr;
  ComResult result = platformSessionEnumerator(manager, &listed);
  return handedBack(result, listed, sessions);
}

ComResult sessionItem(ComObject sessions, int32_t index, ComObject *control) {
  ComObject item = nullptr;
  ComResult result = platformSessionItem(sessions, index, &item);
  return handedBack(result, item, control);
}

ComResult querySession(ComObject control, SessionInterface which,
                       ComObject *object) {
  ComObject queried = nullptr;
  ComResult result = platformSessionQuery(control, which, &queried);
  return handedBack(result, queried, object);
}

ComResult activateDefaultEndpoint(AudioFlow flow, AudioRole role,
                                  AudioInterface which, ComObject *object) {
  *object = nullptr;
  ComObject enumerator = nullptr;
  ComResult result = createDeviceEnumerator(&enumerator);
  if (!comSucceeded(result))
    return result;
  ComObject device = nullptr;
  result = findDefaultEndpoint(enumerator, flow, role, &device);
  if (comSucceeded(result)) {
    result = activateInterface(device, which, object);
    platformComRelease(device);
  }
  platformComRelease(enumerator);
  return result;
}

ComResult holdDefaultVolume(EndpointHold *hold, AudioFlow flow,
                            AudioRole role) {
  hold->volume = nullptr;
  ComResult result = enterCom(&hold->apartment);
  if (!comSucceeded(result))
    return result;
  result =
      activateDefaultEndpoint(flow, role, AUDIO_ENDPOINT_VOLUME, &hold->volume);
  if (!comSucceeded(result))
    leaveCom(&hold->apartment);
  return result;
}

void releaseHold(EndpointHold *hold) {
  if (hold->volume)
    platformComRelease(hold->volume);
  hold->volume = nullptr;
  leaveCom(&hold->apartment);
}

int withDeviceEnumerator(EnumeratorWork work, void *context) {
  ComApartment apartment;
  if (!comTook(enterCom(&apartment), FAILED_CORE_AUDIO))
    return 0;
  int result = 0;
  ComObject enumerator = nullptr;
  ComResult created = createDeviceEnumerator(&enumerator);
  if (comSucceeded(created)) {
    result = work(enumerator, context);
    platformComRelease(enumerator);
  } else {
    comTook(created, (uint32_t)created == COM_CLASS_NOT_REGISTERED
                         ? FAILED_NO_CORE_AUDIO
                         : FAILED_CORE_AUDIO);
  }
  leaveCom(&apartment);
  return result;
}

int percentFromScalar(float scalar, uint32_t *percent) {
  if (!(scalar == scalar)) {
    commandFails(FAILED_NOT_A_LEVEL, nullptr, 0);
    return 0;
  }
  double hundredths = (double)scalar * 100.0 + 0.5;
  if (hundredths < 0.0)
    hundredths = 0.0;
  else if (hundredths > 100.0)
    hundredths = 100.0;
  *percent = (uint32_t)hundredths; /* truncates: rounds half up */
  return 1;
}
