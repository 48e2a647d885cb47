/*
 * The 32-bit product as a 32-bit host meets it, in one process: where this
 * program runs under user-mode emulation every Windows program start costs
 * the better part of a minute, so it does in one run what only the 32-bit
 * DLL can show, and leaves the rest to the tests of the 64-bit build.
 *
 *   product_smoke.exe        (run in the release zip's unpacked folder)
 *
 * Its steps, in this order:
 *  1. a copy of the built DLL with VolEndpoint=0 sets the volume on Wine's
 *     mixer with the stand-in taskbar's clock notified; first, because the
 *     fake Core Audio server registered next takes the class Wine's winmm
 *     is built on, and winmm must have opened its devices before that;
 *  2. the project's fake Core Audio server is registered for the
 *     MMDeviceEnumerator class (undone at the end);
 *  3. the unpacked DLL with the shipped volume.ini: every export called
 *     through the stack probe, the record and command table read at 32-bit
 *     byte offsets against the table that volume.ini offers, MuteOn through
 *     the fake server with the clock notified and the display shown once,
 *     and gone after KSTEvent_Unload.
 * Prints every failed check and "N checks, F failed"; exits 1 on a failure.
 */
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command/command_families.h"
#include "fake_core_audio/fake_core_audio.h"
#include "mixer_probe.h"
#include "plugin_host.h"
#include "stack_probe.h"

