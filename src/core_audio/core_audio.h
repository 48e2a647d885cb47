/*
 * The rules of using Core Audio from inside someone else's process,
 * written once above the platform's thin COM calls: how a command enters
 * and leaves COM on the host's thread, what each result means, and how
 * the endpoint that is the default now is reached. Nothing is kept
 * between commands.
 */
#ifndef VOLUME_CORE_AUDIO_H
#define VOLUME_CORE_AUDIO_H

#include "command/command_failure.h"
#include "platform/platform.h"

/* The one place where an HRESULT becomes the plug-in's success flag. */
static inline int comSucceeded(ComResult result) { return result >= 0; }

/* The same, saying why the command fails where COM refused. */
static inline int comTook(ComResult result, CommandFailure why) {
  if (comSucceeded(result))
    return 1;
  commandFails(why, nullptr, (uint32_t)result);
  return 0;
}

/* The reason for a default device that cannot be reached: there is none
 * (E_NOTFOUND), or Core Audio refused. */
static inline CommandFailure unreachedDevice(ComResult result, AudioFlow flow) {
  return (uint32_t)result == COM_E_NOT_FOUND
             ? forFlow(FAILED_NO_DEFAULT_PLAYBACK, flow)
             : FAILED_CORE_AUDIO;
}

/* A command's use of COM on the calling thread. */
struct ComApartment {
  int entered; /* this command entered COM: one CoUninitialize is owed */
};

/* Makes COM usable on the calling thread: a single-threaded apartment,
 * unless the thread is in a multithreaded one, which serves as it is. A
 * failure leaves nothing to undo. */
ComResult enterCom(ComApartment *apartment);
/* Undoes what enterCom did, if anything. */
void leaveCom(ComApartment *apartment);

/* A call that reports success but hands back no interface failed. */
ComResult receivedObject(ComResult result, ComObject object);

/* The steps of reaching an endpoint, each one COM call with the rules
 * above applied; on failure nothing is handed back. Creating the
 * enumerator is the only step whose COM_CLASS_NOT_REGISTERED means that
 * this system has no Core Audio; a later step reports COM_E_FAIL instead. */
ComResult createDeviceEnumerator(ComObject *enumerator);
ComResult findDefaultEndpoint(ComObject enumerator, AudioFlow flow,
                              AudioRole role, ComObject *device);
ComResult activateInterface(ComObject device, AudioInterface which,
                            ComObject *object);

/* The active endpoints of a flow, and one of them, with the same rules. */
ComResult enumerateEndpoints(ComObject enumerator, AudioFlow flow,
                             ComObject *collection);
ComResult endpointItem(ComObject collection, uint32_t index, ComObject *device);

/* A device's sessions (after activating its AUDIO_SESSION_MANAGER), one
 * of them, and another interface of a session control, with the same
 * rules. */
ComResult listSessionsOf(ComObject manager, ComObject *sessions);
ComResult sessionItem(ComObject sessions, int32_t index, ComObject *control);
ComResult querySession(ComObject control, SessionInterface which,
                       ComObject *object);

/* The default endpoint of a flow for a role, with an interface of it
 * activated; the enumerator and the device are let go before it returns.
 * COM_CLASS_NOT_REGISTERED means that this system has no Core Audio; no
 * later step reports it. On failure *object is null. */
ComResult activateDefaultEndpoint(AudioFlow flow, AudioRole role,
                                  AudioInterface which, ComObject *object);

/* What a command does with the device enumerator; returns its result. */
typedef int (*EnumeratorWork)(ComObject enumerator, void *context);

/* The skeleton of a command that looks at the devices: enters COM,
 * creates the enumerator, runs work with it, releases the enumerator and
 * leaves COM as it found it. 0 when COM or the enumerator cannot be had,
 * with nothing touched and the reason given; otherwise what work
 * returned. */
int withDeviceEnumerator(EnumeratorWork work, void *context);

/* A master volume scalar as a whole percent: × 100, rounded half up, as
 * Windows' volume flyout and mixer show it. A scalar outside 0..1 is
 * taken at the nearer bound; 0 for one that is no number. */
int percentFromScalar(float scalar, uint32_t *percent);

/* One command's hold on a default endpoint's volume: COM entered, the
 * interface activated. */
struct EndpointHold {
  ComApartment apartment;
  ComObject volume; /* IAudioEndpointVolume; null when nothing is held */
};

/* Enters COM and activates the volume of the default endpoint of a flow
 * for a role. On failure nothing is held and COM is left as it was. */
ComResult holdDefaultVolume(EndpointHold *hold, AudioFlow flow, AudioRole role);
/* Releases the volume and leaves COM as holdDefaultVolume found it. */
void releaseHold(EndpointHold *hold);

#endif
