/*
 * The info record's block as the heap hands it out may hold anything; the
 * words of it that the plug-in does not fill (the header word, and with
 * 32-bit pointers the last four bytes of the 32-byte block) start as 0.
 */
#include <cstring>

#include "platform/platform.h"
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

class RecordBlock : public PluginTest,
                    public testing::WithParamInterface<const char *> {};

TEST_P(RecordBlock, UnfilledBytesAreZero) {
  if (GetParam()[0] != '\0')
    writeSettings(GetParam());
  simHeapPoisonNewBlocks(0xCC);
  void *probe = platformAlloc(4);
  ASSERT_EQ(*(unsigned char *)probe, 0xCCu) << "the heap is poisoned";
  platformFree(probe);
  PluginInfo *info = KSTEvent_InitPluginInfo("volume.dll");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->headerWord, 0u);
  const unsigned char *block = (const unsigned char *)info;
  for (size_t at = sizeof(PluginInfo); at < PLUGIN_INFO_BLOCK_SIZE; at++)
    EXPECT_EQ(block[at], 0u) << "tail byte " << at;
  KSTEvent_FreePluginInfo(info);
  EXPECT_EQ(simHeapLiveBlocks(), 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, RecordBlock,
                         testing::Values("", "[Command]\nSet0=50\n"),
                         [](const testing::TestParamInfo<const char *> &info) {
                           return info.index == 0 ? std::string("NoSettings")
                                                  : std::string("OneSet");
                         });

} // namespace
