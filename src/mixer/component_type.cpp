/*
 * The mixer component type each VolComponentType value selects.
 */
#include "mixer/component_type.h"

#include "platform/platform.h"

/* Values below this select destinations, the rest of the values sources. */
static const int32_t DESTINATION_SETTINGS = 9;

uint32_t componentTypeFromSetting(int32_t setting) {
  if (setting >= 0 && setting < DESTINATION_SETTINGS)
    return MIXER_COMPONENT_DST_FIRST + (uint32_t)setting;
  if (setting >= DESTINATION_SETTINGS && setting < COMPONENT_TYPE_SETTINGS)
    return MIXER_COMPONENT_SRC_FIRST +
           (uint32_t)(setting - DESTINATION_SETTINGS);
  return MIXER_COMPONENT_DST_SPEAKERS;
}
