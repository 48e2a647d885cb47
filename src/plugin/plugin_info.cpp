/*
 * The PluginInfo record handed to the host: made with its command table,
 * freed when the host gives it back.
 */
#include "plugin/plugin_info.h"

#include <cstring>

#include "command/texts.h"
#include "platform/platform.h"
#include "plugin/catalogue.h"
#include "plugin/heap_string.h"

PluginInfo *createPluginInfo(const char *fileName) {
  if (!fileName)
    return nullptr;
  PluginInfo *info = (PluginInfo *)platformAlloc(PLUGIN_INFO_BLOCK_SIZE);
  if (!info)
    return nullptr;
  /* The host owns headerWord and the tail of the block; they start as 0
   * rather than as whatever the heap held. */
  memset((void *)info, 0, PLUGIN_INFO_BLOCK_SIZE);
  info->name = copyString(TEXT_DISPLAY_NAME);
  info->fileName = copyString(fileName);
  info->kindCode = 1;
  /* The version of the file the host named, which need not be this one. */
  uint32_t versionMS = 0, versionLS = 0;
  if (!platformFileVersion(fileName, &versionMS, &versionLS))
    versionMS = versionLS = 0;
  info->versionMS = versionMS;
  info->versionLS = versionLS;
  buildCommandCatalogue(info);
  return info;
}

void destroyPluginInfo(PluginInfo *info) {
  if (!info)
    return;
  freeCommandCatalogue(info);
  platformFree(info->fileName);
  platformFree(info->name);
  platformFree(info);
}
