/*
 * The focus helper started by the Wine tests, in a job of the test's: a
 * helper's own children end with it, though TerminateProcess of a parent
 * leaves its children running.
 */
#include "helper_processes.h"

#include <gtest/gtest.h>

#include "plugin_host.h"

/* "station\desktop" of the calling thread: the helper must share the
 * private desktop, where the tests' FindWindowA looks. */
static std::string threadDesktop(void) {
  char station[128] = "", desktop[128] = "";
  GetUserObjectInformationA(GetProcessWindowStation(), UOI_NAME, station,
                            sizeof station, nullptr);
  GetUserObjectInformationA(GetThreadDesktop(GetCurrentThreadId()), UOI_NAME,
                            desktop, sizeof desktop, nullptr);
  return std::string(station) + "\\" + desktop;
}

HANDLE makeHelperJob(void) {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job && !SetInformationJobObject(job, JobObjectExtendedLimitInformation,
                                      &limits, sizeof limits)) {
    CloseHandle(job);
    job = nullptr;
  }
  EXPECT_NE(job, nullptr) << "no job: error " << GetLastError();
  return job;
}

/* Started suspended, so that it is in the job before it can start a
 * child: every process it starts is then in the job too. */
DWORD startHelperIn(HANDLE job, const std::string &arguments,
                    PROCESS_INFORMATION *started) {
  std::string program = builtPluginPath();
  program = program.substr(0, program.find_last_of('\\') + 1);
  std::string command = "\"" + program + "focus_helper.exe\" " + arguments;
  std::string desktop = threadDesktop();
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.lpDesktop = &desktop[0];
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE,
                      CREATE_SUSPENDED, nullptr, nullptr, &startup, started)) {
    ADD_FAILURE() << command << ": error " << GetLastError();
    *started = PROCESS_INFORMATION();
    return 0;
  }
  EXPECT_TRUE(job && AssignProcessToJobObject(job, started->hProcess))
      << "not in the job: error " << GetLastError();
  ResumeThread(started->hThread);
  return started->dwProcessId;
}

void endHelpers(HANDLE job, PROCESS_INFORMATION *started, int count) {
  if (job) {
    TerminateJobObject(job, 0);
    CloseHandle(job);
  }
  for (int i = 0; i < count; i++)
    if (started[i].hProcess) {
      TerminateProcess(started[i].hProcess, 0);
      WaitForSingleObject(started[i].hProcess, 5000);
      CloseHandle(started[i].hProcess);
      CloseHandle(started[i].hThread);
      started[i] = PROCESS_INFORMATION();
    }
}