namespace {

int checks, failures;

void check(const ::testing::AssertionResult &result, const char *what) {
  checks++;
  if (!result) {
    failures++;
    std::printf("FAILED: %s %s\n", what, result.message());
  }
}

void check(bool ok, const char *what) {
  check(ok ? ::testing::AssertionSuccess() : ::testing::AssertionFailure(),
        what);
}

/* A row of the command table that the shipped settings offer. */
struct ShippedCommand {
  int32_t id;
  char name[32];
};

/* The numbers a part of the table (rows with one key) is offered for by
 * the settings file at ini, read through kernel32 as the plug-in reads it:
 * the rule of command/command_families.h, so that the expected table is
 * the shipped file's, whatever it offers. */
uint32_t offeredNumbers(const char *ini, const CommandFamily &row,
                        int32_t numbers[COMMAND_SLOTS]) {
  numbers[0] = 0;
  if (row.keyKind == KEY_NONE)
    return 1;
  if (row.keyKind == KEY_SWITCH)
    return GetPrivateProfileIntA("Command", row.key, 0, ini) == 1;
  uint32_t count = 0;
  for (int slot = 0; slot < COMMAND_SLOTS; slot++) {
    char key[32], text[4];
    std::snprintf(key, sizeof key, "%s%d", row.key, slot);
    if (row.keyKind == KEY_TEXT_SLOTS) {
      if (GetPrivateProfileStringA("Command", key, "", text, sizeof text, ini))
        numbers[count++] = slot;
      continue;
    }
    int32_t value = (int32_t)GetPrivateProfileIntA("Command", key, -1, ini);
    if (value >= 0 && value <= COMMAND_RANGE)
      numbers[count++] = value;
  }
  return count;
}

/* For each number of a part, every row's command, in row order. */
std::vector<ShippedCommand> shippedTable(const char *ini) {
  std::vector<ShippedCommand> table;
  for (size_t first = 0; first < COMMAND_FAMILY_COUNT;) {
    const char *key = COMMAND_FAMILIES[first].key;
    size_t end = first + 1;
    while (key && end < COMMAND_FAMILY_COUNT && COMMAND_FAMILIES[end].key &&
           std::strcmp(COMMAND_FAMILIES[end].key, key) == 0)
      end++;
    int32_t numbers[COMMAND_SLOTS];
    uint32_t count = offeredNumbers(ini, COMMAND_FAMILIES[first], numbers);
    for (uint32_t k = 0; k < count; k++)
      for (size_t row = first; row < end; row++) {
        ShippedCommand command = {COMMAND_FAMILIES[row].firstId + numbers[k],
                                  ""};
        std::snprintf(command.name, sizeof command.name,
                      COMMAND_FAMILIES[row].nameFormat, (int)numbers[k]);
        table.push_back(command);
      }
    first = end;
  }
  return table;
}

/* Calls an export with 32-bit arguments as the host pushes them; checks
 * that it took exactly those off the stack and returns what it returned. */
uint32_t probeCall(const void *function, const uint32_t *arguments,
                   uint32_t count, const char *what) {
  uint32_t returned = 0;
  check(stackBytesLeftByCall(function, arguments, count, &returned) == 0, what);
  return returned;
}

/* ---- 1. The classic mixer ------------------------------------------- */

void mixerCommand(void) {
  InstalledPlugin plugin;
  check(installPlugin(&plugin, "[Setting]\r\nVolEndpoint=0\r\n"),
        "installs a copy with VolEndpoint=0");
  check(loadPlugin(&plugin), "loads the copy");
  if (!plugin.module)
    return removePlugin(&plugin);
  check(plugin.exports.init(plugin.dllPath.c_str(), 0) == 1, "Init");
  kitResetClockMessages();
  check(plugin.exports.execute(3037, 0) == 1, "Set(37) on the mixer");
  check(kitClockMessages().refreshes == 1, "the clock told once");
  MixerLineView speakers = {};
  check(openMixerProbe(&speakers, SPEAKERS_LINE), "the speakers line");
  check(volumeIsPercent(speakers, 37), "the speakers at 37 %");
  kitCloseMixerLine(&speakers);
  plugin.exports.unload();
  removePlugin(&plugin);
}

/* ---- 2. The fake Core Audio server ---------------------------------- */

const char ENUMERATOR_KEY[] = "CLSID\\{BCDE0395-E52F-467C-8E3D-C4579291692E}";

/* Registers the fake through its own DllRegisterServer; *created tells
 * whether the class had no registration before (else it is restored from
 * *saved, its InprocServer32 key's default value: Wine registers its own
 * server with ThreadingModel Both as well). In a 64-bit prefix this
 * 32-bit program sees the 32-bit view of the classes, which Wine's
 * prefix, made without its 32-bit half, leaves empty. */
FakeAudioState *registerFake(HMODULE fake, bool *created, std::string *saved) {
  HKEY key;
  *created = RegOpenKeyExA(HKEY_CLASSES_ROOT, ENUMERATOR_KEY, 0, KEY_READ,
                           &key) != ERROR_SUCCESS;
  if (!*created) {
    char value[MAX_PATH] = "";
    LONG size = sizeof value;
    RegQueryValueA(key, "InprocServer32", value, &size);
    *saved = value;
    RegCloseKey(key);
  }
  typedef HRESULT(__stdcall * RegisterFunction)(void);
  RegisterFunction registerServer =
      (RegisterFunction)(void *)GetProcAddress(fake, "DllRegisterServer");
  FakeAudioGetStateFunction getState =
      (FakeAudioGetStateFunction)(void *)GetProcAddress(fake,
                                                        "FakeAudioGetState");
  check(registerServer && getState && registerServer() == S_OK,
        "the fake Core Audio server registered");
  return getState ? getState() : nullptr;
}

void unregisterFake(bool created, const std::string &saved) {
  std::string server = std::string(ENUMERATOR_KEY) + "\\InprocServer32";
  if (created) {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, server.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ENUMERATOR_KEY);
  } else {
    RegSetValueA(HKEY_CLASSES_ROOT, server.c_str(), REG_SZ, saved.c_str(),
                 (DWORD)saved.size());
  }
}

/* ---- 3. The unpacked DLL --------------------------------------------- */

void readRecord(const InstalledPlugin &plugin, const char *ini) {
  const uint32_t path = (uint32_t)(uintptr_t)plugin.dllPath.c_str();
  const void *info = (const void *)(uintptr_t)probeCall(
      (const void *)plugin.exports.initPluginInfo, &path, 1,
      "InitPluginInfo pops its argument");
  check(info != nullptr, "an information record");
  if (!info)
    return;
  check(plugin.dllPath == readPointer(info, INFO_FILE_NAME),
        "the file name at offset 6");
  check(readU16(info, INFO_KIND_CODE) == 1, "kind code 1 at offset 10");
  check(readU32(info, INFO_VERSION_MS) != 0, "the version at offset 12");
  const std::vector<ShippedCommand> shipped = shippedTable(ini);
  const uint32_t count = readU32(info, INFO_COMMAND_COUNT);
  std::string what = "the shipped table's " + std::to_string(shipped.size()) +
                     " commands at offset 20 (the record has " +
                     std::to_string(count) + ")";
  check(count == shipped.size(), what.c_str());
  for (uint32_t i = 0; i < shipped.size() && i < count; i++) {
    const unsigned char *row = commandRecord(info, i);
    check(readU32(row, COMMAND_ID) == (uint32_t)shipped[i].id &&
              std::string(readPointer(row, COMMAND_NAME)) == shipped[i].name &&
              readPointer(row, COMMAND_CAPTION)[0] != 0 &&
              readU32(row, COMMAND_HOST_WORDS + 4) == 0xFFFFFFFFu &&
              readU32(row, COMMAND_HOST_WORDS + 8) == 4,
          shipped[i].name);
  }
  const uint32_t record = (uint32_t)(uintptr_t)info;
  probeCall((const void *)plugin.exports.freePluginInfo, &record, 1,
            "FreePluginInfo pops its argument");
}

