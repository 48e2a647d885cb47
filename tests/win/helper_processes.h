/*
 * The focus helper (focus_helper.cpp) as the Wine tests start it: on the
 * calling thread's desktop, where the tests look for its windows, inside
 * a job that ends it and every process it starts when the test is done.
 */
#ifndef VOLUME_WIN_TESTS_HELPER_PROCESSES_H
#define VOLUME_WIN_TESTS_HELPER_PROCESSES_H

#include <windows.h>

#include <string>

/* A job whose processes end when it is closed; null when none is made. */
HANDLE makeHelperJob(void);
/* focus_helper.exe, from beside the test program, with these arguments,
 * in the job; its process id, or 0 (with the reason in a test failure). */
DWORD startHelperIn(HANDLE job, const std::string &arguments,
                    PROCESS_INFORMATION *started);
/* Ends the job's processes and waits for the ones the test started. */
void endHelpers(HANDLE job, PROCESS_INFORMATION *started, int count);

#endif
