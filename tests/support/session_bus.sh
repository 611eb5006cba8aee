# Sourced by the tests of the desktop's media interface: a scratch folder $work, a private session
# bus in it (DBUS_SESSION_BUS_ADDRESS names it), `fail`, and on exit the processes listed in
# $stop_pids, every background job and the bus ended and the folder removed.
#   source session_bus.sh NAME    (the folder is /tmp/NAME-XXXXXX)
work=$(mktemp -d "/tmp/$1-XXXXXX")
bus_pid=""
stop_pids=()
cleanup() {
  set +e
  for pid in "${stop_pids[@]}"; do kill "$pid" 2>/dev/null; done
  jobs -p | xargs -r kill 2>/dev/null
  [ -n "$bus_pid" ] && kill "$bus_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

dbus-daemon --session --address="unix:dir=$work" --fork --print-address=1 --print-pid=1 \
  >"$work/bus"
bus_pid=$(sed -n 2p "$work/bus")
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$work/bus")
