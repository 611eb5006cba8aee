#!/usr/bin/env bash
# The radio's media interface, driven by playerctl (a real MPRIS client) on a private session bus:
# metadata shows the station's RDS (a tagged song's title and artist), next/previous step,
# pause/play mute and unmute, listeners hear of each change once, and without a bus the radio
# plays on and says so once.
#   mpris_test.sh HALVANE_HOST
set -euo pipefail
host_program=$1
source "$(dirname "$0")/../support/session_bus.sh" halvane-mpris
expect() {  # expect WHAT EXPECTED ACTUAL
  [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}
# Waits up to 30 s for FILE to hold a line matching REGEX COUNT times.
wait_for_lines() {
  local file=$1 regex=$2 count=$3
  for _ in $(seq 300); do
    [ "$(grep -c -E "$regex" "$file" || true)" -ge "$count" ] && return 0
    sleep 0.1
  done
  fail "no $count lines like '$regex' in $file: $(cat "$file")"
}

export HALVANE_CLASS_REGISTRY="$work/classes.reg" HALVANE_STATIONS=""
export LC_ALL=C

coproc HOST { exec "$host_program" --batch --home "$work/home" 2>"$work/host.err"; }
host_pid=$HOST_PID  # bash unsets HOST_PID once the host has ended
stop_pids+=("$host_pid")
ask() {
  printf '%s\n' "$1" >&"${HOST[1]}"
  local answer
  IFS= read -r -t 60 answer <&"${HOST[0]}" || fail "no answer to '$1'"
  printf '%s' "$answer"
}
player() { timeout 30 playerctl --player=halvane "$@"; }

for action in create start "active true" "tune 10450" "wait 6000"; do
  expect "$action" ok "$(ask "$action")"
done

expect artist "JAZZ 104" "$(player metadata xesam:artist)"
[[ "$(player metadata xesam:title)" == "Late night jazz with the Halvane"* ]] ||
  fail "title: $(player metadata xesam:title)"
expect album "104.5 MHz" "$(player metadata xesam:album)"
expect trackid "/org/halvane/radio/station/10450" "$(player metadata mpris:trackid | tr -d "'")"
expect identity "HalvaneDM radio" "$(timeout 30 dbus-send --session --print-reply=literal \
  --dest=org.mpris.MediaPlayer2.halvane /org/mpris/MediaPlayer2 \
  org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2 string:Identity |
  sed 's/^ *variant *//')"
expect status Playing "$(player status)"

# Listeners: playerctl following the status, and every PropertiesChanged the radio sends.
player --follow status >"$work/follow" &
wait_for_lines "$work/follow" '^Playing$' 1
dbus-monitor --session "type='signal',member='PropertiesChanged'" >"$work/signals" &
wait_for_lines "$work/signals" 'NameLost' 1

player pause
expect "mute after pause" '"True"' "$(ask "indicator radiomute")"
expect status Paused "$(player status)"
player play
expect "mute after play" '"False"' "$(ask "indicator radiomute")"
expect status Playing "$(player status)"
wait_for_lines "$work/follow" '^(Playing|Paused)$' 3
expect "followed status" $'Playing\nPaused\nPlaying' "$(cat "$work/follow")"

# Actions that change nothing the panel shows send nothing; a mute from the radio's own
# command sends one change. Signals arrive in the order they were sent.
for action in freq "label rdsname" "wait 200" "cmd radiomute"; do ask "$action" >/dev/null; done
wait_for_lines "$work/signals" 'member=PropertiesChanged' 3
expect "changes sent" 3 "$(grep -c 'member=PropertiesChanged' "$work/signals")"
ask "cmd radiomute" >/dev/null

player next
next_freq=$(ask freq)
[ "$next_freq" != 10450 ] || fail "next did not change the frequency"
label=$(ask "label frequency")
expect "album after next" "$(sed 's/^\["\([^"]*\)".*/\1/' <<<"$label") MHz" \
  "$(player metadata xesam:album)"
expect "trackid after next" "/org/halvane/radio/station/$next_freq" \
  "$(player metadata mpris:trackid | tr -d "'")"
player previous
expect "freq after previous" 10450 "$(ask freq)"

# A station tagging its song (RadioText+): the song's title and artist.
for action in "tune 10620" "wait 2000" "wait 2000" "wait 2000" "wait 2000"; do ask "$action" >/dev/null; done
expect "tagged title" "Heartache Highway" "$(player metadata xesam:title)"
expect "tagged artist" "The Fiddle Pines" "$(player metadata xesam:artist)"

# Inactive, the radio can't be stepped.
ask "active false" >/dev/null
expect "status inactive" Stopped "$(player status)"
expect "can go next inactive" "false" "$(timeout 30 dbus-send --session --print-reply=literal \
  --dest=org.mpris.MediaPlayer2.halvane /org/mpris/MediaPlayer2 \
  org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player string:CanGoNext |
  sed 's/^ *variant *boolean *//')"

# A second radio on the same bus takes a name of its own.
mkfifo "$work/second.in"
"$host_program" --batch --home "$work/second" <"$work/second.in" 2>"$work/second.err" &
second_pid=$!
exec {second_in}>"$work/second.in"
for _ in $(seq 300); do
  timeout 30 playerctl --list-all | grep -qx "halvane.instance$second_pid" && break
  sleep 0.1
done
expect "players" $'halvane\nhalvane.instance'"$second_pid" "$(timeout 30 playerctl --list-all | sort)"
exec {second_in}>&-
wait "$second_pid" || fail "the second host exited with $?"

exec {HOST[1]}>&-
wait "$host_pid" || fail "the host exited with $?"
stop_pids=()
[ ! -s "$work/host.err" ] || fail "the host complained: $(cat "$work/host.err")"

# Without a session bus: the radio answers as before and says once that media keys are not
# available.
answers=$(printf 'create\nname\n' |
  DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "$host_program" --batch \
    --home "$work/home" 2>"$work/nobus.err")
expect "answers without a bus" $'ok\n"Halvane 600"' "$answers"
expect "notices without a bus" 1 "$(grep -c 'media keys are not available' "$work/nobus.err")"
echo "mpris: all checks passed"
