/*
 * The fixture most Windows-side tests share: one installed copy of the
 * plug-in, the test's own view of the speakers line, and optionally the
 * stand-in taskbar. Everything is undone in TearDown, so the tests also
 * pass when one process runs them all.
 */
#ifndef VOLUME_WIN_TESTS_PLUGIN_TEST_H
#define VOLUME_WIN_TESTS_PLUGIN_TEST_H

#include <gtest/gtest.h>

#include "mixer_probe.h"
#include "plugin_host.h"

class PluginTest : public ::testing::Test {
protected:
  void TearDown() override {
    removePlugin(&plugin);
    kitDestroyTaskbar(&taskbar);
    kitCloseMixerLine(&speakers);
  }

  /* Installs the plug-in with these settings (null: no settings file)
   * and loads it, without calling anything. */
  void loadWithSettings(const char *settings) {
    ASSERT_TRUE(installPlugin(&plugin, settings));
    ASSERT_TRUE(loadPlugin(&plugin));
  }

  /* As the host starts a plug-in: load, then KSTEvent_Init. */
  void startWithSettings(const char *settings) {
    ASSERT_NO_FATAL_FAILURE(loadWithSettings(settings));
    ASSERT_EQ(1, plugin.exports.init(plugin.dllPath.c_str(), 0));
  }

  /* The speakers' volume and mute, set through the test's own handle. */
  void presetSpeakers(uint32_t level, uint32_t mute) {
    ASSERT_TRUE(openMixerProbe(&speakers, SPEAKERS_LINE));
    ASSERT_TRUE(kitWriteControl(&speakers, speakers.volumeControl, level));
    ASSERT_TRUE(kitWriteControl(&speakers, speakers.muteControl, mute));
  }

  void showTaskbar(void) {
    char reason[256] = "";
    ASSERT_TRUE(kitCreateTaskbar(&taskbar, reason, sizeof reason)) << reason;
  }

  /* The current raw volume, for comparing before and after. */
  uint32_t speakerLevel(void) {
    uint32_t level = 0;
    EXPECT_TRUE(kitReadControl(&speakers, speakers.volumeControl, &level));
    return level;
  }

  int32_t execute(int32_t commandId) {
    return plugin.exports.execute(commandId, 0);
  }

  InstalledPlugin plugin = {};
  MixerLineView speakers = {};
  StandInTaskbar taskbar = {};
};

#endif
