/*
 * The 32-bit host calls every export with the standard Windows convention:
 * the callee pops its arguments. 64-bit Windows has one convention only, so
 * these cases are the 32-bit DLL's alone.
 */
#include "plugin_test.h"
#include "stack_probe.h"

class CallingConventionTest : public PluginTest {};

/* The arguments are harmless: an identifier outside every command range,
 * a hook call with nothing in it. */
TEST_F(CallingConventionTest, EveryExportPopsItsOwnArguments) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings(nullptr));
  const uint32_t path = (uint32_t)(uintptr_t)plugin.dllPath.c_str();
  uint32_t returned = 0;
  const uint32_t executeArguments[] = {999, 0};
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.execute,
                                    executeArguments, 2, &returned));
  EXPECT_EQ(0u, returned);
  const uint32_t initArguments[] = {path, 0};
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.init,
                                    initArguments, 2, &returned));
  EXPECT_EQ(1u, returned);
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.initPluginInfo,
                                    &path, 1, &returned));
  ASSERT_NE(0u, returned);
  const uint32_t info = returned;
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.freePluginInfo,
                                    &info, 1, &returned));
  const uint32_t hookArguments[] = {0, 0, 0};
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.windowsHook,
                                    hookArguments, 3, &returned));
  EXPECT_EQ(0, stackBytesLeftByCall((const void *)plugin.exports.unload,
                                    nullptr, 0, &returned));
}

/* A convention mismatch would move the stack by the argument size on
 * every call; hundreds of calls would wreck this frame. */
TEST_F(CallingConventionTest, ManyCallsInALoopKeepTheCallerIntact) {
  ASSERT_NO_FATAL_FAILURE(startWithSettings("[Command]\r\nUpDown0=5\r\n"));
  const uint32_t canary = 0x5EED1234u;
  volatile uint32_t guard = canary;
  int failures = 0;
  for (int i = 0; i < 500; i++) {
    failures += plugin.exports.execute(999, 0) != 0;
    failures += plugin.exports.init(plugin.dllPath.c_str(), 0) != 1;
    plugin.exports.windowsHook((uint32_t)i, 0, 0);
    if (i % 10 == 0) {
      PluginInfo *info = plugin.exports.initPluginInfo(plugin.dllPath.c_str());
      failures += info == nullptr || readU32(info, INFO_COMMAND_COUNT) != 3;
      plugin.exports.freePluginInfo(info);
    }
  }
  plugin.exports.unload();
  EXPECT_EQ(0, failures);
  EXPECT_EQ(canary, guard);
}
