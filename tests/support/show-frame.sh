#!/bin/sh
# Starts a program (Corvane, or what its desktop entry runs) on the current X display, waits at
# most 15 s for its window named Corvane, screenshots the screen, sends the program SIGTERM (as
# a session ending does) and gives it 10 s to end. Writes into the current folder:
#   corvane.out  what the program printed      shown    yes or no
#   wininfo      xwininfo of the window        shot.png the screenshot
#   stopped      stopped or hung               status   the program's exit status
#
#   xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" sh show-frame.sh PROGRAM
exe="$1"
"$exe" >corvane.out 2>&1 &
pid=$!
alive() { [ -d /proc/$pid ] && ! grep -q ') Z' /proc/$pid/stat; }
shown=no
i=0
while [ $i -lt 150 ]; do
  if xwininfo -name Corvane 2>/dev/null | grep -q IsViewable; then shown=yes; break; fi
  alive || break
  sleep 0.1; i=$((i+1))
done
echo $shown > shown
if [ $shown = yes ]; then
  sleep 1
  xwininfo -name Corvane > wininfo
  import -window root shot.png
fi
kill -TERM $pid 2>/dev/null
i=0
while alive && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done
if alive; then echo hung > stopped; kill -KILL $pid; else echo stopped > stopped; fi
wait $pid
echo $? > status
