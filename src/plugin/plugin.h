/*
 * The host's view of the plug-in: the records it reads and the functions it
 * calls. Everything here is an interface with a 32-bit host and must keep
 * its layout exactly.
 */
#ifndef VOLUME_PLUGIN_H
#define VOLUME_PLUGIN_H

#include <cstddef>
#include <cstdint>

/* The host calls every export with the standard Windows convention: the
 * callee pops its arguments. Other targets have a single convention. */
#if defined(_WIN32)
#define KST_API __stdcall
#else
#define KST_API
#endif

/* One command offered to the host; eight 32-bit fields, 32 bytes. */
struct CommandInfo {
  char *name;         /* command name, ASCII */
  char *caption;      /* caption shown by the host, code page 932 */
  int32_t commandId;  /* handed back to KSTEvent_Execute */
  uint32_t hostWord1; /* host's; always 0 */
  uint32_t hostWord2; /* host's; always all bits set */
  uint32_t hostWord3; /* host's; always 4 */
  uint32_t hostWord4; /* host's; always 0 */
  uint32_t hostWord5; /* host's; always 0 */
};

/* What the plug-in is. The host reads it packed, with the two string
 * pointers at the unaligned offsets 2 and 6. */
#pragma pack(push, 1)
struct PluginInfo {
  uint16_t headerWord;   /* host's; not assigned by the plug-in */
  char *name;            /* display name, code page 932 */
  char *fileName;        /* the host's file name, byte for byte */
  uint16_t kindCode;     /* host's; always 1 */
  uint32_t versionMS;    /* dwFileVersionMS of the file, or 0 */
  uint32_t versionLS;    /* dwFileVersionLS of the file, or 0 */
  uint32_t commandCount; /* records in commands */
  CommandInfo *commands; /* the command table */
};
#pragma pack(pop)

/* The record is 28 bytes; the host expects a block of 32. With 64-bit
 * pointers (the native build) the record itself is larger than that. */
enum {
  PLUGIN_INFO_BLOCK_SIZE = sizeof(PluginInfo) > 32 ? sizeof(PluginInfo) : 32
};

static_assert(offsetof(PluginInfo, headerWord) == 0, "PluginInfo.headerWord");
static_assert(offsetof(PluginInfo, name) == 2, "PluginInfo.name");
static_assert(offsetof(CommandInfo, name) == 0, "CommandInfo.name");
static_assert(offsetof(CommandInfo, hostWord5) -
                      offsetof(CommandInfo, commandId) ==
                  20,
              "CommandInfo words follow each other");
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(PluginInfo, fileName) == 6, "PluginInfo.fileName");
static_assert(offsetof(PluginInfo, kindCode) == 10, "PluginInfo.kindCode");
static_assert(offsetof(PluginInfo, versionMS) == 12, "PluginInfo.versionMS");
static_assert(offsetof(PluginInfo, versionLS) == 16, "PluginInfo.versionLS");
static_assert(offsetof(PluginInfo, commandCount) == 20,
              "PluginInfo.commandCount");
static_assert(offsetof(PluginInfo, commands) == 24, "PluginInfo.commands");
static_assert(sizeof(PluginInfo) == 28, "PluginInfo size");
static_assert(offsetof(CommandInfo, caption) == 4, "CommandInfo.caption");
static_assert(offsetof(CommandInfo, commandId) == 8, "CommandInfo.commandId");
static_assert(offsetof(CommandInfo, hostWord1) == 12, "CommandInfo.hostWord1");
static_assert(offsetof(CommandInfo, hostWord2) == 16, "CommandInfo.hostWord2");
static_assert(offsetof(CommandInfo, hostWord3) == 20, "CommandInfo.hostWord3");
static_assert(offsetof(CommandInfo, hostWord4) == 24, "CommandInfo.hostWord4");
static_assert(offsetof(CommandInfo, hostWord5) == 28, "CommandInfo.hostWord5");
static_assert(sizeof(CommandInfo) == 32, "CommandInfo size");
#else
/* 64-bit builds (native, and the Windows tests' 64-bit DLL) have the same
 * fields with 8-byte pointers; the tests read them at these offsets. */
static_assert(offsetof(PluginInfo, fileName) == 10, "PluginInfo.fileName");
static_assert(offsetof(PluginInfo, kindCode) == 18, "PluginInfo.kindCode");
static_assert(offsetof(PluginInfo, versionMS) == 20, "PluginInfo.versionMS");
static_assert(offsetof(PluginInfo, versionLS) == 24, "PluginInfo.versionLS");
static_assert(offsetof(PluginInfo, commandCount) == 28,
              "PluginInfo.commandCount");
static_assert(offsetof(PluginInfo, commands) == 32, "PluginInfo.commands");
static_assert(sizeof(PluginInfo) == 40, "PluginInfo size");
static_assert(offsetof(CommandInfo, caption) == 8, "CommandInfo.caption");
static_assert(offsetof(CommandInfo, commandId) == 16, "CommandInfo.commandId");
static_assert(sizeof(CommandInfo) == 40, "CommandInfo size");
#endif

extern "C" {
PluginInfo *KST_API KSTEvent_InitPluginInfo(const char *fileName);
void KST_API KSTEvent_FreePluginInfo(PluginInfo *info);
int32_t KST_API KSTEvent_Init(const char *fileName, uint32_t reserved);
void KST_API KSTEvent_Unload(void);
int32_t KST_API KSTEvent_Execute(int32_t commandId, uint32_t reserved);
void KST_API KSTEvent_WindowsHook(uint32_t code, uint32_t wParam,
                                  uint32_t lParam);
}

#endif