/* Counts the visible top-level windows of this process made by another
 * thread than this one: the display's. */
BOOL CALLBACK countDisplayWindow(HWND window, LPARAM count) {
  DWORD process = 0;
  DWORD thread = GetWindowThreadProcessId(window, &process);
  if (process == GetCurrentProcessId() && thread != GetCurrentThreadId() &&
      IsWindowVisible(window))
    ++*(int *)count;
  return TRUE;
}

int displayWindows(void) {
  int count = 0;
  EnumWindows(countDisplayWindow, (LPARAM)&count);
  return count;
}

bool waitForDisplayWindows(int expected) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(20)) {
    if (displayWindows() == expected)
      return true;
  }
  return false;
}

void unpackedCommands(FakeAudioState *state) {
  char folder[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, folder);
  InstalledPlugin plugin = {};
  plugin.dllPath = std::string(folder) + "\\volume.dll";
  check(loadPlugin(&plugin), "loads the unpacked DLL");
  if (!plugin.module)
    return;
  /* Without the file every setting would be its default on both sides. */
  std::string ini = std::string(folder) + "\\volume.ini";
  check(GetFileAttributesA(ini.c_str()) != INVALID_FILE_ATTRIBUTES,
        "the shipped volume.ini beside it");
  readRecord(plugin, ini.c_str());
  const uint32_t initArguments[] = {(uint32_t)(uintptr_t)plugin.dllPath.c_str(),
                                    0};
  check(probeCall((const void *)plugin.exports.init, initArguments, 2,
                  "Init pops its arguments") == 1,
        "Init returns 1");
  const uint32_t hookArguments[] = {0, 0, 0};
  probeCall((const void *)plugin.exports.windowsHook, hookArguments, 3,
            "WindowsHook pops its arguments");
  kitResetClockMessages();
  const uint32_t muteOn[] = {2, 0};
  check(probeCall((const void *)plugin.exports.execute, muteOn, 2,
                  "Execute pops its arguments") == 1,
        "MuteOn through Core Audio returns 1");
  check(state && state->devices[0].muted, "the fake's default device muted");
  check(kitClockMessages().refreshes == 1, "the clock told once");
  check(waitForDisplayWindows(1), "the display shown, one window");
  probeCall((const void *)plugin.exports.unload, nullptr, 0,
            "Unload pops nothing");
  check(displayWindows() == 0, "no display window after Unload");
  check(state && state->liveReferences == 0, "no Core Audio object kept");
  FreeLibrary(plugin.module);
}

} // namespace

int main(void) {
  StandInTaskbar taskbar = {};
  char reason[256] = "";
  check(kitCreateTaskbar(&taskbar, reason, sizeof reason) != 0,
        "the stand-in taskbar");
  /* The display sits on the foreground window's monitor. */
  HWND foreground = CreateWindowExA(
      0, "STATIC", "foreground", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
      320, 200, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(foreground);

  mixerCommand();
  std::string fakePath = builtPluginPath();
  fakePath = fakePath.substr(0, fakePath.find_last_of('\\') + 1) +
             "fake_core_audio.dll";
  HMODULE fake = LoadLibraryA(fakePath.c_str());
  check(fake != nullptr, "loads fake_core_audio.dll");
  if (fake) {
    bool created = false;
    std::string saved;
    FakeAudioState *state = registerFake(fake, &created, &saved);
    unpackedCommands(state);
    unregisterFake(created, saved);
  }
  DestroyWindow(foreground);
  kitDestroyTaskbar(&taskbar);
  std::printf("%d checks, %d failed\n", checks, failures);
  return failures == 0 ? 0 : 1;
}
