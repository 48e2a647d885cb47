/*
 * The snapshot of the processes through the plug-in's own Windows layer,
 * of live processes, which only real Windows (Wine) can show: a helper the
 * test starts, the helper that one starts and another instance of the same
 * executable are listed by their executable's file name, each with the
 * process that started it as its parent. What the plug-in makes of the
 * parent ids (its helpers, a program's sessions) is tested natively.
 */
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "helper_processes.h"
#include "platform/platform.h"

namespace {

std::vector<ProcessEntry> snapshotNow(void) {
  std::vector<ProcessEntry> entries;
  ProcessSnapshot snapshot = platformSnapshotProcesses();
  EXPECT_NE(snapshot, 0u) << "no snapshot: error " << GetLastError();
  ProcessEntry entry;
  for (int more = snapshot && platformSnapshotProcess(snapshot, 1, &entry);
       more; more = platformSnapshotProcess(snapshot, 0, &entry))
    entries.push_back(entry);
  if (snapshot)
    platformCloseSnapshot(snapshot);
  return entries;
}

/* The processes the snapshot gives parent as their parent, once at least
 * count of them are listed with a file name (10 s at most: a helper
 * starts its child as it starts, and Wine names a new process in its
 * snapshots only once the process has finished starting). */
std::vector<ProcessEntry> childrenOf(DWORD parent, size_t count) {
  for (int tries = 0;; tries++) {
    std::vector<ProcessEntry> children;
    size_t named = 0;
    for (const ProcessEntry &entry : snapshotNow())
      if (entry.parentId == parent) {
        children.push_back(entry);
        named += entry.file[0] != 0;
      }
    if (named >= count || tries == 200)
      return children;
    Sleep(50);
  }
}

/* The file name as the snapshot gives it; ASCII here. */
std::string fileOf(const ProcessEntry &entry) {
  std::string file;
  for (size_t i = 0; i < PROCESS_FILE_SIZE && entry.file[i]; i++)
    file += (char)entry.file[i];
  return file;
}

TEST(ProcessSnapshot, NamesLiveProcessesWithTheirParents) {
  HANDLE job = makeHelperJob();
  PROCESS_INFORMATION started[2] = {};
  DWORD child = startHelperIn(job, "quiet quiet", &started[0]);
  DWORD other = startHelperIn(job, "quiet", &started[1]);
  ASSERT_TRUE(child && other);

  std::vector<ProcessEntry> grandchildren = childrenOf(child, 1);
  std::vector<ProcessEntry> children = childrenOf(GetCurrentProcessId(), 2);
  ASSERT_EQ(grandchildren.size(), 1u) << "the child's child is not listed";
  EXPECT_EQ(lstrcmpiA(fileOf(grandchildren[0]).c_str(), "focus_helper.exe"), 0)
      << fileOf(grandchildren[0]);
  ASSERT_EQ(children.size(), 2u);
  for (const ProcessEntry &entry : children) {
    EXPECT_TRUE(entry.processId == child || entry.processId == other);
    EXPECT_EQ(lstrcmpiA(fileOf(entry).c_str(), "focus_helper.exe"), 0)
        << fileOf(entry);
  }
  EXPECT_NE(children[0].processId, children[1].processId);
  EXPECT_TRUE(childrenOf(other, 0).empty()) << "the other one started none";
  endHelpers(job, started, 2);
}

} // namespace
