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
 * failed call's pointer is not ours, whatever it holds. */
static ComResult activateDefault(ComObject enumerator, AudioFlow flow,
                                 AudioRole role, AudioInterface which,
                                 ComObject *object) {
  ComObject device = nullptr;
  ComResult result = platformDefaultEndpoint(enumerator, flow, role, &device);
  result = receivedObject(result, device);
  if (!comSucceeded(result))
    return afterCreation(result);
  result = platformActivate(device, which, object);
  result = receivedObject(result, *object);
  platformComRelease(device);
  return afterCreation(result);
}

ComResult activateDefaultEndpoint(AudioFlow flow, AudioRole role,
                                  AudioInterface which, ComObject *object) {
  *object = nullptr;
  ComObject enumerator = nullptr;
  ComResult result = platformCreateDeviceEnumerator(&enumerator);
  result = receivedObject(result, enumerator);
  if (!comSucceeded(result))
    return result;
  ComObject activated = nullptr;
  result = activateDefault(enumerator, flow, role, which, &activated);
  platformComRelease(enumerator);
  if (comSucceeded(result))
    *object = activated;
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
