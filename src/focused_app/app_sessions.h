/*
 * Which of the sessions of every playback device are the focused
 * application's, by the rule of session_choice.cpp.
 */
#ifndef VOLUME_APP_SESSIONS_H
#define VOLUME_APP_SESSIONS_H

#include <cstdint>

#include "core_audio/held_sessions.h"

/* Chooses among the sessions found those the rule chooses for the focused
 * process processId (session_choice.h) and holds each one's volume. */
void takeAppSessions(HeldSessions *found, uint32_t processId);

#endif
