/*
 * plughost: a stand-in for the host application. It loads the plug-in the
 * way the host does, shows its information record and runs its commands,
 * reporting what each command did to the sound and to the taskbar clock.
 *
 * The portable part (plughost.cpp, commands.cpp and the listings,
 * lines.cpp, sessions.cpp, devices.cpp) parses the command line and
 * prints; the platform part (win32/ or posix/, chosen by the build) loads
 * libraries, converts text and watches the mixer and the clock. The
 * exports are found by the host kit's portable loader.
 */
#ifndef PLUGHOST_H
#define PLUGHOST_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "command/command_settings.h"
#include "hostkit/exports.h"

/* Exit statuses. */
enum {
  EXIT_DONE = 0,   /* everything ran; the results are in the output */
  EXIT_FAILED = 1, /* no information record, or no stand-in taskbar */
  EXIT_BAD_USE = 2 /* bad arguments, unloadable plug-in, unknown name */
};

/* ---- Portable part ----------------------------------------------------- */

/* `plughost info`: prints the plug-in's information record. */
int showPluginInfo(const char *path);
/* `plughost run`: runs the commands in order, one line of report each. */
int runCommands(const char *path, int withTaskbar, char *const *commands,
                int commandCount);

/* What a listing (`lines`, `sessions`, `devices`) does with the loaded
 * plug-in. Its state is the listing record handed to each step. */
struct ListingSteps {
  const char *unavailable; /* the error's words: "no sound devices to list" */
  /* Makes what the listing reads readable in the plug-in (loaded by the
   * name path); 0, with the reason, when it cannot be. */
  int (*open)(void *plugin, const char *path, void *listing, char *reason,
              size_t reasonSize);
  void (*read)(void *listing);
  void (*close)(void);
  void (*print)(FILE *out, const void *listing);
};

/* Loads the plug-in as `info` and `run` load it (a DLL built for the other
 * machine named as such), writes the listing to stdout and unloads it;
 * what fails is said on stderr, and the exit status returned. */
int printListing(const char *path, const ListingSteps *steps, void *listing);
/* Opens, reads, closes and prints a listing of the loaded plug-in (loaded
 * by the name path) to out; 0, with the reason, when it cannot be opened. */
int writeListing(void *plugin, const char *path, const ListingSteps *steps,
                 void *listing, FILE *out, char *reason, size_t reasonSize);

/* Code page 932 text (captions, the settings file's texts) as UTF-8, for
 * the terminal; text that is not code page 932 as printable ASCII and
 * \xNN, marked as such. */
void writeCodePageText(FILE *out, const char *text);

/* Says on stderr why the plug-in at path could not be loaded: the
 * loader's reason, or the machine a DLL of another kind is built for. */
void reportUnloadable(const char *path, const char *reason);

/* Windows' rule for names: ASCII letters without regard to case. */
int sameText(const char *first, const char *second);

/* A control value as a whole percent of its bounds, rounded to nearest,
 * halves up. 0 for a control without a range, which has no percent. */
int percentOfRange(uint32_t value, uint32_t minimum, uint32_t maximum,
                   uint32_t *percent);
/* A master volume scalar (0.0 to 1.0) as a whole percent, halves up, as
 * Windows' volume flyout shows it. 0 for a scalar that is no number. */
int percentOfScalar(float scalar, uint32_t *percent);

/* Printed once by `plughost run` when the sound it reports is that of the
 * default playback endpoint rather than mixer device 0's speakers. */
#define ENDPOINT_NOTE                                                          \
  "sound: the default playback endpoint (the settings set VolEndpoint=1)"

/* ---- Platform part ----------------------------------------------------- */

/* Lets the terminal show UTF-8 text. */
void hostPrepareOutput(void);

/* Loads a library by path; null when it cannot, with the reason. */
void *hostLoadPlugin(const char *path, char *reason, size_t reasonSize);
void hostUnloadPlugin(void *plugin);
/* The PE Machine of the DLLs this plughost loads (dll_machine.h);
 * DLL_MACHINE_NONE where plug-ins are no DLLs. */
uint16_t hostDllMachine(void);

/* The loaded plug-in's settings file, by the plug-in's own rule from the
 * plug-in's name as the plug-in itself finds it (`given`, the name it was
 * loaded by, where that is the same file); 0, with the empty string, when
 * the name gives none. */
int hostSettingsPath(void *plugin, const char *given, char *path,
                     size_t pathSize);
/* The platform's profile reader (GetPrivateProfileIntA or the sim's). */
int32_t hostProfileInt(const char *section, const char *key,
                       int32_t defaultValue, const char *path);

/* A setting of the plug-in's table as the plug-in reads it from its
 * settings file (its default where the path is empty). */
int32_t pluginSetting(SettingId id, const char *settingsPath);

/* Code page 932 text as UTF-8; 0 when the text is not valid code page 932
 * or its UTF-8 form does not fit. */
int hostCaptionToUtf8(const char *text, char *utf8, size_t utf8Size);

/* Makes the shell's taskbar, its notification area and its clock exist for
 * the plug-in to find; 0 with the reason when it cannot. */
int hostCreateTaskbar(char *reason, size_t reasonSize);

struct SoundState {
  int volumeKnown;
  uint32_t volumePercent;
  int muteKnown;
  int muted;
};

/* Starts watching the speakers of mixer device 0, or the default playback
 * endpoint when the plug-in's settings ask for it, and the taskbar clock,
 * as the plug-in that was loaded sees them. */
void hostStartObserving(void *plugin, int endpoint);
void hostReadSound(SoundState *state);
/* Messages 1030 the taskbar clock has received so far; 0 when they cannot
 * be counted. */
int hostClockNotifications(unsigned *count);

/* A recording device that the microphone's commands act on. */
struct MicrophoneView {
  char name[128]; /* its friendly name, UTF-8 */
  int muted;
};
/* The default recording devices as the loaded plug-in's system has them:
 * for the console role, then for communications where that is another
 * device. How many were found, or -1 when they cannot be read. */
int hostReadMicrophones(void *plugin, MicrophoneView *views, int size);
void hostStopObserving(void);

enum { DEBUG_TEXT_SIZE = 4096 };

/* The lines the plug-in said on the debugger's channel since the last
 * take, each ending in "\n" (it says one for each command that fails);
 * listening starts with hostStartObserving. 0, with the empty text, where
 * they cannot be heard: another listener holds the channel, or the
 * library was not built with the sim. */
int hostTakeDebugLines(char *text, size_t size);

#endif
