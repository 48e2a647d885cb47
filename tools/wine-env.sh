# Shared by wine-run and wine-stop: the environment of the project's Wine.
# Sourced, not run.
#
# VOLUME_WINE_ARCH chooses the Wine: 32 (the default) for the 32-bit DLL,
# 64 for the 64-bit build of the same sources, where only 64-bit Wine runs.
# Debian's `wine` and `wineboot` commands start the i386 loader whenever
# wine32 is installed, even where it cannot run; for 64 the 64-bit loader
# and server are named directly. Each architecture has a prefix of its own.

# Sets wine_loader and wine_server for VOLUME_WINE_ARCH, or fails.
wine_choose_arch() {
  case ${VOLUME_WINE_ARCH:-32} in
  32)
    export WINEARCH=win32
    wine_loader=wine
    wine_server=wineserver
    wine_prefix_name=prefix
    ;;
  64)
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    wine_loader=$WINELOADER
    wine_server=/usr/lib/wine/wineserver64
    wine_prefix_name=prefix64
    ;;
  *)
    echo "wine-env: VOLUME_WINE_ARCH is 32 or 64, not $VOLUME_WINE_ARCH" >&2
    return 2
    ;;
  esac
}

wine_env() {
  wine_choose_arch || exit 2
  state=$(mkdir -p "$1" && cd "$1" && pwd)
  export WINEPREFIX="$state/$wine_prefix_name"
  # No debug channels, and no offer to download Mono or Gecko when the
  # prefix is made: nothing here needs them.
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # The audio server's socket and pid live here, away from any desktop's.
  export XDG_RUNTIME_DIR="$state/runtime"
  unset PULSE_SERVER
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# PulseAudio checks its own pid file and that the pid is still PulseAudio:
# a bare "kill -0" would also accept a zombie, or another process that got
# the number after a restart.
wine_audio_running() {
  pulseaudio --check 2>/dev/null
}

# A private PulseAudio with only a null sink: Wine's winepulse then offers
# mixer device 0 with a speakers line, a volume and a mute control.
# A daemon that the check missed refuses to start a second time, and says
# so only to /dev/null: its socket, below, is what counts.
wine_start_audio() {
  wine_audio_running && return 0
  pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit=yes \
    --use-pid-file=yes -n \
    --load=module-null-sink \
    --load=module-native-protocol-unix \
    --log-target=file:"$XDG_RUNTIME_DIR/pulseaudio.log" \
    </dev/null >/dev/null 2>&1 9>&- || true
  tries=0
  until [ -S "$XDG_RUNTIME_DIR/pulse/native" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 50 ]; then
      echo "wine-run: the audio server did not start" >&2
      return 1
    fi
    sleep 0.1
  done
}

# True while a Wine server of this prefix runs. Looked up in /proc rather
# than in a mark on disk, which would outlive a server killed along with
# the session that started it: trusting it, nothing would start a new one,
# and the next test program would start its own server, which keeps the
# test's output pipe open after the test has ended.
# Most processes cost one builtin read, so the scan takes milliseconds.
wine_server_running() {
  for proc in /proc/[0-9]*; do
    comm=
    read -r comm 2>/dev/null <"$proc/comm" || continue
    case $comm in
    wineserver*) ;;
    *) continue ;;
    esac
    # A zombie has an empty environment and never matches.
    if tr '\0' '\n' 2>/dev/null <"$proc/environ" |
      grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      return 0
    fi
  done
  return 1
}

# Fails, saying why, when this machine cannot start the chosen Wine's
# loader: some kernels cannot start the i386 one ("Exec format error").
# Without this, the prefix's making fails quietly and the program's status
# is a bare 126.
wine_check_loader() {
  wine_reason=$("$wine_loader" --version 2>&1 >/dev/null) && return 0
  echo "wine-run: this machine cannot start ${VOLUME_WINE_ARCH:-32}-bit Wine" \
    "(${wine_reason:-$wine_loader --version failed})" >&2
  return 126
}

wine_debugger_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'

# Runs a Windows program quietly, holding neither the lock nor any output.
wine_quietly() {
  "$wine_loader" "$@" </dev/null >/dev/null 2>&1 9>&-
}

# The prefix, made once. Graphics=null lets programs create windows (the
# stand-in taskbar) with no display.
#
# It is made under the Japanese locale: Wine then gives the system's message
# font a Japanese face (IPAGothic, from fonts-ipafont-gothic), which the
# display's text needs. Each program still takes its code page from the
# locale it starts under.
#
# A program that crashes ends at once: an empty debugger command starts no
# debugger. Without it Wine starts winedbg, which does not return here, so
# a crashing test would wait out its timeout; Auto=0 would instead ask in a
# message box that no one answers.
wine_make_prefix() {
  if [ ! -f "$WINEPREFIX/.volume-ready" ]; then
    (
      export LC_ALL=ja_JP.UTF-8
      wine_quietly wineboot --init
    )
    wine_quietly reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
    # VOLUME_WINE_DPI, when set as the prefix is made, is its screen's DPI
    # (Wine's LogPixels; 96 otherwise).
    if [ -n "${VOLUME_WINE_DPI:-}" ]; then
      wine_quietly reg add 'HKCU\Control Panel\Desktop' /v LogPixels \
        /t REG_DWORD /d "$VOLUME_WINE_DPI" /f
    fi
    wine_quietly reg add "$wine_debugger_key" /v Debugger /d '' /f
    wine_quietly reg add "$wine_debugger_key" /v Auto /d 1 /f
    "$wine_server" -w
    touch "$WINEPREFIX/.volume-ready"
  fi
  # A persistent server keeps every later program's start-up short. It and
  # Wine's own services (which start with the first program and outlive
  # it) are started here, detached, so that they hold neither the lock nor
  # any caller's output open. wine_stop ends them.
  #
  # The server's own lock decides whether one runs: `wineserver -p` exits
  # at once with status 2 where a server of this prefix holds it. A look
  # in /proc first is not enough: it misses a server whose environment
  # cannot be read at that moment (one that is exiting has lost its memory
  # but still holds its lock), and the refused start, silent and under
  # set -e, ended wine-run with status 2 before the program ran.
  server_status=0
  "$wine_server" -p </dev/null >/dev/null 2>&1 9>&- || server_status=$?
  case $server_status in
  0) wine_quietly wineboot ;;
  2) ;;
  *)
    echo "wine-run: the Wine server did not start (status $server_status)" >&2
    return 1
    ;;
  esac
}

wine_stop() {
  wine_stop_server
  wine_stop_audio
}

wine_stop_server() {
  if [ -d "$WINEPREFIX" ] && wine_server_running; then
    # Waited for, so that a new start right after this finds no server.
    "$wine_server" -k 2>/dev/null || true
    "$wine_server" -w 2>/dev/null || true
  fi
}

wine_stop_audio() {
  if wine_audio_running; then
    pulseaudio --kill 2>/dev/null || true
  fi
}
