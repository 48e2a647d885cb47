/*
 * The microphone: the level and mute of the default recording devices,
 * through Core Audio whatever VolEndpoint says (the classic mixer has no
 * such thing that all programs share).
 *
 * "Mute the microphone" means that nobody hears me. Meeting programs
 * record from the default device for communications, which can be
 * another device than the default for everything else, so a command
 * brings both to the same state, and to the same level. Like the
 * endpoint, nothing is kept between commands.
 */
#ifndef VOLUME_MICROPHONE_H
#define VOLUME_MICROPHONE_H

#include "command/command.h"

/* Runs a volume command on the default recording devices. A toggle takes
 * its new state from the console default; a step starts from the
 * loudest device, and a step or a level is written to every device. A
 * level change leaves the mute as it was. 1 only when every device is in
 * the asked state afterwards. Without Core Audio, or without a recording
 * device: 0, and nothing touched. *outcome holds the asked state. */
int runOnMicrophones(const CommandRequest *request, CommandOutcome *outcome);

#endif
