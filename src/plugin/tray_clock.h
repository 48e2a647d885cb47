/*
 * The taskbar clock, told after every successful command to redraw, so
 * that whatever it shows of the sound is current.
 */
#ifndef VOLUME_TRAY_CLOCK_H
#define VOLUME_TRAY_CLOCK_H

void notifyTrayClock(void);

#endif
