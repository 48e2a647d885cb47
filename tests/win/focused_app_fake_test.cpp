/*
 * The focused application's commands through the real COM calls, against
 * the fake Core Audio server's sessions: a helper program the test starts
 * is brought to the foreground, and the real DLL finds its sessions by its
 * process and, where it has none, by its own helper (a process of its
 * executable it started, without a window), never by another instance of
 * its executable that it did not start, or inside a Store app's frame,
 * then releases everything. The rules themselves are tested natively.
 */
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fake_core_audio/fake_core_audio.h"
#include "helper_processes.h"
#include "plugin_host.h"

namespace {

class FocusedAppFakeTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(openFakeAudio(&fake, &state, nullptr));
    ASSERT_TRUE(installPlugin(&plugin, nullptr));
    ASSERT_TRUE(loadPlugin(&plugin));
    ASSERT_EQ(1, plugin.exports.init(plugin.dllPath.c_str(), 0));
  }

  void TearDown() override {
    endHelpers(job, helpers, 2);
    if (frame)
      DestroyWindow(frame);
    removePlugin(&plugin);
    if (state) {
      EXPECT_EQ(state->liveReferences, 0);
    }
    if (fake)
      FreeLibrary(fake);
  }

  DWORD startHelper(int index, const char *argument) {
    if (!job)
      job = makeHelperJob();
    return startHelperIn(job, argument, &helpers[index]);
  }

  /* The helper's window, once it is in the foreground; null after 10 s. */
  HWND foregroundHelper(DWORD processId) {
    for (int tries = 0; tries < 200; tries++) {
      HWND window = FindWindowA("VolumeFocusHelper", nullptr);
      DWORD owner = 0;
      if (window && GetWindowThreadProcessId(window, &owner) &&
          owner == processId) {
        SetForegroundWindow(window);
        if (GetForegroundWindow() == window)
          return window;
      }
      Sleep(50);
    }
    return nullptr;
  }

  /* A Store app's frame, of the test's own process, standing for
   * ApplicationFrameHost's. A new desktop's first window is sometimes
   * refused under load, so it is tried again. */
  HWND makeFrame(void) {
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = DefWindowProcA;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.lpszClassName = "ApplicationFrameWindow";
    RegisterClassA(&frameClass);
    for (int tries = 0; tries < 3 && !frame; tries++) {
      if (tries > 0)
        Sleep(200);
      frame = CreateWindowExA(0, frameClass.lpszClassName, "frame",
                              WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                              nullptr, frameClass.hInstance, nullptr);
    }
    return frame;
  }

  /* The app's window inside the frame, made by processId; waited for
   * with the frame's messages answered, for 10 s at most. */
  bool appInsideFrame(DWORD processId) {
    for (int tries = 0; tries < 200; tries++) {
      HWND app =
          FindWindowExA(frame, nullptr, "Windows.UI.Core.CoreWindow", nullptr);
      DWORD owner = 0;
      if (app && GetWindowThreadProcessId(app, &owner) && owner == processId)
        return true;
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
      Sleep(50);
    }
    return false;
  }

  void addSession(int device, DWORD processId, float volume) {
    FakeSession &session = state->sessions[state->sessionCount++];
    session = {device, processId, 1, FALSE, volume, FALSE, L"session"};
  }

  int32_t execute(int32_t id) { return plugin.exports.execute(id, 0); }

  HMODULE fake = nullptr;
  FakeAudioState *state = nullptr;
  InstalledPlugin plugin = {};
  HANDLE job = nullptr;
  PROCESS_INFORMATION helpers[2] = {};
  HWND frame = nullptr;
};

/* The program's helper is the quiet child it started; another quiet
 * instance of its executable, which the test started, is another program. */
TEST_F(FocusedAppFakeTest, FindsTheForegroundProgramByProcessAndItsHelper) {
  AllowSetForegroundWindow(ASFW_ANY);
  DWORD shown = startHelper(0, "window quiet");
  DWORD other = startHelper(1, "quiet");
  ASSERT_TRUE(shown && other);
  HWND window = foregroundHelper(shown);
  ASSERT_NE(window, nullptr) << "the helper never came up";
  char title[32] = "";
  GetWindowTextA(window, title, sizeof title);
  DWORD child = (DWORD)strtoul(title, nullptr, 10);
  ASSERT_NE(child, 0u) << "the helper started no child: " << title;
  addSession(0, GetCurrentProcessId(), 0.8f); /* another program */
  addSession(1, other, 0.2f);
  addSession(0, 0, 0.6f);
  state->sessions[2].systemSounds = TRUE;
  addSession(1, child, 0.3f);

  /* No session of its own: its child's, not the other instance's. */
  EXPECT_EQ(1, execute(6050));
  EXPECT_FLOAT_EQ(state->sessions[3].volume, 0.5f);
  EXPECT_FLOAT_EQ(state->sessions[1].volume, 0.2f);
  EXPECT_EQ(state->liveReferences, 0);

  /* A session of its own: only that one, from now on. */
  addSession(1, shown, 0.3f);
  EXPECT_EQ(1, execute(4010));
  EXPECT_FLOAT_EQ(state->sessions[4].volume, 0.4f);
  EXPECT_EQ(1, execute(21));
  EXPECT_EQ(state->sessions[4].muted, TRUE);
  EXPECT_EQ(1, execute(23));
  EXPECT_EQ(state->sessions[4].muted, FALSE);
  EXPECT_EQ(1, execute(5010));
  EXPECT_FLOAT_EQ(state->sessions[4].volume, 0.3f);

  EXPECT_FLOAT_EQ(state->sessions[3].volume, 0.5f);
  EXPECT_EQ(state->sessions[3].muted, FALSE);
  EXPECT_FLOAT_EQ(state->sessions[1].volume, 0.2f);
  EXPECT_FLOAT_EQ(state->sessions[0].volume, 0.8f);
  EXPECT_FLOAT_EQ(state->sessions[2].volume, 0.6f);
  EXPECT_EQ(state->calls[FAKE_ENUM_DEVICES], 5);
  EXPECT_EQ(state->calls[FAKE_SET_SESSION_MUTE], 2);
  plugin.exports.unload();
  EXPECT_EQ(state->liveReferences, 0);
}

/* The frame's process has a session too, as a host of the frame would:
 * the app inside it is the one that changes. */
TEST_F(FocusedAppFakeTest, AStoreFrameStandsForTheAppInsideIt) {
  ASSERT_NE(makeFrame(), nullptr);
  char argument[64];
  snprintf(argument, sizeof argument, "app %llx",
           (unsigned long long)(uintptr_t)frame);
  DWORD app = startHelper(0, argument);
  ASSERT_TRUE(app);
  ASSERT_TRUE(appInsideFrame(app)) << "the app's window never came up";
  SetForegroundWindow(frame);
  ASSERT_EQ(GetForegroundWindow(), frame);
  addSession(0, GetCurrentProcessId(), 0.8f);
  addSession(1, app, 0.2f);

  EXPECT_EQ(1, execute(6050));
  EXPECT_FLOAT_EQ(state->sessions[1].volume, 0.5f);
  EXPECT_FLOAT_EQ(state->sessions[0].volume, 0.8f);
  plugin.exports.unload();
  EXPECT_EQ(state->liveReferences, 0);
}

} // namespace
