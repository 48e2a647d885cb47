/*
 * The focused application: the volume and mute of the audio sessions of
 * the program whose window is in the foreground (Windows 7 and later,
 * through Core Audio whatever VolEndpoint says).
 *
 * Which sessions: those, on every active playback device, of the process
 * that made the foreground window (for a Store app's frame, the process
 * of the app's own window inside it); where that process has none, or
 * none of its plays while a helper's plays, also those of its helpers,
 * since browsers and other programs play from helper processes: the
 * processes of the same executable file that descend from it (children,
 * grandchildren), by the parent ids of one snapshot of the processes. A
 * process of that file outside its tree is another program (two programs
 * of one javaw.exe or python.exe) and is left alone. Expired sessions and
 * the system sounds' session never count. Every session found changes,
 * and nothing is kept between commands.
 */
#ifndef VOLUME_FOCUSED_APP_H
#define VOLUME_FOCUSED_APP_H

#include "command/command.h"

/* Runs one command on the focused application's sessions; where the
 * request asks for a description, the outcome names the program (its
 * executable's file name without the extension). The percent is
 * each session's master volume × 100, rounded half up, as the endpoint's;
 * a step starts from the loudest session and writes the result to every
 * one, a set writes its figure to every one; a mute toggle takes its new
 * state from the first session found. 1 when sessions of the program were
 * found and every one of them took the change; a device or session that
 * could not be read does not count against it. No foreground window, no
 * session, a system older than Windows 7 or without Core Audio: 0, and
 * nothing touched. */
int runOnFocusedApp(const CommandRequest *request, CommandOutcome *outcome);

#endif
