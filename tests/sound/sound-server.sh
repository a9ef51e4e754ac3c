#!/usr/bin/env bash
# A private sound server for tests: a session bus, pipewire, wireplumber and
# pipewire-pulse in the runtime folder $XDG_RUNTIME_DIR (made if missing),
# with a null sink "brelmo_test" as the default. What it starts is recorded
# in $XDG_RUNTIME_DIR/sound-server.pids and stopped by those PIDs only.
#
#   sound-server.sh start | stop | restart     the server (the bus stays up)
#   sound-server.sh run CMD...                 a fresh runtime folder, the bus
#                                              and the server around CMD,
#                                              everything stopped on exit
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sink=brelmo_test

log() { echo "sound-server: $*" >&2; }

remember() { echo "$1 $2" >>"$XDG_RUNTIME_DIR/sound-server.pids"; }

spawn() {  # NAME CMD...: starts CMD in the background and records its PID
  local name=$1; shift
  "$@" >>"$XDG_RUNTIME_DIR/$name.log" 2>&1 &
  remember "$name" $!
}

wait_for() {  # SECONDS CMD...: true once CMD succeeds
  local tries=$(( $1 * 20 )); shift
  while (( tries-- > 0 )); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

alive() {  # PID: running, not a zombie waiting to be reaped
  [[ -r /proc/$1/stat ]] && ! grep -q ') Z ' "/proc/$1/stat" 2>/dev/null
}

kill_recorded() {  # NAME...: stops the recorded processes of these names
  local file=$XDG_RUNTIME_DIR/sound-server.pids keep=() name pid
  [[ -f $file ]] || return 0
  while read -r name pid; do
    if [[ " $* " == *" $name "* ]]; then
      kill "$pid" 2>/dev/null || true
      local tries=40
      while alive "$pid" && (( tries-- > 0 )); do sleep 0.05; done
      if alive "$pid"; then kill -9 "$pid" 2>/dev/null || true; fi
    else
      keep+=("$name $pid")
    fi
  done <"$file"
  printf '%s\n' "${keep[@]+"${keep[@]}"}" | sed '/^$/d' >"$file"
}

start_bus() {
  local out
  out=$(dbus-daemon --session --fork --address="unix:path=$XDG_RUNTIME_DIR/bus" \
        --print-address=1 --print-pid=1)
  remember dbus "$(sed -n 2p <<<"$out")"
}

start_server() {
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
  spawn pipewire pipewire
  wait_for 5 test -S "$XDG_RUNTIME_DIR/pipewire-0" || { log "pipewire did not start"; return 1; }
  spawn wireplumber wireplumber
  spawn pipewire-pulse pipewire-pulse
  wait_for 10 pactl info || { log "pipewire-pulse did not answer"; return 1; }
  pactl load-module module-null-sink sink_name=$sink \
    sink_properties=device.description=brelmo-test >/dev/null
  wait_for 5 pactl set-default-sink $sink || { log "no null sink"; return 1; }
  wait_for 5 bash -c "pactl get-default-sink | grep -qx $sink"
}

stop_server() { kill_recorded pipewire-pulse wireplumber pipewire; }

case ${1:-} in
  start) start_server ;;
  stop) stop_server ;;
  restart) stop_server; start_server ;;
  run)
    shift
    # Listing a test program's cases needs no server.
    [[ " $* " == *" --gtest_list_tests "* ]] && exec "$@"
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/brelmo-sound.XXXXXX)
    export XDG_RUNTIME_DIR
    chmod 700 "$XDG_RUNTIME_DIR"
    # The session manager keeps volumes and default sinks in the user's state
    # folder: a private one keeps runs apart from each other and from the user.
    export XDG_STATE_HOME=$XDG_RUNTIME_DIR/state XDG_CONFIG_HOME=$XDG_RUNTIME_DIR/config
    mkdir -p "$XDG_STATE_HOME" "$XDG_CONFIG_HOME"
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
    export BRELMO_SOUND_SERVER="$here/sound-server.sh" BRELMO_TEST_SINK=$sink
    export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
    unset PIPEWIRE_REMOTE PULSE_SINK
    cleanup() {
      kill_recorded pipewire-pulse wireplumber pipewire dbus
      rm -rf "$XDG_RUNTIME_DIR"
    }
    trap cleanup EXIT
    trap 'exit 143' TERM INT
    start_bus
    start_server
    "$@"
    ;;
  *) echo "usage: $0 start|stop|restart|run CMD..." >&2; exit 2 ;;
esac
