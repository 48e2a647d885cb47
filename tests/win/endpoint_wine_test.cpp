/*
 * VolEndpoint=1 against Wine's own Core Audio, whose endpoint volume
 * cannot be changed: the master scalar refuses to be set, and a mute is
 * remembered only by the one interface it was set on. Every command
 * fails, no clock message is sent, and the endpoint, read through the
 * kit's own calls, is as it was.
 */
#include <objbase.h>

#include "plugin_host.h"

namespace {

TEST(WineEndpoint, CommandsFailWithoutClockAndChangeNothing) {
  EndpointView before;
  ASSERT_EQ(S_OK, kitReadEndpoint(&before));
  StandInTaskbar taskbar = {};
  char reason[256] = "";
  ASSERT_TRUE(kitCreateTaskbar(&taskbar, reason, sizeof reason)) << reason;
  InstalledPlugin plugin = {};
  ASSERT_TRUE(installPlugin(&plugin, "[Setting]\r\nVolEndpoint=1\r\n"));
  ASSERT_TRUE(loadPlugin(&plugin));
  ASSERT_TRUE(kitPluginUsesEndpoint(plugin.module));
  ASSERT_EQ(1, plugin.exports.init(plugin.dllPath.c_str(), 0));
  APTTYPE typeBefore, typeAfter;
  APTTYPEQUALIFIER qualifier;
  HRESULT apartmentBefore = CoGetApartmentType(&typeBefore, &qualifier);
  for (int32_t id : {3050, 3000, 1010, 2010, 1}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(0, plugin.exports.execute(id, 0));
  }
  EXPECT_EQ(0, kitClockMessages().refreshes);
  EXPECT_EQ(0, kitClockMessages().misdirected);
  plugin.exports.unload();
  EndpointView after;
  ASSERT_EQ(S_OK, kitReadEndpoint(&after));
  EXPECT_EQ(before.scalar, after.scalar);
  EXPECT_EQ(before.muted, after.muted);
  /* The taskbar's windows gave the thread an apartment (Wine's input
   * method support enters COM); the plug-in left it as it was. */
  EXPECT_EQ(apartmentBefore, CoGetApartmentType(&typeAfter, &qualifier));
  if (SUCCEEDED(apartmentBefore)) {
    EXPECT_EQ(typeBefore, typeAfter);
  }
  removePlugin(&plugin);
  kitDestroyTaskbar(&taskbar);
}

} // namespace
