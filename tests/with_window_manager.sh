#!/bin/sh
# Runs a command on the X server of $DISPLAY under the openbox window
# manager, as on a desktop: windows get frames and title bars.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null' EXIT
# The manager announces itself on the root window once it runs.
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
"$@"
