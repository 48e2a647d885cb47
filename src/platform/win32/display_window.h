/*
 * The display window's class name: the window is found by it.
 */
#ifndef VOLUME_DISPLAY_WINDOW_H
#define VOLUME_DISPLAY_WINDOW_H

#define DISPLAY_WINDOW_CLASS L"VolumeOnScreenDisplay"

#endif
