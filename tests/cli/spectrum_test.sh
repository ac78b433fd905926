#!/usr/bin/env bash
# kresograf-cli spectrum on a recording of the simulated inputs 1 (50 Hz sine of 4 V) and 2
# (20 Hz square of +-2 V): the values physics gives, within 1 % and 0.1 Hz, through the Hann and
# Blackman windows. Usage: spectrum_test.sh PATH/TO/kresograf-cli
set -u
cli=$1
# shellcheck source=check.sh
. "$(dirname "$0")/check.sh"

# near LINE CHANNEL HZ VOLTS: the line is "kanał C: F Hz, V V RMS" with F and V close enough.
near() {
    awk -v c="$2" -v f="$3" -v v="$4" '
        function abs(x) { return x < 0 ? -x : x }
        $1 == "kanał" && $2 == c ":" && $4 == "Hz," && $6 == "V" && $7 == "RMS" &&
            abs($3 - f) <= 0.1 && abs($5 - v) <= 0.01 * v { ok = 1 }
        END { exit !ok }' <<<"$1"
}

# 2 s at 5000 scans per second per input.
"$cli" record "$work/run.kgd" --channels 1,2 --rate 10000 --duration 2 >/dev/null 2>&1
check "record exits 0" test $? -eq 0
for window in hann blackman; do
    out=$("$cli" spectrum "$work/run.kgd" --channels 1,2 --peaks 3 --window "$window")
    check "$window: exits 0" test $? -eq 0
    check "$window: three lines per input" test "$(wc -l <<<"$out")" -eq 6
    check "$window: the sine first" near "$(head -1 <<<"$out")" 1 50 2.828
    check "$window: the square's fundamental" near "$(sed -n 4p <<<"$out")" 2 20 1.801
    check "$window: its third harmonic" near "$(sed -n 5p <<<"$out")" 2 60 0.600
    check "$window: its fifth harmonic" near "$(sed -n 6p <<<"$out")" 2 100 0.360
done
check "five peaks by default" test "$("$cli" spectrum "$work/run.kgd" --channels 2 | wc -l)" -eq 5

err=$("$cli" spectrum "$work/run.kgd" --window hanning 2>&1 >/dev/null)
check "unknown window is status 2" test $? -eq 2
check "unknown window is explained" grep -q 'Nieznane okno: "hanning"' <<<"$err"
"$cli" spectrum "$work/run.kgd" --peaks 0 >/dev/null 2>&1
check "no peaks is status 2" test $? -eq 2
err=$("$cli" spectrum "$work/run.kgd" --from 1 --to 1.001 2>&1)
check "too few samples is status 1" test $? -eq 1
check "too few samples is explained" grep -q '^Za mało próbek do obliczenia widma: 6 ' <<<"$err"
"$cli" spectrum "$work/run.kgd" --channels 3 >/dev/null 2>&1
check "an absent input is status 1" test $? -eq 1

finish
