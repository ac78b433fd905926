#!/usr/bin/env bash
# End-to-end checks of kresograf-cli on the simulated card: exit codes, the texts it prints, and
# the files it writes. Usage: cli_test.sh PATH/TO/kresograf-cli
set -u
cli=$1
# shellcheck source=check.sh
. "$(dirname "$0")/check.sh"

# Three shots by default, one line each, input 7 at its constant -1.5 V.
out=$("$cli" scope --channels 7 --rate 95000 --duration 0.01)
check "scope exits 0" test $? -eq 0
check "scope prints three shots" test "$(grep -c '^shot [123]: ' <<<"$out")" -eq 3
check "scope reports input 7" grep -q 'kanał 7: min -1.499 V, max -1.499 V, średnia -1.499 V' <<<"$out"

# Bad options: a clear Polish message and status 2.
err=$("$cli" scope --rate 1234 2>&1 >/dev/null)
check "unknown rate is status 2" test $? -eq 2
check "unknown rate is explained" grep -q 'Nieznana częstotliwość: "1234"' <<<"$err"
check "in two lines, the help's pointer last" test "$(wc -l <<<"$err") $(tail -1 <<<"$err")" = \
    '2 Więcej informacji: kresograf-cli --help'
"$cli" scope --channels 1,9 >/dev/null 2>&1
check "channel 9 is status 2" test $? -eq 2
"$cli" scope --differential --channels 5 >/dev/null 2>&1
check "pair 5 is status 2" test $? -eq 2
while IFS='|' read -r option value message; do
    err=$("$cli" scope --shots 1 "$option" "$value" 2>&1 >/dev/null)
    check "$option $value is status 2" test $? -eq 2
    check "$option $value is explained" grep -qF "$message \"$value\"" <<<"$err"
done <<'EOF_OPTIONS'
--threshold|5.01|Niepoprawny próg wyzwalania:
--threshold|nan|Niepoprawny próg wyzwalania:
--threshold|1e40|Niepoprawny próg wyzwalania:
--trigger-type|both|Niepoprawny typ wyzwalania:
--gain|1=x5|Niepoprawne wzmocnienie:
--gain|0=x10|Niepoprawne wzmocnienie:
--gain|9=x1|Niepoprawne wzmocnienie:
EOF_OPTIONS
"$cli" frobnicate >/dev/null 2>&1
check "unknown command is status 2" test $? -eq 2

# A recording of 1000 conversions over two inputs: 500 scans, 378 + 500 * 2 * 4 bytes.
lines=$("$cli" record "$work/r.kgd" --channels 1,7 --rate 95000 --duration 0.0105 2>/dev/null)
check "record exits 0" test $? -eq 0
check "record writes the file" test "$(stat -c %s "$work/r.kgd")" -eq $((378 + 500 * 2 * 4))
check "record prints the nine lines" test "$(wc -l <<<"$lines")" -eq 9
check "record prints the size line" grep -qx 'Rozmiar pliku: 4378 bajtów' <<<"$lines"
info=$("$cli" info "$work/r.kgd")
check "info prints what record printed" test "$info" = "$lines"

"$cli" export "$work/r.kgd" "$work/r.dat" --time --channels 7
check "export exits 0" test $? -eq 0
check "export writes a line per scan" test "$(wc -l <"$work/r.dat")" -eq 500
check "export's first line" test "$(head -1 "$work/r.dat")" = "$(printf '0.00\t-1.499\t\r')"
check "export's second line" test "$(sed -n 2p "$work/r.dat")" = "$(printf '0.02\t-1.499\t\r')"
# At "1 / 1 Hz" one input's scans are a second apart, and the time column says so.
"$cli" record "$work/p.kgd" --channels 7 --rate 1/1 --duration 2 >/dev/null 2>&1
check "prescaled record exits 0" test $? -eq 0
"$cli" export "$work/p.kgd" "$work/p.dat" --time --channels 7
check "prescaled export's times" test "$(cut -f1 "$work/p.dat" | tr -d '\r' | paste -sd' ')" = "0.00 1000.00"
"$cli" export "$work/r.kgd" "$work/x.dat" --channels 3 >/dev/null 2>&1
check "export of an absent input fails" test $? -eq 1
check "no file left by a refused export" test ! -e "$work/x.dat"
"$cli" export "$work/r.kgd" "$work/x.csv" --format xml >/dev/null 2>&1
check "an unknown export format is status 2" test $? -eq 2
err=$("$cli" export "$work/r.kgd" /no/such/dir/x.h5 2>&1)
check "an unwritable export target is status 1" test $? -eq 1
check "and is explained" test "$err" = 'Błąd pliku: Błąd podczas próby otwarcia pliku do zapisu.'

