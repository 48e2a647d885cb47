# Shared by wine-run and wine-stop: the environment of the project's Wine.
# Sourced, not run.

wine_env() {
  state=$(mkdir -p "$1" && cd "$1" && pwd)
  export WINEPREFIX="$state/prefix"
  export WINEARCH=win32
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

wine_audio_running() {
  pid_file="$XDG_RUNTIME_DIR/pulse/pid"
  [ -f "$pid_file" ] && kill -0 "$(cat "$pid_file")" 2>/dev/null
}

# A private PulseAudio with only a null sink: Wine's winepulse then offers
# mixer device 0 with a speakers line, a volume and a mute control.
wine_start_audio() {
  wine_audio_running && return 0
  pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit=yes \
    --use-pid-file=yes -n \
    --load=module-null-sink \
    --load=module-native-protocol-unix \
    --log-target=file:"$XDG_RUNTIME_DIR/pulseaudio.log" \
    </dev/null >/dev/null 2>&1 9>&-
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

# The prefix, made once. Graphics=null lets programs create windows (the
# stand-in taskbar) with no display.
wine_make_prefix() {
  if [ ! -f "$WINEPREFIX/.volume-ready" ]; then
    wineboot --init </dev/null >/dev/null 2>&1 9>&-
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
      </dev/null >/dev/null 2>&1 9>&-
    wineserver -w
    touch "$WINEPREFIX/.volume-ready"
  fi
  # A persistent server keeps every later program's start-up short. It and
  # Wine's own services (which start with the first program and outlive
  # it) are started here, detached, so that they hold neither the lock nor
  # any caller's output open. wine_stop ends them and clears the mark.
  if [ ! -f "$state/server.up" ]; then
    wineserver -p </dev/null >/dev/null 2>&1 9>&-
    wine wineboot </dev/null >/dev/null 2>&1 9>&-
    touch "$state/server.up"
  fi
}

wine_stop() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
  fi
  rm -f "$state/server.up"
  if wine_audio_running; then
    kill "$(cat "$XDG_RUNTIME_DIR/pulse/pid")" 2>/dev/null || true
  fi
}
