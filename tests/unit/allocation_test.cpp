/*
 * The info record when the heap runs out part-way: each allocation of a
 * full record failing in turn. The host gets what could be built, and
 * freeing it gives back every block.
 */
#include "plugin/plugin.h"
#include "unit_support.h"

namespace {

/* The record, its two strings, the command array and two strings for each
 * of the 31 commands. */
const unsigned long FULL_RECORD_ALLOCATIONS = 1 + 2 + 1 + 2 * 31;

class AllocationTest : public PluginTest {};

TEST_F(AllocationTest, FullRecordTakesOneBlockPerField) {
  writeSettings(fullCommandSection());
  PluginInfo *info = KSTEvent_InitPluginInfo("volume.dll");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(simHeapAllocations(), FULL_RECORD_ALLOCATIONS);
  EXPECT_EQ(simHeapLiveBlocks(), (long)FULL_RECORD_ALLOCATIONS);
  KSTEvent_FreePluginInfo(info);
  EXPECT_EQ(simHeapLiveBlocks(), 0);
}

/* Counts the fields left null; a non-null one must hold what it would
 * without the failure. */
int nullFields(const PluginInfo *info) {
  std::vector<ExpectedCommand> table = fullCommandTable();
  int nulls = !info->name + !info->fileName + !info->commands;
  if (info->name) {
    EXPECT_EQ(std::string(info->name), cp932("ボリュームを変更"));
  }
  if (info->fileName) {
    EXPECT_STREQ(info->fileName, "volume.dll");
  }
  if (!info->commands) {
    EXPECT_EQ(info->commandCount, 0u);
    return nulls;
  }
  EXPECT_EQ(info->commandCount, table.size());
  for (uint32_t i = 0; i < info->commandCount && i < table.size(); i++) {
    const CommandInfo &command = info->commands[i];
    nulls += !command.name + !command.caption;
    if (command.name) {
      EXPECT_EQ(std::string(command.name), table[i].name);
    }
    if (command.caption) {
      EXPECT_EQ(std::string(command.caption), cp932(table[i].captionUtf8));
    }
    EXPECT_EQ(command.commandId, table[i].id);
  }
  return nulls;
}

class FailingAllocation : public PluginTest,
                          public testing::WithParamInterface<unsigned long> {};

TEST_P(FailingAllocation, LeavesOneFieldNullAndFreesCleanly) {
  unsigned long failing = GetParam();
  writeSettings(fullCommandSection());
  long liveBefore = simHeapLiveBlocks();
  simHeapFailAllocation((long)failing);
  PluginInfo *info = KSTEvent_InitPluginInfo("volume.dll");
  simHeapFailAllocation(-1);
  if (failing == 0) {
    EXPECT_EQ(info, nullptr) << "the record itself failed";
  } else {
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->kindCode, 1);
    int expectedNulls = failing < FULL_RECORD_ALLOCATIONS ? 1 : 0;
    EXPECT_EQ(nullFields(info), expectedNulls);
  }
  KSTEvent_FreePluginInfo(info);
  EXPECT_EQ(simHeapLiveBlocks(), liveBefore);
}

INSTANTIATE_TEST_SUITE_P(EveryAllocation, FailingAllocation,
                         testing::Range(0ul, FULL_RECORD_ALLOCATIONS + 1));

} // namespace
