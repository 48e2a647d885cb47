/*
 * plughost's command line.
 */
#include <cstdio>
#include <cstring>

#include "plughost/check.h"
#include "plughost/devices.h"
#include "plughost/lines.h"
#include "plughost/plughost.h"
#include "plughost/sessions.h"

static const char USAGE[] =
    "usage: plughost info <plugin>\n"
    "       plughost run [--taskbar] <plugin> <command>...\n"
    "       plughost lines <plugin>\n"
    "       plughost sessions <plugin>\n"
    "       plughost devices <plugin>\n"
    "       plughost check <plugin>\n"
    "\n"
    "Loads a plug-in the way the host application does.\n"
    "\n"
    "  info   shows the plug-in's name, file name, version and command\n"
    "         table (captions converted from code page 932 to UTF-8).\n"
    "  run    initialises the plug-in, then runs each command in order in\n"
    "         this one process. A command is a decimal identifier (may be\n"
    "         negative) or a name from the plug-in's command table, such as\n"
    "         Mute or VolumeUp(5). Each prints its identifier, the result,\n"
    "         the speakers' volume and mute afterwards, and whether the\n"
    "         taskbar clock was notified.\n"
    "\n"
    "  lines  lists the destination and source lines of mixer device 0\n"
    "         with their component types, channels, volume and mute, the\n"
    "         VolComponentType value that selects each, and (*) the one\n"
    "         the settings file beside the plug-in selects now.\n"
    "  sessions  lists the audio sessions of every active playback device\n"
    "         (process, executable, state, volume, mute, name), (*) those\n"
    "         the focused application's commands change now, and the\n"
    "         Program<k> texts of the settings file that reach each (and\n"
    "         each text that reaches none).\n"
    "  devices  lists every sound device of both directions in any state\n"
    "         (state, the roles it is the default for, name, id), in the\n"
    "         order the device-switching commands go round the active ones.\n"
    "\n"
    "  check  reads the settings file beside the plug-in as the plug-in\n"
    "         reads it and lists its path, every [Setting] value and each\n"
    "         line that offers nothing, and why: an unknown key (with the\n"
    "         nearest known one), a number out of range, a switch that is\n"
    "         not 1, a text cut short, a number slot without its text (or a\n"
    "         text that offers nothing without its number slots), a key in\n"
    "         the wrong section or never read, a file saved as UTF-8 or\n"
    "         UTF-16, not ANSI.\n"
    "\n"
    "  --taskbar  creates a stand-in taskbar with its clock first, so that\n"
    "             the clock's notifications can be counted (Windows; off\n"
    "             Windows the sim's taskbar in the plug-in always exists).\n"
    "\n"
    "Exit status: 0 when everything ran (whatever the commands returned),\n"
    "1 when the plug-in gave no information record, the stand-in taskbar\n"
    "could not be made or there is no mixer device 0, 2 for bad arguments,\n"
    "an unknown command name, or a plug-in that cannot be loaded or lacks\n"
    "an export. check exits 1 when it found a problem or there is no\n"
    "settings file to read.\n";

static int badUse(const char *message) {
  fprintf(stderr, "plughost: %s\n\n%s", message, USAGE);
  return EXIT_BAD_USE;
}

static int isHelp(const char *argument) {
  return strcmp(argument, "-h") == 0 || strcmp(argument, "--help") == 0;
}

static int infoCommand(int count, char *const *arguments) {
  if (count != 1)
    return badUse("info takes exactly one plug-in");
  return showPluginInfo(arguments[0]);
}

static int linesCommand(int count, char *const *arguments) {
  if (count != 1)
    return badUse("lines takes exactly one plug-in");
  return listMixerLines(arguments[0]);
}

static int runCommand(int count, char *const *arguments) {
  int withTaskbar = count > 0 && strcmp(arguments[0], "--taskbar") == 0;
  arguments += withTaskbar;
  count -= withTaskbar;
  if (count < 1)
    return badUse("run needs a plug-in");
  if (arguments[0][0] == '-' && arguments[0][1] == '-')
    return badUse("unknown option before the plug-in");
  if (count < 2)
    return badUse("run needs at least one command");
  return runCommands(arguments[0], withTaskbar, arguments + 1, count - 1);
}

int main(int argc, char **argv) {
  if (argc < 2)
    return badUse("no action given");
  if (isHelp(argv[1])) {
    fputs(USAGE, stdout);
    return EXIT_DONE;
  }
  hostPrepareOutput();
  if (strcmp(argv[1], "info") == 0)
    return infoCommand(argc - 2, argv + 2);
  if (strcmp(argv[1], "run") == 0)
    return runCommand(argc - 2, argv + 2);
  if (strcmp(argv[1], "lines") == 0)
    return linesCommand(argc - 2, argv + 2);
  if (strcmp(argv[1], "sessions") == 0)
    return argc == 3 ? listAudioSessions(argv[2])
                     : badUse("sessions takes exactly one plug-in");
  if (strcmp(argv[1], "devices") == 0)
    return argc == 3 ? listAudioDevices(argv[2])
                     : badUse("devices takes exactly one plug-in");
  if (strcmp(argv[1], "check") == 0)
    return argc == 3 ? checkPluginSettings(argv[2])
                     : badUse("check takes exactly one plug-in");
  return badUse("unknown action (expected info, run, lines, sessions, devices "
                "or check)");
}