# A target that cannot be written fails before the card starts.
start=$(date +%s%N)
err=$("$cli" record /no/such/dir/x.kgd --duration 5 2>&1)
check "unwritable target is status 1" test $? -eq 1
check "unwritable target fails at once" test $(($(date +%s%N) - start)) -lt 1000000000
check "unwritable target is explained" grep -qx 'Błąd zapisu pliku: Wystąpił błąd podczas zapisu do pliku.' <<<"$err"
# The file is written as the recording goes: killed after about 2.5 s, it opens with the scans of
# its last flush (at least a second's 47 500 a channel), every one of input 7 at its -1.5 V.
"$cli" record "$work/k.kgd" --channels 2,7 --rate 95000 --duration 10 >/dev/null 2>&1 &
recorder=$!
sleep 2.5
kill -9 "$recorder"
wait "$recorder" 2>/dev/null
"$cli" export "$work/k.kgd" "$work/k.dat" --channels 2,7
check "a killed recording opens" test $? -eq 0
check "it kept every second but the last" test "$(wc -l <"$work/k.dat")" -ge 47500
check "its scans are whole" test "$(cut -f2 "$work/k.dat" | sort -u)" = "-1.499"
check "and no temporary file stays" test "$(ls -A "$work" | grep -c '^\.')" -eq 0
# A file-size limit is a full disk: the recording ends with the message and a valid file.
err=$(prlimit --fsize=100000 "$cli" record "$work/f.kgd" --channels 2,7 --rate 95000 --duration 1 \
    2>&1 >/dev/null)
check "a full disk is status 1" test $? -eq 1
check "a full disk is explained" grep -q '^Błąd zapisu pliku: Brak miejsca na dysku\.' <<<"$err"
size=$(stat -c %s "$work/f.kgd")
check "what fitted is whole scans" test $(((size - 378) % 8)) -eq 0 -a "$size" -le 100000
"$cli" info "$work/f.kgd" >/dev/null
check "and opens" test $? -eq 0
# Without memory for a thread: the memory message and status 1, not an abort. The smallest data
# limit the program starts under (its libraries need some) leaves no room for a thread's stack.
for kib in $(seq 1024 128 16384); do
    err=$(prlimit --data=$((kib * 1024)) "$cli" record "$work/d.kgd" --duration 0.01 2>&1 >/dev/null)
    status=$?
    grep -q 'error while loading shared libraries\|std::bad_alloc' <<<"$err" || break
done
check "no thread is status 1" test "$status" -eq 1
check "no thread is explained" grep -qx 'Brak pamięci: Zbyt mało pamięci w celu zachowania danych.' <<<"$err"
# Measurements: the square input 2 is +-2 V (819 counts) in every sample, input 7 -1.5 V
# (-614 counts); scans are 2 x 84 / 8000 ms = 0.021 ms apart, so 1 ms … 2 ms holds scans 48 … 95.
"$cli" record "$work/m.kgd" --channels 2,7 --rate 95000 --duration 0.1 >/dev/null 2>&1
out=$("$cli" measure "$work/m.kgd" --channels 2)
check "measure exits 0" test $? -eq 0
check "measure of the square" grep -Eq '^kanał 2: min -1.9995 V, max 1.9995 V, średnia -?0.0[0-9]{3} V, RMS 1.9995 V, p-p 3.9990 V$' <<<"$out"
out=$("$cli" measure "$work/m.kgd" --from 0.001 --to 0.002 --channels 7)
check "measure of the constant" test "$(head -1 <<<"$out")" = 'kanał 7: min -1.4990 V, max -1.4990 V, średnia -1.4990 V, RMS 1.4990 V, p-p 0.0000 V'
check "measure's time line" test "$(tail -1 <<<"$out")" = 'Δt = 0.000987 s, 1/Δt = 1013.1712 Hz'
check "measure prints a line per input" test "$("$cli" measure "$work/m.kgd" | wc -l)" -eq 3
err=$("$cli" measure "$work/m.kgd" --from 5 2>&1)
check "empty window is status 1" test $? -eq 1
check "empty window is explained" grep -q 'Brak próbek w podanym przedziale czasu.' <<<"$err"
err=$("$cli" measure "$work/m.kgd" --from soon 2>&1 >/dev/null)
check "bad time is status 2" test $? -eq 2
"$cli" info --bogus >/dev/null 2>&1
check "an option is no file name to info" test $? -eq 2

# Broken and missing files (the reader's cases are core's tests): the message and status 1.
printf 'not a recording at all, just some bytes' >"$work/bad.kgd"
err=$("$cli" info "$work/bad.kgd" 2>&1)
check "broken file is status 1" test $? -eq 1
check "broken file is explained" grep -q 'Niepoprawny format pliku!' <<<"$err"
"$cli" info "$work/missing.kgd" >/dev/null 2>&1
check "missing file is status 1" test $? -eq 1

# Saving the last shot.
"$cli" scope --shots 2 --channels 1,2 --rate 95000 --duration 0.01 -o "$work/s.kgd" >/dev/null
"$cli" info "$work/s.kgd" >/dev/null
check "scope -o file opens" test $? -eq 0

finish
