#!/usr/bin/env bash
# Runs a command under an X server of its own (Xvfb, on a display it finds free) with a window
# manager that frames windows (openbox), then takes both down, however the command ended.
# Usage: run-under-x.sh SECONDS COMMAND [ARGS...]   (the command is stopped after SECONDS)
set -uo pipefail

limit=$1
shift
for tool in Xvfb openbox xprop xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "run-under-x: $tool is not installed (scripts/install-deps installs it)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
server=
manager=
finish() {
  for pid in $manager $server; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 130' INT TERM

# Waits up to Tenths tenths of a second for Command to succeed; says what did not come and
# shows the logs otherwise.
wait_until() {
  local tenths=$1 what=$2
  shift 2
  for ((k = 0; k < tenths; ++k)); do
    "$@" && return 0
    if ! kill -0 "$server" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "run-under-x: $what did not come" >&2
  tail -n 20 "$work"/*.log >&2
  exit 1
}

# the server writes its display number once it takes connections
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
server=$!
wait_until 100 "the X server" test -s "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"

# the window manager announces itself on the root window once it manages windows
openbox --sm-disable >"$work/openbox.log" 2>&1 &
manager=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 100 "the window manager" wm_ready

# in the background, so that a signal to this script ends the command and the servers at once
timeout -k 10 "$limit" "$@" &
command=$!
trap 'kill "$command" 2>/dev/null; exit 143' INT TERM
wait "$command"
status=$?
if [ "$status" -eq 124 ]; then echo "run-under-x: stopped after ${limit}s: $*" >&2; fi
exit "$status"
