/*
 * The version resource of the built DLL, read with version.dll as
 * Explorer's property page reads it, and the version the info record
 * reports for the file the host names.
 */
#include <cstring>
#include <string>
#include <vector>

#include "plugin_test.h"

/* The DLL's whole version block, as GetFileVersionInfoA returns it. */
static std::vector<unsigned char> versionBlock(const std::string &path) {
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
  std::vector<unsigned char> block(size);
  if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
    block.clear();
  return block;
}

TEST(VersionResourceTest, FixedPart) {
  std::vector<unsigned char> block = versionBlock(builtPluginPath());
  ASSERT_FALSE(block.empty());
  VS_FIXEDFILEINFO *fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", (void **)&fixed, &length));
  ASSERT_LE(sizeof *fixed, length);
  EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
  EXPECT_EQ(0x0001000Cu, fixed->dwFileVersionMS);
  EXPECT_EQ(0x00000004u, fixed->dwFileVersionLS);
  EXPECT_EQ(0x0001000Cu, fixed->dwProductVersionMS);
  EXPECT_EQ(0x00000004u, fixed->dwProductVersionLS);
  EXPECT_EQ(0x3Fu, fixed->dwFileFlagsMask);
  EXPECT_EQ(0u, fixed->dwFileFlags);
  EXPECT_EQ(0x40004u, fixed->dwFileOS); /* VOS_NT_WINDOWS32 */
  EXPECT_EQ((DWORD)VFT_DLL, fixed->dwFileType);
  EXPECT_EQ(0u, fixed->dwFileSubtype);
  EXPECT_EQ(0u, fixed->dwFileDateMS);
  EXPECT_EQ(0u, fixed->dwFileDateLS);
}

TEST(VersionResourceTest, TranslationIsJapaneseUnicode) {
  std::vector<unsigned char> block = versionBlock(builtPluginPath());
  ASSERT_FALSE(block.empty());
  WORD *translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             (void **)&translation, &length));
  ASSERT_EQ(4u, length) << "one language and code page pair";
  EXPECT_EQ(0x0411, translation[0]);
  EXPECT_EQ(0x04b0, translation[1]);
}

struct VersionString {
  const wchar_t *key;
  const wchar_t *value;
};

static const VersionString VERSION_STRINGS[] = {
    {L"Comments", L""},
    {L"CompanyName", L""},
    {L"FileDescription", L"ボリュームを変更"},
    {L"FileVersion", L"1, 12, 0, 4"},
    {L"InternalName", L"volume"},
    {L"LegalTrademarks", L""},
    {L"OriginalFilename", L"volume.dll"},
    {L"PrivateBuild", L""},
    {L"ProductName", L""},
    {L"ProductVersion", L"1, 12, 0, 4"},
    {L"SpecialBuild", L""},
};

/* Queried as UTF-16, the form the resource stores them in. */
TEST(VersionResourceTest, StringsOfTheJapaneseTable) {
  std::vector<unsigned char> block = versionBlock(builtPluginPath());
  ASSERT_FALSE(block.empty());
  for (const VersionString &string : VERSION_STRINGS) {
    std::wstring key =
        std::wstring(L"\\StringFileInfo\\041104b0\\") + string.key;
    SCOPED_TRACE(std::string(key.begin(), key.end()));
    wchar_t *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueW(block.data(), key.c_str(), (void **)&value, &length));
    ASSERT_NE(nullptr, value);
    EXPECT_EQ(std::wstring(string.value), std::wstring(value));
  }
}

TEST(VersionResourceTest, ResourceLanguageIsJapanese) {
  HMODULE module = LoadLibraryExA(builtPluginPath().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, module);
  EXPECT_NE(nullptr, FindResourceExA(module, (LPCSTR)RT_VERSION,
                                     MAKEINTRESOURCEA(1), 0x0411));
  FreeLibrary(module);
}

class ReportedVersionTest : public PluginTest {};

/* The version comes from the file the host names, which need not be the
 * DLL; a file without a version resource still gets a full record. */
TEST_F(ReportedVersionTest, VersionOfTheNamedFile) {
  ASSERT_NO_FATAL_FAILURE(loadWithSettings("[Command]\r\nUpDown0=5\r\n"));
  const std::string textFile = plugin.folder + "notes.txt";
  ASSERT_TRUE(writeFileBytes(textFile, "1.12.0.4\r\n"));
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  ASSERT_EQ(0u, GetFileVersionInfoSizeA(program, nullptr))
      << "the test program is meant to have no version resource";
  const struct {
    std::string path;
    uint32_t versionMS;
    uint32_t versionLS;
  } files[] = {{plugin.dllPath, 0x0001000C, 4},
               {plugin.settingsPath, 0, 0},
               {textFile, 0, 0},
               {program, 0, 0},
               {plugin.folder + "missing.dll", 0, 0}};
  for (const auto &file : files) {
    SCOPED_TRACE(file.path);
    PluginInfo *info = plugin.exports.initPluginInfo(file.path.c_str());
    ASSERT_NE(nullptr, info);
    EXPECT_EQ(file.versionMS, readU32(info, INFO_VERSION_MS));
    EXPECT_EQ(file.versionLS, readU32(info, INFO_VERSION_LS));
    EXPECT_EQ(3u, readU32(info, INFO_COMMAND_COUNT));
    EXPECT_STREQ("Mute", readPointer(commandRecord(info, 2), COMMAND_NAME));
    EXPECT_NE(nullptr, readPointer(info, INFO_NAME));
    plugin.exports.freePluginInfo(info);
  }
}
