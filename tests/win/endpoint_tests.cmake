# The default playback endpoint (VolEndpoint=1) under Wine, through the
# real COM machinery. Included from this folder's CMakeLists.txt.
#
#  - volume_endpoint_fake_tests run in a Wine prefix of their own, where the
#    fake Core Audio server below is registered for the MMDeviceEnumerator
#    class (its sessions serve the focused application's commands). Wine's winmm mixer is built on that class, so in that prefix
#    the classic mixer no longer works: the other tests keep theirs.
#  - volume_endpoint_wine_tests run in the ordinary prefix, against Wine's
#    own endpoint volume, which cannot be changed.

set(FAKE_AUDIO_PREFIX ${CMAKE_BINARY_DIR}/wine-fake-audio)
set(ENDPOINT_TEST_FLAGS -Wall -Wextra -Wpedantic -Werror)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(FAKE_AUDIO_DEF fake_core_audio/fake_core_audio64.def)
else()
  set(FAKE_AUDIO_DEF fake_core_audio/fake_core_audio.def)
endif()
add_library(fake_core_audio SHARED
  fake_core_audio/fake_core_audio.cpp ${FAKE_AUDIO_DEF})
set_target_properties(fake_core_audio PROPERTIES PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_compile_options(fake_core_audio PRIVATE ${ENDPOINT_TEST_FLAGS})
target_link_libraries(fake_core_audio PRIVATE ole32 oleaut32 uuid advapi32)
target_link_options(fake_core_audio PRIVATE ${VOLUME_STATIC_LINK})

function(endpoint_test_program name)
  add_executable(${name} main.cpp plugin_host.cpp ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${ENDPOINT_TEST_FLAGS})
  target_link_libraries(${name} PRIVATE volume_hostkit gtest ole32)
  target_link_options(${name} PRIVATE ${VOLUME_STATIC_LINK})
  volume_beside_program(${name})
endfunction()

# The program the focused application's test brings to the foreground, and
# whose children the snapshot's test lists (volume_win_tests).
add_executable(focus_helper focus_helper.cpp)
set_target_properties(focus_helper PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_compile_options(focus_helper PRIVATE ${ENDPOINT_TEST_FLAGS})
target_link_options(focus_helper PRIVATE ${VOLUME_STATIC_LINK})

endpoint_test_program(volume_endpoint_fake_tests endpoint_fake_test.cpp
  focused_app_fake_test.cpp helper_processes.cpp device_switch_fake_test.cpp)
add_dependencies(volume_endpoint_fake_tests fake_core_audio focus_helper)
set_property(TARGET volume_endpoint_fake_tests PROPERTY
  CROSSCOMPILING_EMULATOR ${VOLUME_WINE_RUN} ${FAKE_AUDIO_PREFIX})

endpoint_test_program(volume_endpoint_wine_tests endpoint_wine_test.cpp)

if(NOT VOLUME_WINE_RUNS)
  return()
endif()

# Registers the fake for the class in its prefix, through its own
# DllRegisterServer. Wine sees the Unix root as drive Z:.
string(REPLACE "/" "\\" FAKE_AUDIO_WINDOWS_PATH
  "Z:${CMAKE_CURRENT_BINARY_DIR}/fake_core_audio.dll")
add_test(NAME endpoint.register_fake_core_audio
  COMMAND ${VOLUME_WINE_RUN} ${FAKE_AUDIO_PREFIX}
          regsvr32 /s ${FAKE_AUDIO_WINDOWS_PATH})
set_tests_properties(endpoint.register_fake_core_audio PROPERTIES
  FIXTURES_SETUP fake_core_audio)

# Parameterised cases are named by their rows, not by the rows' bytes. The
# Shift_JIS case needs the ANSI code page 932: it runs below, under a
# Japanese locale (Wine takes the code page from the program's locale).
set(SHIFT_JIS_CASE DeviceSwitchFakeTest.ShiftJisNameUnderCodePage932)
gtest_discover_tests(volume_endpoint_fake_tests
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 120
  NO_PRETTY_VALUES
  TEST_FILTER -${SHIFT_JIS_CASE}
  PROPERTIES FIXTURES_REQUIRED fake_core_audio)
add_test(NAME ${SHIFT_JIS_CASE}
  COMMAND ${VOLUME_WINE_RUN} ${FAKE_AUDIO_PREFIX}
          $<TARGET_FILE:volume_endpoint_fake_tests>
          --gtest_filter=${SHIFT_JIS_CASE})
set_tests_properties(${SHIFT_JIS_CASE} PROPERTIES
  ENVIRONMENT "LC_ALL=ja_JP.UTF-8" FIXTURES_REQUIRED fake_core_audio)
gtest_discover_tests(volume_endpoint_wine_tests
  DISCOVERY_MODE PRE_TEST
  DISCOVERY_TIMEOUT 120)

# plughost reports the endpoint's volume and mute, read through the host
# kit's own Core Audio calls, when the plug-in's settings set VolEndpoint=1:
# against the fake the commands change them; against Wine's own endpoint
# they fail and nothing changes.
set(ENDPOINT_PLUGIN_DIR ${CMAKE_CURRENT_BINARY_DIR}/endpoint-plugin)
volume_copy_with_settings(endpoint_plugin ${ENDPOINT_PLUGIN_DIR} volume.dll
  "[Setting]\r\nVolEndpoint=1\r\n"
  "Copying the plug-in beside a settings file with VolEndpoint=1")

function(endpoint_plughost_test name prefix expected)
  add_test(NAME ${name}
    COMMAND sh -c "\"$@\"; echo \"exit status $?\"" plughost
            ${VOLUME_WINE_RUN} ${prefix}
            $<TARGET_FILE:plughost> run --taskbar volume.dll ${ARGN}
    WORKING_DIRECTORY ${ENDPOINT_PLUGIN_DIR})
  set_tests_properties(${name} PROPERTIES
    PASS_REGULAR_EXPRESSION "^${expected}exit status 0\n$"
    RESOURCE_LOCK debug-channel)
endfunction()

set(endpoint_note "sound: the default playback endpoint \\(the settings set VolEndpoint=1\\)\n")
endpoint_plughost_test(endpoint.plughost_run_fake ${FAKE_AUDIO_PREFIX}
"${endpoint_note}3050  id 3050 \\(unknown\\)  result 1  volume 50%  mute off  clock notified \\(0 -> 1\\)
1010  id 1010 \\(unknown\\)  result 1  volume 60%  mute off  clock notified \\(1 -> 2\\)
1  id 1  result 1  volume 60%  mute on  clock notified \\(2 -> 3\\)
2005  id 2005 \\(unknown\\)  result 1  volume 55%  mute on  clock notified \\(3 -> 4\\)
" 3050 1010 1 2005)
set_tests_properties(endpoint.plughost_run_fake PROPERTIES
  FIXTURES_REQUIRED fake_core_audio)
endpoint_plughost_test(endpoint.plughost_run_wine ${CMAKE_BINARY_DIR}/wine
"${endpoint_note}3050  id 3050 \\(unknown\\)  result 0  volume [0-9]+%  mute off  clock not notified \\(0 -> 0\\)
  said volume: Set\\(50\\): [^\n]+
1  id 1  result 0  volume [0-9]+%  mute off  clock not notified \\(0 -> 0\\)
  said volume: Mute: the mute did not change when looked at again
" 3050 1)
# The microphone's devices, by their friendly names.
endpoint_plughost_test(endpoint.plughost_microphone_fake ${FAKE_AUDIO_PREFIX}
"${endpoint_note}12  id 12 \\(unknown\\)  result 1  volume 50%  mute off  clock notified \\(0 -> 1\\)
  microphone Microphone \\(Fake Audio\\)  mute on
" 12)
set_tests_properties(endpoint.plughost_microphone_fake PROPERTIES
  FIXTURES_REQUIRED fake_core_audio)
# After a device switch, the default devices by name: NextOutput makes the
# fake's headphones the default of every role.
endpoint_plughost_test(endpoint.plughost_device_switch_fake ${FAKE_AUDIO_PREFIX}
"${endpoint_note}31  id 31 \\(unknown\\)  result 1  volume [0-9]+%  mute off  clock notified \\(0 -> 1\\)
  default playback   con mm  com  \"ヘッドホン \\(USB Headset\\)\"
" 31)
set_tests_properties(endpoint.plughost_device_switch_fake PROPERTIES
  FIXTURES_REQUIRED fake_core_audio)

# `plughost devices` through plughost's own Core Audio calls: the fake's
# devices of both flows in every state, in its order, playback first, with
# their names (Japanese among them), ids and default roles.
add_test(NAME endpoint.plughost_devices_fake
  COMMAND sh -c "\"$@\"; echo \"exit status $?\"" plughost
          ${VOLUME_WINE_RUN} ${FAKE_AUDIO_PREFIX}
          $<TARGET_FILE:plughost> devices volume.dll
  WORKING_DIRECTORY ${ENDPOINT_PLUGIN_DIR})
set_tests_properties(endpoint.plughost_devices_fake PROPERTIES
  FIXTURES_REQUIRED fake_core_audio
  PASS_REGULAR_EXPRESSION "^flow       state        default      \"name\"  id
playback   active       con mm  com  \"Speakers \\(Fake Audio\\)\"  \\{fake\\}\\.0
playback   active       -   -   -    \"ヘッドホン \\(USB Headset\\)\"  \\{fake\\}\\.1
playback   disabled     -   -   -    \"HDMI Output\"  \\{fake\\}\\.4
playback   unplugged    -   -   -    \"Line Out\"  \\{fake\\}\\.5
recording  active       con mm  com  \"Microphone \\(Fake Audio\\)\"  \\{fake\\}\\.2
recording  active       -   -   -    \"ヘッドセット マイク \\(USB Headset\\)\"  \\{fake\\}\\.3
recording  not present  -   -   -    \"Webcam Microphone\"  \\{fake\\}\\.6
recording  unplugged    -   -   -    \"Line In\"  \\{fake\\}\\.7

con, mm, com: [^\n]*
[^\n]*
exit status 0
$")
