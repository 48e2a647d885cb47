/*
 * The on-screen display: after a command took, a small window near the
 * bottom of the foreground window's monitor shows the new level or mute
 * state for a moment. Laid out here, to the pixel; the platform only
 * draws the frame it is given, on a thread of its own.
 */
#ifndef VOLUME_DISPLAY_H
#define VOLUME_DISPLAY_H

#include <cstdint>

#include "platform/platform.h"

enum DisplaySubject : uint8_t {
  DISPLAY_PLAYBACK,      /* the speakers: mixer or default endpoint */
  DISPLAY_MICROPHONE,    /* the default recording devices */
  DISPLAY_APPLICATION,   /* the focused application's sessions */
  DISPLAY_OUTPUT_DEVICE, /* the default playback device, switched */
  DISPLAY_INPUT_DEVICE,  /* the default recording device, switched */
  DISPLAY_HEADSET,       /* both, switched to one headset */
  DISPLAY_NAMED_DEVICE,  /* a device named by the settings: its level */
  DISPLAY_PROGRAM        /* a program named by the settings: its level */
};

enum { DISPLAY_NAME_SIZE = 40 };

/* What a command left behind, to be shown. */
struct DisplayView {
  DisplaySubject subject;
  uint32_t showsLevel;              /* 1: the level below; 0: the mute state */
  uint32_t percent;                 /* 0..100, the level written */
  uint32_t muted;                   /* the mute state now */
  uint16_t name[DISPLAY_NAME_SIZE]; /* what the command names (the
                                       application), UTF-16; empty: none */
};

/* The frame that shows a view on a monitor. */
void layoutDisplay(const DisplayView *view, const DisplayMonitor *monitor,
                   DisplayFrame *frame);
/* Shows a view, laid out for the foreground window's monitor; 0 when it
 * cannot be shown. Never waits for the display's window. */
int showDisplay(const DisplayView *view);
/* Takes the display down, to nothing (see platformCloseDisplay). */
void closeDisplay(void);

#endif
