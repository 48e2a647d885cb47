/*
 * What every unit test of the plug-in shares: a fixture that puts the
 * library back into its just-loaded state over the sim, a
 * private folder for settings files, and an encoder to code page 932 that
 * does not depend on the plug-in's own constants.
 */
#ifndef VOLUME_UNIT_SUPPORT_H
#define VOLUME_UNIT_SUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/sim.h"

/* The value test buffers are filled with before a call that must not
 * write them. */
enum : uint32_t { POISON = 0xCCCCCCCCu };

class PluginTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  /* Writes the settings file the plug-in reads, <folder>/volume.ini. */
  void writeSettings(const std::string &text) const;

  std::string folder;     /* empty, private to the case */
  std::string modulePath; /* <folder>/volume.dll, the module's name */
};

void writeFile(const std::string &path, const std::string &bytes);
std::string readFile(const std::string &path);

/* The text converted by the C library's iconv, UTF-8 to code page 932. */
std::string cp932(const std::string &utf8);

/* The case name of a table row that carries its own. */
template <typename Row>
std::string rowName(const testing::TestParamInfo<Row> &info) {
  return info.param.name;
}

/* A number as a test name: digits, with "minus" for the sign. */
std::string paramName(int64_t value);

SimLine *speakers(void);
/* Sets the first levels.size() channels of a line. */
void setLevels(SimLine *line, const std::vector<uint32_t> &levels);
/* Every channel of the line, as many as it has. */
std::vector<uint32_t> levelsOf(const SimLine *line);

/* An audio session added to the sim: on playback device 0 or 1, of a
 * process, its level and mute, its state (0 inactive, 1 active, 2
 * expired) and whether it is the system sounds'. */
struct Session {
  int device;
  uint32_t process;
  float scalar;
  int32_t muted;
  int32_t state;
  int system;
};

void addSessions(const std::vector<Session> &sessions);
/* Every session's level, and its mute, in the order they were added. */
std::vector<float> sessionScalars(void);
std::vector<int32_t> sessionMutes(void);

struct CommandInfo;

/* A command the table must hold; the caption as UTF-8. */
struct ExpectedCommand {
  std::string name;
  std::string captionUtf8;
  int32_t id;
};

ExpectedCommand up(int step);
ExpectedCommand down(int step);
ExpectedCommand set(int percent);
ExpectedCommand mute(void);

/* A [Command] section with all twenty slots valid, and its table. */
std::string fullCommandSection(void);
std::vector<ExpectedCommand> fullCommandTable(void);

void expectCommand(const CommandInfo &command, const ExpectedCommand &want);

#endif
