/*
 * The debugger's channel of the kit's own process. A writer waits for the
 * "DBWIN_BUFFER_READY" event, writes its process id and its text into the
 * "DBWIN_BUFFER" section and sets "DBWIN_DATA_READY"; the listener takes
 * the text and sets the buffer ready again. Windows and Wine both do this
 * where no debugger is attached.
 */
#include <cstring>

#include "hostkit/hostkit.h"

/* The mark the kit says itself: when it comes through, everything said
 * before it has. */
static const char SYNC_MARK[] = "\x01plughost-sync\n";

enum { DBWIN_SIZE = 4096 };

static struct {
  HANDLE bufferReady, dataReady, section, thread, synced;
  const char *view; /* DWORD process id, then the text */
  volatile LONG stopping;
  CRITICAL_SECTION lock; /* guards text */
  char text[KIT_DEBUG_TEXT_SIZE];
  size_t length;
} listener;

static void keepText(const char *said) {
  EnterCriticalSection(&listener.lock);
  size_t length = strnlen(said, DBWIN_SIZE - sizeof(DWORD));
  if (listener.length + length < KIT_DEBUG_TEXT_SIZE) {
    memcpy(listener.text + listener.length, said, length);
    listener.length += length;
    listener.text[listener.length] = '\0';
  }
  LeaveCriticalSection(&listener.lock);
}

static DWORD WINAPI listen(void *) {
  while (WaitForSingleObject(listener.dataReady, INFINITE) == WAIT_OBJECT_0 &&
         !listener.stopping) {
    DWORD process = 0;
    memcpy(&process, listener.view, sizeof process);
    const char *said = listener.view + sizeof process;
    if (process == GetCurrentProcessId()) {
      if (strcmp(said, SYNC_MARK) == 0)
        SetEvent(listener.synced);
      else
        keepText(said);
    }
    SetEvent(listener.bufferReady);
  }
  return 0;
}

static void closeHandles(void) {
  if (listener.view)
    UnmapViewOfFile(listener.view);
  HANDLE handles[] = {listener.bufferReady, listener.dataReady,
                      listener.section, listener.synced, listener.thread};
  for (HANDLE handle : handles)
    if (handle)
      CloseHandle(handle);
  listener.view = nullptr;
  listener.bufferReady = listener.dataReady = listener.section = nullptr;
  listener.synced = listener.thread = nullptr;
}

int kitListenDebugOutput(void) {
  InitializeCriticalSection(&listener.lock);
  listener.length = 0;
  listener.stopping = 0;
  listener.bufferReady =
      CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
  int taken = GetLastError() == ERROR_ALREADY_EXISTS;
  listener.dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
  listener.section =
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                         DBWIN_SIZE, "DBWIN_BUFFER");
  listener.synced = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (listener.section)
    listener.view =
        (const char *)MapViewOfFile(listener.section, FILE_MAP_READ, 0, 0, 0);
  if (!taken && listener.view && listener.dataReady && listener.synced)
    listener.thread = CreateThread(nullptr, 0, listen, nullptr, 0, nullptr);
  if (!listener.thread) {
    closeHandles();
    DeleteCriticalSection(&listener.lock);
    return 0;
  }
  SetEvent(listener.bufferReady);
  return 1;
}

void kitTakeDebugOutput(char *text, size_t size) {
  if (size == 0)
    return;
  text[0] = '\0';
  if (!listener.thread)
    return;
  OutputDebugStringA(SYNC_MARK);
  WaitForSingleObject(listener.synced, 5000);
  EnterCriticalSection(&listener.lock);
  size_t length = listener.length < size ? listener.length : size - 1;
  memcpy(text, listener.text, length);
  text[length] = '\0';
  listener.length = 0;
  LeaveCriticalSection(&listener.lock);
}

void kitStopDebugOutput(void) {
  if (!listener.thread)
    return;
  listener.stopping = 1;
  SetEvent(listener.dataReady);
  WaitForSingleObject(listener.thread, 5000);
  closeHandles();
  DeleteCriticalSection(&listener.lock);
}
