#!/usr/bin/env bash
# The main window restored from maximised under a real window manager (Xvfb, openbox with
# its stock configuration), every way a user can ask for it: the frame, title bar and
# borders, must lie on the available area, and a window that fits keeps its own place.
# Usage: restore_under_window_manager.sh PROGRAM. Exit 77 (skipped) without an X server.
set -uo pipefail
program=$1
for tool in Xvfb openbox wmctrl xdotool xprop xwininfo; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d) && trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1600x900x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
# Waits up to 5 s for the command "$@" to succeed and, with -h, to hold 0.4 s longer.
await() { local h=; [ "$1" = -h ] && h=1 && shift
    for _ in $(seq 50); do "$@" && { [ -z "$h" ] || { sleep 0.4 && "$@"; }; } && return; sleep 0.1; done; false; }
await test -s "$work/display" || { echo "SKIP: no X server could be started"; exit 77; }
export DISPLAY=:$(cat "$work/display") HOME=$work QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
await wmctrl -m >/dev/null 2>&1 || { echo "SKIP: openbox did not start on the X server"; exit 77; }
read -r _ _ ax ay aw ah _ < <(xprop -root _NET_WORKAREA | tr -d ',')

# "x y w h" of the frame: the client widened by _NET_FRAME_EXTENTS (left, right, top, bottom).
frame() {
    read -r l r t b < <(xprop -id $win _NET_FRAME_EXTENTS | sed 's/.*= //' | tr -d ',')
    read -r x y w h < <(xwininfo -id $win | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
    echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b)) "client $x,$y ${w}x$h"
}
in_reach() { read -r x y w h _ < <(frame); ((x >= ax && y >= ay && x + w <= ax + aw && y + h <= ay + ah)); }
kept() { [[ $(frame) == *"client $place" ]]; }
maximised() { xprop -id $win _NET_WM_STATE | grep -q MAXIMIZED_HORZ; }
restored() { ! maximised; }
window() { win=$(wmctrl -lp | awk -v pid=$pid '$3 == pid && /RQ730 Datalogger/ {print $1}') && [ -n "$win" ]; }

failures=0
for way in command title-bar button keyboard; do
    "$program" >/dev/null 2>&1 & pid=$!
    await window || { echo "FAIL: the program showed no window"; exit 1; }
    # as it starts; made 1800 x 1000 at (50, 40); one that fits; one moved at once after
    for size in start 50,40,1800,1000 301,171,901,597 moved; do
        [[ $size == *,* ]] && wmctrl -i -r $win -e 0,$size && sleep 0.3
        [ $size != start ] && wmctrl -i -r $win -b add,maximized_vert,maximized_horz
        await maximised
        case $way in
        command) wmctrl -i -r $win -b remove,maximized_vert,maximized_horz ;;
        title-bar) xdotool mousemove $((ax + aw / 2)) $((ay + 8)) click --repeat 2 --delay 80 1 ;;
        button) xdotool mousemove $((ax + aw - 26)) $((ay + 10)) click 1 ;;
        keyboard) xdotool windowactivate --sync $win key alt+space sleep 0.3 key Down Down Down Return ;;
        esac
        check=in_reach place="301,171 901x597"
        [ $size = 301,171,901,597 ] && check=kept
        [ $size = moved ] && await restored && wmctrl -i -r $win -e 0,1200,500,901,597 && check=kept place="1200,500 901x597"
        if await -h restored && await -h $check; then echo "ok   $way $size: $(frame)"
        else echo "FAIL $way $size: $(frame) on the area $ax,$ay ${aw}x$ah"; failures=$((failures + 1)); fi
    done
    kill $pid; wait $pid 2>/dev/null
done
exit $((failures > 0))
