/*
 * VolComponentType: the mixer line a setting selects. The plug-in finds
 * the volume's line by it; plughost shows which value reaches each line.
 */
#ifndef VOLUME_COMPONENT_TYPE_H
#define VOLUME_COMPONENT_TYPE_H

#include <cstdint>

/* Values 0 to 19 each select a component type of their own. */
enum { COMPONENT_TYPE_SETTINGS = 20 };

/* The mixer component type that a VolComponentType setting selects:
 * 0..8 the destinations, 9..19 the sources, anything else the speakers. */
uint32_t componentTypeFromSetting(int32_t componentTypeSetting);

#endif
