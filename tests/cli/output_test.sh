#!/usr/bin/env bash
# End-to-end checks of kresograf-cli's output commands on the simulated card, whose input 8
# reads the analog output back. Usage: output_test.sh PATH/TO/kresograf-cli
set -u
cli=$1
# shellcheck source=check.sh
. "$(dirname "$0")/check.sh"

# A 50 Hz sine of 2 V around 0.5 V, seen on input 8.
out=$("$cli" generate sine --frequency 50 --amplitude 2 --offset 0.5 --scope 2 --channels 8 \
    --rate 10000 --duration 0.2)
check "generate --scope exits 0" test $? -eq 0
# Where the shots fall in the period moves the extremes by a count or two.
swing() { awk '/kanał 8:/ { if ($8 > -1.51 && $8 < -1.49 && $11 > 2.49 && $11 < 2.51) n++ }
               END { exit n != 2 }' <<<"$out"; }
check "input 8 swings from -1.5 V to 2.5 V" swing

# Y = 2 X + 0.5 with X = input 7 (-1.5 V).
out=$("$cli" formula linear --a 2 --b 0.5 --sources 7=1 --scope 2 --channels 8)
check "formula --scope exits 0" test $? -eq 0
check "input 8 holds -2.5 V" test "$(grep -c 'kanał 8: min -2.498 V, max -2.498 V' <<<"$out")" -eq 2

# What would be sent, without the card.
"$cli" generate square --frequency 1000 --amplitude 1 --param 50 --samples "$work/g.txt"
check "generate --samples writes 80 000 values" test "$(wc -l <"$work/g.txt")" -eq 80000
printf '1.5 -2\n3e-1\n' >"$work/s.dat"
"$cli" play "$work/s.dat" --samples "$work/a.txt"
check "play --samples gives the volts" test "$(tr '\n' ' ' <"$work/a.txt")" = "1.5 -2 0.300000012 "
"$cli" formula exp --a -2 --b 3 --sources 2=2,5=0.5 --samples "$work/f.txt"
check "formula --samples folds B into the weights" \
    grep -qx 'Weights 0.0146484375 0.00366210938' "$work/f.txt"

# Plays until Ctrl+C, then stops the output.
timeout --preserve-status -s INT 1 "$cli" play "$work/s.dat" --rate 50 2>/dev/null
check "play ends with 0 on Ctrl+C" test $? -eq 0

# Refusals (their messages are core's tests'): options out of range are status 2, the dialogs'
# refusals status 1.
"$cli" generate sine --frequency 10001 >/dev/null 2>&1
check "frequency above 10 000 is status 2" test $? -eq 2
"$cli" generate sine --offset -5 >/dev/null 2>&1
check "offset -5 V is status 2" test $? -eq 2
err=$("$cli" formula linear --differential --sources 4=1 --gain 7=x10 2>&1 >/dev/null)
check "mixed pair gains are status 1" test $? -eq 1
check "and say why" test -n "$err"
: >"$work/empty.dat"
"$cli" play "$work/empty.dat" 2>/dev/null
check "an empty file is status 1" test $? -eq 1

finish
