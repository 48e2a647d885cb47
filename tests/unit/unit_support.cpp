#include "unit_support.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <iterator>

#include "mixer/mixer.h"
#include "plugin/plugin.h"
#include "plugin/settings.h"

void PluginTest::SetUp() {
  releaseMixer();
  simMixerReset();
  simWindowsReset();
  simHeapReset();
  std::string pattern =
      (std::filesystem::temp_directory_path() / "volume-unit-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder = pattern;
  modulePath = folder + "/volume.dll";
  simSetModuleFileName(modulePath.c_str());
  /* What the setting is before the host has called KSTEvent_Init. */
  forgetStartupSettings();
}

void PluginTest::TearDown() {
  simSetModuleFileName(nullptr);
  if (!folder.empty())
    std::filesystem::remove_all(folder);
}

void PluginTest::writeSettings(const std::string &text) const {
  writeFile(folder + "/volume.ini", text);
}

void writeFile(const std::string &path, const std::string &bytes) {
  std::ofstream file(path, std::ios::binary);
  file << bytes;
  ASSERT_TRUE(file.good()) << path;
}

std::string readFile(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string cp932(const std::string &utf8) {
  iconv_t converter = iconv_open("CP932", "UTF-8");
  if (converter == (iconv_t)-1)
    return "<no CP932 converter>";
  std::string in = utf8, out(4 * utf8.size() + 4, '\0');
  char *inText = in.data(), *outText = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  size_t done = iconv(converter, &inText, &inLeft, &outText, &outLeft);
  iconv_close(converter);
  if (done == (size_t)-1)
    return "<not encodable>";
  out.resize(out.size() - outLeft);
  return out;
}

std::string paramName(int64_t value) {
  return value < 0 ? "minus" + std::to_string(-value) : std::to_string(value);
}

SimLine *speakers(void) { return simMixerLine(MIXER_COMPONENT_DST_SPEAKERS); }

void setLevels(SimLine *line, const std::vector<uint32_t> &levels) {
  for (size_t i = 0; i < levels.size(); i++)
    line->levels[i] = levels[i];
}

std::vector<uint32_t> levelsOf(const SimLine *line) {
  return std::vector<uint32_t>(line->levels, line->levels + line->channels);
}

void addSessions(const std::vector<Session> &sessions) {
  for (const Session &s : sessions) {
    SimSession *added = simSessionAdd(s.device, s.process);
    added->scalar = s.scalar;
    added->muted = s.muted;
    added->state = s.state;
    added->systemSounds = s.system;
  }
}

std::vector<float> sessionScalars(void) {
  std::vector<float> found;
  for (unsigned i = 0; simSessionAt(i); i++)
    found.push_back(simSessionAt(i)->scalar);
  return found;
}

std::vector<int32_t> sessionMutes(void) {
  std::vector<int32_t> found;
  for (unsigned i = 0; simSessionAt(i); i++)
    found.push_back(simSessionAt(i)->muted);
  return found;
}

ExpectedCommand up(int v) {
  std::string n = std::to_string(v);
  return {"VolumeUp(" + n + ")", "ボリュームを" + n + "上げる", 1000 + v};
}
ExpectedCommand down(int v) {
  std::string n = std::to_string(v);
  return {"VolumeDown(" + n + ")", "ボリュームを" + n + "下げる", 2000 + v};
}
ExpectedCommand set(int v) {
  std::string n = std::to_string(v);
  return {"Set(" + n + ")", "ボリュームを" + n + "にセット", 3000 + v};
}
ExpectedCommand mute(void) { return {"Mute", "ミュート", 1}; }

/* Every slot used: 5, 10, ... 50 steps and 10, 20, ... 100 percent. */
std::string fullCommandSection(void) {
  std::string text = "[Command]\n";
  for (int k = 0; k < 10; k++)
    text += "UpDown" + std::to_string(k) + "=" + std::to_string(5 * k + 5) +
            "\nSet" + std::to_string(k) + "=" + std::to_string(10 * k + 10) +
            "\n";
  return text;
}

std::vector<ExpectedCommand> fullCommandTable(void) {
  std::vector<ExpectedCommand> table;
  for (int k = 0; k < 10; k++) {
    table.push_back(up(5 * k + 5));
    table.push_back(down(5 * k + 5));
  }
  for (int k = 0; k < 10; k++)
    table.push_back(set(10 * k + 10));
  table.push_back(mute());
  return table;
}

void expectCommand(const CommandInfo &command, const ExpectedCommand &want) {
  EXPECT_STREQ(command.name, want.name.c_str());
  EXPECT_STREQ(command.caption, cp932(want.captionUtf8).c_str()) << want.name;
  EXPECT_EQ(command.commandId, want.id);
  const uint32_t words[] = {command.hostWord1, command.hostWord2,
                            command.hostWord3, command.hostWord4,
                            command.hostWord5};
  const uint32_t hostWords[] = {0, 0xFFFFFFFFu, 4, 0, 0};
  EXPECT_EQ(memcmp(words, hostWords, sizeof words), 0) << want.name;
}
