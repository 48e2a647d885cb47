/*
 * `plughost devices` over the sim linked into this program: every
 * device of both flows in every state with its roles, the order it lists
 * them in is the order the plug-in's Next goes round, and the settings
 * file's Output and Input texts mark the device they name.
 */
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plughost/devices.h"
#include "plughost_support.h"
#include "plugin/plugin.h"
#include "sim/sim.h"

namespace {

class PlughostDevices : public testing::Test {
protected:
  void SetUp() override { simEndpointReset(); }

  /* The listing, read as the program itself is; printed into *printed. */
  DevicesListing read(std::string *printed) {
    static DevicesListing listing;
    listing = DevicesListing();
    *printed = listHere(&DEVICES_LISTING, &listing);
    return listing;
  }
};

TEST_F(PlughostDevices, ListsEveryDeviceWithItsRoles) {
  simEndpointSetState(1, AUDIO_RENDER, SIM_DEVICE_ACTIVE);
  simEndpointSetName(1, "ヘッドホン (USB Headset)");
  simEndpointSetState(2, AUDIO_RENDER, SIM_DEVICE_UNPLUGGED);
  simEndpointSetState(5, AUDIO_CAPTURE, SIM_DEVICE_DISABLED);
  simEndpointSetDefaultFor(AUDIO_RENDER, AUDIO_COMMUNICATIONS, 1);
  simEndpointSetDefaultFor(AUDIO_CAPTURE, AUDIO_MULTIMEDIA, SIM_NO_DEFAULT);
  std::string printed;
  DevicesListing listing = read(&printed);
  const char *const head = "{0.0.0.00000000}.{sim-";
  std::string expected =
      "flow       state        default      \"name\"  id\n"
      "playback   active       con mm  -    \"Simulated speakers 0\"  " +
      std::string(head) +
      "0}\n"
      "playback   active       -   -   com  \"ヘッドホン (USB Headset)\"  " +
      head +
      "1}\n"
      "playback   unplugged    -   -   -    \"Simulated speakers 2\"  " +
      head + "2}\n";
  for (int slot = 4; slot < SIM_MAX_ENDPOINTS; slot++)
    if (slot != 5)
      expected += "playback   not present  -   -   -    \"Simulated speakers " +
                  std::to_string(slot) + "\"  " + head + std::to_string(slot) +
                  "}\n";
  expected += "recording  active       con -   com  \"Simulated microphone 3\""
              "  {0.0.1.00000000}.{sim-3}\n"
              "recording  disabled     -   -   -    \"Simulated microphone 5\""
              "  {0.0.1.00000000}.{sim-5}\n";
  EXPECT_EQ(printed.substr(0, expected.size()), expected) << printed;
  EXPECT_EQ(listing.count, (unsigned)SIM_MAX_ENDPOINTS);
  EXPECT_TRUE(listing.complete);
}

/* Playback states of slots 0 to 2 and the console default. */
struct NextRow {
  const char *name;
  uint32_t states[3];
  int console;
};

const uint32_t ON = SIM_DEVICE_ACTIVE, OFF = SIM_DEVICE_UNPLUGGED;

const NextRow NEXT_ROWS[] = {
    {"ToTheNext", {ON, ON, ON}, 0},
    {"PastAnUnplugged", {ON, OFF, ON}, 0},
    {"Wrapping", {ON, ON, ON}, 2},
    {"FromAnUnpluggedDefault", {ON, ON, OFF}, 2},
};

class PlughostDevicesNext : public PlughostDevices,
                            public testing::WithParamInterface<NextRow> {};

/* The active playback device after the one marked "con" in the listing,
 * wrapping (the first where none is marked), is where NextOutput goes. */
TEST_P(PlughostDevicesNext, NextOutputGoesToTheNextActiveDeviceListed) {
  const NextRow &row = GetParam();
  for (int slot = 0; slot < 3; slot++)
    simEndpointSetState(slot, AUDIO_RENDER, row.states[slot]);
  simEndpointSetDefault(row.console);
  std::string printed;
  DevicesListing listing = read(&printed);
  std::vector<std::string> active;
  int current = -1;
  for (unsigned i = 0; i < listing.count; i++) {
    const DeviceReport &device = listing.devices[i];
    if (device.flow == 0 && device.state == SIM_DEVICE_ACTIVE) {
      if (device.roles & 1u)
        current = (int)active.size();
      active.push_back(device.id);
    }
  }
  ASSERT_FALSE(active.empty()) << printed;
  std::string expected = active[(current + 1) % active.size()];
  ASSERT_EQ(1, KSTEvent_Execute(31, 0));
  DevicesListing after = read(&printed);
  EXPECT_EQ(after.defaults[0][0], expected) << printed;
}

INSTANTIATE_TEST_SUITE_P(Scenes, PlughostDevicesNext,
                         testing::ValuesIn(NEXT_ROWS),
                         [](const testing::TestParamInfo<NextRow> &info) {
                           return info.param.name;
                         });

/* After a device switch, `plughost run` names the defaults of the flows it
 * asks for, each device once with its roles. Slots 0 (the default of every
 * role) to 2 play; a row may set the communications default apart. */
struct AfterSwitchRow {
  const char *name;
  int communications; /* the playback communications default, or -1 */
  int noRecordingDefault;
  unsigned flows;
  const char *printed;
};

const AfterSwitchRow AFTER_SWITCH_ROWS[] = {
    {"EveryRoleMoves", -1, 0, 1,
     "  default playback   con mm  com  \"ヘッドホン (USB Headset)\"\n"},
    {"CommunicationsSetApart", 2, 0, 1,
     "  default playback   con mm  -    \"ヘッドホン (USB Headset)\"\n"
     "  default playback   -   -   com  \"Simulated speakers 2\"\n"},
    {"RecordingAsked", -1, 0, 2,
     "  default recording  con mm  com  \"Simulated microphone 3\"\n"},
    {"NoRecordingDefault", -1, 1, 3,
     "  default playback   con mm  com  \"ヘッドホン (USB Headset)\"\n"
     "  default recording  none\n"},
};

class PlughostAfterSwitch : public PlughostDevices,
                            public testing::WithParamInterface<AfterSwitchRow> {
};

TEST_P(PlughostAfterSwitch, NamesTheDefaultsOfItsFlows) {
  const AfterSwitchRow &row = GetParam();
  for (int slot = 0; slot < 3; slot++)
    simEndpointSetState(slot, AUDIO_RENDER, SIM_DEVICE_ACTIVE);
  simEndpointSetName(1, "ヘッドホン (USB Headset)");
  if (row.communications >= 0)
    simEndpointSetDefaultFor(AUDIO_RENDER, AUDIO_COMMUNICATIONS,
                             row.communications);
  for (int role = 0; role < 3 && row.noRecordingDefault; role++)
    simEndpointSetDefaultFor(AUDIO_CAPTURE, (AudioRole)role, SIM_NO_DEFAULT);
  ASSERT_EQ(1, KSTEvent_Execute(31, 0));
  char *text = nullptr;
  size_t size = 0;
  FILE *out = open_memstream(&text, &size);
  printDefaultDevices(out, dlopen(nullptr, RTLD_NOW), row.flows);
  fclose(out);
  std::string printed = text;
  free(text);
  EXPECT_EQ(printed, row.printed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlughostAfterSwitch, testing::ValuesIn(AFTER_SWITCH_ROWS),
    [](const testing::TestParamInfo<AfterSwitchRow> &info) {
      return info.param.name;
    });

/* ---- The slots that name a device ------------------------------------- */

struct SlotRow {
  const char *name;
  const char *key, *value; /* the value as code page 932 bytes */
  int device;              /* the simulated device it marks, or -1 */
};

/* ヘッドホン in code page 932. */
#define HEADPHONES_CP932 "\x83\x77\x83\x62\x83\x68\x83\x7A\x83\x93"

const SlotRow SLOT_ROWS[] = {
    {"TheFirstActiveDeviceNamed", "Output0", "usb headset", 2},
    {"AJapaneseText", "Output3", HEADPHONES_CP932, 2},
    {"AnyCase", "Output9", "SIMULATED", 0},
    {"ARecordingDevice", "Input2", "desk", 5},
    {"NotTheOtherDirection", "Output5", "desk", -1},
    {"OnlyAnUnpluggedOne", "Input1", "line in", -1},
    {"NoText", "Output1", "", -1},
};

class PlughostDeviceSlots : public PlughostDevices,
                            public testing::WithParamInterface<SlotRow> {};

/* Marked as the plug-in's commands by name find it: the slot's direction,
 * active devices only, the first in the listing's order. */
TEST_P(PlughostDeviceSlots, MarkWhatTheSlotsCommandsReach) {
  const SlotRow &row = GetParam();
  simEndpointSetState(1, AUDIO_RENDER, SIM_DEVICE_UNPLUGGED);
  simEndpointSetName(1, "USB Headset (old)");
  simEndpointSetState(2, AUDIO_RENDER, SIM_DEVICE_ACTIVE);
  simEndpointSetName(2, "ヘッドホン (USB Headset)");
  simEndpointSetState(5, AUDIO_CAPTURE, SIM_DEVICE_ACTIVE);
  simEndpointSetName(5, "Desk Microphone");
  simEndpointSetState(6, AUDIO_CAPTURE, SIM_DEVICE_UNPLUGGED);
  simEndpointSetName(6, "Line In");
  std::string folder =
      (std::filesystem::temp_directory_path() / "plughost-slots-XXXXXX")
          .string();
  ASSERT_NE(mkdtemp(folder.data()), nullptr);
  std::string path = folder + "/volume.ini";
  std::ofstream(path, std::ios::binary) << "[Command]\n"
                                        << row.key << "=" << row.value << "\n";
  std::string printed;
  DevicesListing listing = read(&printed);
  markNamingSlots(&listing, path.c_str());
  std::filesystem::remove_all(folder);
  unsigned slot = (unsigned)(row.key[strlen(row.key) - 1] - '0');
  for (unsigned i = 0; i < listing.count; i++) {
    const DeviceReport &device = listing.devices[i];
    std::string id = std::string("}.{sim-") + std::to_string(row.device) + "}";
    bool marked = row.device >= 0 && strstr(device.id, id.c_str()) &&
                  device.flow == (row.key[0] == 'I');
    EXPECT_EQ(device.slots, marked ? 1u << slot : 0u) << device.name;
  }
  char *text = nullptr;
  size_t size = 0;
  FILE *out = open_memstream(&text, &size);
  printDevicesListing(out, &listing);
  fclose(out);
  printed = text;
  free(text);
  std::string mark = std::string("}  ") + row.key + "\n";
  EXPECT_EQ(printed.find(mark) != std::string::npos, row.device >= 0)
      << printed;
  EXPECT_EQ(printed.find("Output<k>, Input<k>: ") != std::string::npos,
            row.device >= 0)
      << printed;
}

INSTANTIATE_TEST_SUITE_P(Texts, PlughostDeviceSlots,
                         testing::ValuesIn(SLOT_ROWS),
                         [](const testing::TestParamInfo<SlotRow> &info) {
                           return info.param.name;
                         });

} // namespace
