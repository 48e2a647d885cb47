/*
 * The volume commands, written once over the operations of a volume
 * backend: the classic mixer (mixer/), the default playback endpoint
 * (endpoint/) or the focused application's sessions (focused_app/). A backend
 * reads and writes the volume as a whole percent and the mute switch as 0 or 1;
 * how it gets there is its own affair. Every operation returns 1 for success
 * and 0 for failure.
 */
#ifndef VOLUME_VOLUME_COMMANDS_H
#define VOLUME_VOLUME_COMMANDS_H

#include <cstdint>

/* UnmuteOnChange's one value that makes a volume change lift the mute. */
enum { UNMUTE_SETTING_ON = 1 };

/* What a backend's operations act on, and how the settings ask a
 * command to run there. */
struct VolumeTarget {
  int32_t componentTypeSetting; /* mixer: VolComponentType, the line */
  int unmuteOnChange;   /* a volume change that took also turns mute off */
  void *endpointVolume; /* endpoint: its IAudioEndpointVolume, held */
  void *appSessions;    /* focused application: its sessions, held */
};

struct VolumeBackend {
  int (*readPercent)(const VolumeTarget *target, uint32_t *percent);
  int (*writePercent)(const VolumeTarget *target, uint32_t percent);
  int (*readMute)(const VolumeTarget *target, uint32_t *muted);
  int (*writeMute)(const VolumeTarget *target, uint32_t muted);
};

enum VolumeAction {
  VOLUME_TOGGLE_MUTE,
  VOLUME_STEP,
  VOLUME_SET,
  VOLUME_SET_MUTE
};

/* One command, decoded from its identifier. */
struct VolumeCommand {
  VolumeAction action;
  int32_t amount; /* VOLUME_STEP: -100..100; VOLUME_SET: 0..100;
                     VOLUME_SET_MUTE: 1 mute on, 0 mute off */
};

/* What a command that took left behind, for the on-screen display. */
struct VolumeOutcome {
  uint32_t showsLevel; /* 1: a level was written; 0: a mute state brought */
  uint32_t percent;    /* the level written */
  uint32_t muted;      /* the mute state brought */
};

/* Reads the percent, moves it by step, stops at 0 and 100, writes it;
 * *written is the level it wrote. */
int stepVolume(const VolumeBackend *backend, const VolumeTarget *target,
               int32_t step, uint32_t *written);
/* Reads the mute switch and writes its opposite, which is *muted. */
int toggleMute(const VolumeBackend *backend, const VolumeTarget *target,
               uint32_t *muted);
/* Brings the mute switch to a state (any non-zero value is on), writing
 * only where it is not in that state already. */
int setMute(const VolumeBackend *backend, const VolumeTarget *target,
            uint32_t muted);
/* Runs one command; on success *outcome says what it left. */
int runVolumeCommand(const VolumeBackend *backend, const VolumeTarget *target,
                     VolumeCommand command, VolumeOutcome *outcome);

#endif
