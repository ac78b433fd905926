#!/usr/bin/env bash
# The window titles as the window manager reads them (_NET_WM_NAME on X11): the real program on
# the xcb platform under Xvfb, with a document and its save dialog open. Qt appends an
# application display name to every top-level title; the program's captions must arrive exactly,
# also the tool window "Widmo" opened from the menu by its keys.
# Usage: native_titles_test.sh PATH/TO/kresograf. Exit 77 (skipped) without Xvfb and xdotool.
set -u
program=$1
for tool in xvfb-run xdotool xprop; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config
xvfb-run -a -s '-screen 0 1280x800x24' bash -c '
    QT_QPA_PLATFORM=xcb "$0" --no-splash & pid=$!
    for _ in $(seq 50); do
        main=$(xdotool search --name "^Kresograf dla QB730" 2>/dev/null | head -1)
        [ -n "$main" ] && break
        sleep 0.2
    done
    [ -n "$main" ] || { echo "FAIL no main window"; kill $pid; exit 1; }
    sleep 0.5
    xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
    xdotool key --window "$main" alt+w
    sleep 0.3
    xdotool key m
    sleep 0.5
    xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
    xdotool key --window "$main" ctrl+s
    sleep 1.5
    titles=$(for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        xprop -id "$w" _NET_WM_NAME 2>/dev/null | sed -n "s/^_NET_WM_NAME(UTF8_STRING) = \"\(.*\)\"$/\1/p"
    done)
    kill $pid
    echo "$titles"
    failures=0
    grep -qx "Kresograf dla QB730 - Kresograf1" <<<"$titles" || { echo "FAIL main caption"; failures=1; }
    grep -qx "Zapisz jako" <<<"$titles" || { echo "FAIL save dialog caption"; failures=1; }
    grep -qx "Widmo" <<<"$titles" || { echo "FAIL spectrum window caption"; failures=1; }
    if grep -q " — " <<<"$titles"; then echo "FAIL a title carries an appended name"; failures=1; fi
    exit $failures
' "$program"
