/*
 * The right the Windows layer asks for when it opens the foreground
 * process, against the refusals of Windows that Wine never makes (it
 * grants a process of the same user every right): an elevated process,
 * seen from a host that is not, and a protected one grant only a few. The
 * stand-in for OpenProcess refuses as they do and otherwise opens the
 * test's own process with the rights asked, so that its executable's path
 * is read through the handle for real.
 */
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "row_name.h"

namespace {

const DWORD SET_LIMITED_INFORMATION = 0x2000; /* not in mingw's headers */

struct AccessRow {
  const char *name;
  DWORD granted; /* what such a process grants a caller of its user */
};

const AccessRow ACCESS_ROWS[] = {
    {"SameUser", PROCESS_ALL_ACCESS},
    /* No read up the integrity levels: the full query right is a read. */
    {"Elevated", PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE},
    {"Protected", PROCESS_QUERY_LIMITED_INFORMATION | SET_LIMITED_INFORMATION |
                      PROCESS_TERMINATE | PROCESS_SUSPEND_RESUME | SYNCHRONIZE},
};

DWORD granted, asked;

ProcessHandle openAsWindowsWould(uint32_t access, uint32_t) {
  asked = access;
  if (access & ~granted) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  return (ProcessHandle)OpenProcess(access, FALSE, GetCurrentProcessId());
}

class ProcessAccess : public testing::TestWithParam<AccessRow> {
protected:
  void TearDown() override { platformReplaceOpenProcess(nullptr); }
};

TEST_P(ProcessAccess, TheExecutableIsReadWithTheRightsGranted) {
  granted = GetParam().granted;
  platformReplaceOpenProcess(openAsWindowsWould);
  ProcessHandle process = platformOpenProcess(GetCurrentProcessId());
  ASSERT_NE(process, 0u) << "refused: asked for 0x" << std::hex << asked;
  uint16_t path[MAX_PATH] = {};
  uint32_t length = platformProcessImageName(process, path, MAX_PATH);
  platformCloseProcess(process);
  WCHAR own[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  EXPECT_GT(length, 0u) << "the handle cannot read the path";
  EXPECT_EQ(0, lstrcmpiW((LPCWSTR)path, own));
}

INSTANTIATE_TEST_SUITE_P(Processes, ProcessAccess,
                         testing::ValuesIn(ACCESS_ROWS), rowName<AccessRow>);

} // namespace
