/*
 * Why a command failed, said on the debugger's channel: the family that
 * gives up names the reason here, dispatch says it in one line.
 */
#ifndef VOLUME_COMMAND_FAILURE_H
#define VOLUME_COMMAND_FAILURE_H

#include <cstddef>
#include <cstdint>

/* The reasons, in the user's words. In a reason's text "%s" is the text
 * given with it (a settings text, a program's name), "%d" the code as a
 * signed number, "%x" the code as 0x%08X (an HRESULT). Where a reason
 * comes in a playback and a recording form, the recording one follows. */
enum CommandFailure {
  FAILED_UNSAID,     /* no family said why */
  FAILED_UNKNOWN_ID, /* the identifier is in no row */
  FAILED_MIXER_OPEN,
  FAILED_MIXER_NO_LINE,
  FAILED_MIXER_NO_SPEAKERS,
  FAILED_MIXER_NO_VOLUME,
  FAILED_MIXER_NO_MUTE,
  FAILED_MIXER_UNUSABLE,
  FAILED_MIXER_REFUSED,
  FAILED_MIXER_UNREPORTED,
  FAILED_NO_CORE_AUDIO,
  FAILED_CORE_AUDIO,
  FAILED_NO_DEFAULT_PLAYBACK,
  FAILED_NO_DEFAULT_RECORDING,
  FAILED_COMMUNICATIONS_UNREACHED,
  FAILED_DEVICE_REFUSED,
  FAILED_NOT_A_LEVEL,
  FAILED_MUTE_DID_NOT_HOLD,
  FAILED_NO_FOREGROUND,
  FAILED_NO_SESSION_OF,
  FAILED_NO_FOREGROUND_SESSION,
  FAILED_SESSION_REFUSED,
  FAILED_EMPTY_SLOT,
  FAILED_NO_NUMBER,
  FAILED_PLAYBACK_UNLISTED,
  FAILED_RECORDING_UNLISTED,
  FAILED_NO_PLAYBACK_NAMED,
  FAILED_NO_RECORDING_NAMED,
  FAILED_NO_ACTIVE_PLAYBACK,
  FAILED_NO_ACTIVE_RECORDING,
  FAILED_NO_POLICY_CONFIG,
  FAILED_POLICY_CONFIG,
  FAILED_SWITCH_REFUSED,
  FAILED_SWITCH_NOT_SHOWN,
  FAILED_PROCESSES_UNLISTED,
  FAILURE_COUNT
};

struct CommandFailureRow {
  CommandFailure id;
  const char *text;
};

/* In CommandFailure order. */
inline constexpr CommandFailureRow COMMAND_FAILURES[FAILURE_COUNT] = {
    {FAILED_UNSAID, "it failed"},
    {FAILED_UNKNOWN_ID, "no command has this identifier"},
    {FAILED_MIXER_OPEN, "mixer device 0 cannot be opened (error %d)"},
    {FAILED_MIXER_NO_LINE, "mixer device 0 has no line of the component "
                           "type VolComponentType chooses (%x)"},
    {FAILED_MIXER_NO_SPEAKERS, "mixer device 0 has no speakers line"},
    {FAILED_MIXER_NO_VOLUME, "the mixer line has no volume control (error %d)"},
    {FAILED_MIXER_NO_MUTE, "the speakers line has no mute control (error %d)"},
    {FAILED_MIXER_UNUSABLE, "the mixer line's volume control has no levels"},
    {FAILED_MIXER_REFUSED, "the mixer refused (error %d)"},
    {FAILED_MIXER_UNREPORTED, "the mixer reported no value for the line"},
    {FAILED_NO_CORE_AUDIO, "this Windows has no Core Audio (Windows XP)"},
    {FAILED_CORE_AUDIO, "Core Audio refused (%x)"},
    {FAILED_NO_DEFAULT_PLAYBACK, "there is no default playback device"},
    {FAILED_NO_DEFAULT_RECORDING, "there is no default recording device"},
    {FAILED_COMMUNICATIONS_UNREACHED,
     "the default communications recording device cannot be reached (%x)"},
    {FAILED_DEVICE_REFUSED, "the device refused (%x)"},
    {FAILED_NOT_A_LEVEL, "the volume read is no number"},
    {FAILED_MUTE_DID_NOT_HOLD, "the mute did not change when looked at again"},
    {FAILED_NO_FOREGROUND, "no window is in the foreground"},
    {FAILED_NO_SESSION_OF, "no audio session of %s"},
    {FAILED_NO_FOREGROUND_SESSION,
     "the foreground program (process %d) has no audio session"},
    {FAILED_SESSION_REFUSED, "an audio session refused (%x)"},
    {FAILED_EMPTY_SLOT, "its slot in the settings file holds nothing"},
    {FAILED_NO_NUMBER, "the settings file's %s%d holds no number 0 to 100"},
    {FAILED_PLAYBACK_UNLISTED, "the playback devices cannot be listed (%x)"},
    {FAILED_RECORDING_UNLISTED, "the recording devices cannot be listed (%x)"},
    {FAILED_NO_PLAYBACK_NAMED, "no active playback device's name holds \"%s\""},
    {FAILED_NO_RECORDING_NAMED,
     "no active recording device's name holds \"%s\""},
    {FAILED_NO_ACTIVE_PLAYBACK, "there is no active playback device"},
    {FAILED_NO_ACTIVE_RECORDING, "there is no active recording device"},
    {FAILED_NO_POLICY_CONFIG, "the policy-config class is not registered"},
    {FAILED_POLICY_CONFIG, "the policy-config class cannot be made (%x)"},
    {FAILED_SWITCH_REFUSED, "Windows refused the new default (%x)"},
    {FAILED_SWITCH_NOT_SHOWN, "the new default did not show"},
    {FAILED_PROCESSES_UNLISTED, "the running programs cannot be listed"},
};

constexpr bool commandFailuresInOrder(void) {
  for (size_t i = 0; i < FAILURE_COUNT; i++)
    if (COMMAND_FAILURES[i].id != (CommandFailure)i)
      return false;
  return true;
}
static_assert(commandFailuresInOrder(), "COMMAND_FAILURES out of order");

enum { FAILURE_TEXT_SIZE = 64 };

/* The form of a two-form reason for a direction: 0 playback, 1
 * recording (an AudioFlow). */
static inline CommandFailure forFlow(CommandFailure playback, int flow) {
  return (CommandFailure)(playback + (flow != 0));
}

/* Says why the running command fails. The first reason a command gives
 * stands: it is the closest to the cause. text may be null. */
void commandFails(CommandFailure why, const char *text, uint32_t code);
/* The same with a text in UTF-16 (a device's or a program's name). */
void commandFailsWide(CommandFailure why, const uint16_t *text, uint32_t code);
/* For dispatch: forgets the reason before a command, and writes the
 * reason given since (FAILED_UNSAID where none was) into line. */
void forgetCommandFailure(void);
void describeCommandFailure(char *line, size_t size);

#endif
