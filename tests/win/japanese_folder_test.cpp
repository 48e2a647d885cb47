/*
 * The Japanese user's machine: the system's ANSI code page is 932, and
 * the plug-in sits in a folder (or under a name) written in Japanese. An
 * ANSI host names it in code page 932 bytes, some of whose second bytes
 * are 0x5C, the backslash. The plug-in must find its settings file beside
 * it and hand over its captions as the same code page 932 bytes as
 * anywhere else.
 *
 * This program runs under a Japanese locale (LC_ALL=ja_JP.UTF-8, which
 * gives Wine the code page 932); see CMakeLists.txt.
 */
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "code_page.h"
#include "plugin_host.h"
#include "row_name.h"

enum { CODE_PAGE_SHIFT_JIS = 932 };

static std::wstring widened(const std::string &ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

static bool writeWideFile(const std::wstring &path, const std::string &text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

/* The file version as the test reads it, by the wide name. */
static uint32_t fileVersionMS(const std::wstring &path) {
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  std::string data(size, '\0');
  VS_FIXEDFILEINFO *fixed = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, &data[0]) ||
      !VerQueryValueW(&data[0], L"\\", (void **)&fixed, &length) || !fixed)
    return 0;
  return fixed->dwFileVersionMS;
}

struct JapaneseName {
  const char *name;
  const wchar_t *folder;  /* under the temporary folder */
  const wchar_t *dllName; /* the settings file: its last three letters ini */
  const wchar_t *settingsName;
};

static void PrintTo(const JapaneseName &name, std::ostream *out) {
  *out << name.name;
}

/* ソ (83 5C) and 表 (95 5C) end in the backslash byte. */
static const JapaneseName NAMES[] = {
    {"JapaneseFolder", L"音量ソフト表示", L"volume.dll", L"volume.ini"},
    {"JapaneseFileName", L"plugins", L"音量表.dll", L"音量表.ini"},
};

/* Settings that differ from every default: volume commands on the
 * headphones line, which Wine's device 0 lacks, and four commands. */
static const char SETTINGS[] = "[Setting]\r\nVolComponentType=5\r\n"
                               "[Command]\r\nUpDown0=7\r\nSet0=42\r\n";

class JapaneseFolderTest : public ::testing::TestWithParam<JapaneseName> {
protected:
  void TearDown() override {
    if (module) {
      exports.unload();
      FreeLibrary(module);
    }
    DeleteFileW(dllPath.c_str());
    DeleteFileW(settingsPath.c_str());
    RemoveDirectoryW(folder.c_str());
  }

  /* The plug-in copied into its folder with the settings beside it. */
  ::testing::AssertionResult install(void) {
    wchar_t temp[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
      return ::testing::AssertionFailure() << "no temporary folder";
    folder = std::wstring(temp) + GetParam().folder + L"-" +
             std::to_wstring(GetCurrentProcessId());
    dllPath = folder + L"\\" + GetParam().dllName;
    settingsPath = folder + L"\\" + GetParam().settingsName;
    if (!CreateDirectoryW(folder.c_str(), nullptr))
      return ::testing::AssertionFailure() << "cannot create the folder";
    if (!CopyFileW(widened(builtPluginPath()).c_str(), dllPath.c_str(), TRUE))
      return ::testing::AssertionFailure() << "cannot copy the plug-in";
    if (!writeWideFile(settingsPath, SETTINGS))
      return ::testing::AssertionFailure() << "cannot write the settings";
    return ::testing::AssertionSuccess();
  }

  std::wstring folder, dllPath, settingsPath;
  HMODULE module = nullptr;
  PluginExports exports = {};
};

TEST_P(JapaneseFolderTest, SettingsFoundAndCaptionsInCodePage932) {
  ASSERT_EQ(932u, GetACP()) << "not run under a Japanese locale";
  ASSERT_TRUE(install());
  /* The host is an ANSI program: it names the plug-in in the system's
   * code page, as GetACP says. */
  const std::string hostPath = inCodePage932(dllPath);
  ASSERT_EQ(dllPath.size(), (size_t)MultiByteToWideChar(
                                CODE_PAGE_SHIFT_JIS, 0, hostPath.c_str(),
                                (int)hostPath.size(), nullptr, 0));
  module = LoadLibraryA(hostPath.c_str());
  ASSERT_NE(nullptr, module) << "error " << GetLastError();
  MissingExports missing;
  ASSERT_TRUE(kitFindExports(module, &exports, &missing));
  ASSERT_EQ(1, exports.init(hostPath.c_str(), 0));

  PluginInfo *info = exports.initPluginInfo(hostPath.c_str());
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(inCodePage932(L"ボリュームを変更"), readPointer(info, INFO_NAME));
  EXPECT_EQ(hostPath, readPointer(info, INFO_FILE_NAME));
  EXPECT_EQ(fileVersionMS(dllPath), readU32(info, INFO_VERSION_MS));
  EXPECT_NE(0u, readU32(info, INFO_VERSION_MS));
  ASSERT_EQ(4u, readU32(info, INFO_COMMAND_COUNT));
  const wchar_t *const captions[] = {L"ボリュームを7上げる",
                                     L"ボリュームを7下げる",
                                     L"ボリュームを42にセット", L"ミュート"};
  for (uint32_t i = 0; i < 4; i++) {
    SCOPED_TRACE("command " + std::to_string(i));
    EXPECT_EQ(inCodePage932(captions[i]),
              readPointer(commandRecord(info, i), COMMAND_CAPTION));
  }
  exports.freePluginInfo(info);

  /* KSTEvent_Init read the same file: the volume commands look for the
   * headphones, which are not there, while mute works. */
  EXPECT_EQ(0, exports.execute(3050, 0));
  EXPECT_EQ(1, exports.execute(1, 0));
  EXPECT_EQ(1, exports.execute(1, 0));
}

INSTANTIATE_TEST_SUITE_P(Names, JapaneseFolderTest, ::testing::ValuesIn(NAMES),
                         rowName<JapaneseName>);
