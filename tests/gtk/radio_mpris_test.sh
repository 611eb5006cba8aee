#!/usr/bin/env bash
# The graphical radio answers the desktop's media interface: on a private session bus, playerctl
# (a real MPRIS client) sees the station it plays and pauses (mutes) it.
#   radio_mpris_test.sh HALVANE_RADIO   (run by run_with_xvfb)
set -euo pipefail
radio=$1
source "$(dirname "$0")/../support/session_bus.sh" halvane-radio-mpris
player() { timeout 20 playerctl --player=halvane "$@" 2>/dev/null || true; }
# Waits up to 30 s for COMMAND... to print EXPECTED.
wait_for() {
  local expected=$1
  shift
  for _ in $(seq 300); do
    [ "$("$@")" = "$expected" ] && return 0
    sleep 0.1
  done
  fail "'$*' never printed '$expected' (last: '$("$@")'); radio said: $(cat "$work/radio.err")"
}

export HALVANE_CLASS_REGISTRY="$work/classes.reg" HALVANE_STATIONS="" LC_ALL=C

# The screenshot, taken long after, ends the radio; it shows what the bus did.
"$radio" --home "$work/home" --command "rtune;104.5" --screenshot "$work/shot.png" --after 60000 \
  2>"$work/radio.err" &
radio_pid=$!
stop_pids+=("$radio_pid")

wait_for "JAZZ 104" player metadata xesam:artist
wait_for Playing player status
player pause
wait_for Paused player status
# The volume, read and written through the media interface, kept in the settings at the end.
wait_for 1.000000 player volume
player volume 0.4
wait_for 0.400000 player volume
# What is no number is refused, and the volume stays.
for bad in nan inf -inf; do
  answer=$(timeout 20 dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.halvane \
    /org/mpris/MediaPlayer2 org.freedesktop.DBus.Properties.Set \
    string:org.mpris.MediaPlayer2.Player string:Volume variant:double:$bad 2>&1 || true)
  [[ "$answer" == *org.freedesktop.DBus.Error.InvalidArgs* ]] || fail "Volume $bad: $answer"
done
wait_for 0.400000 player volume
kill "$radio_pid"
wait "$radio_pid" || true
grep -qx "volume=40" "$work/home/config/halvane-host.ini" ||
  fail "volume not kept: $(cat "$work/home/config/halvane-host.ini" 2>&1)"
grep -q "media keys are not available" "$work/radio.err" && fail "no bus: $(cat "$work/radio.err")"
echo "ok"
