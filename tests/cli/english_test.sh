#!/usr/bin/env bash
# kresograf-cli in English: under an English locale its help, messages and reports keep no Polish
# text; under any other locale the help stays the Polish one, byte for byte.
# Usage: english_test.sh PATH/TO/kresograf-cli PATH/TO/en.po (run with LC_ALL=en_US.UTF-8)
set -u
cli=$1
po=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION CONDITION...
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

# Every line of a Polish text that the catalogue translates into other words.
mapfile -d '' ids < <(LC_ALL=C.UTF-8 msgexec -i "$po" sh -c 'printf "%s\0" "$MSGEXEC_MSGID"')
mapfile -d '' strs < <(LC_ALL=C.UTF-8 msgexec -i "$po" 0)
check "the catalogue is read" test "${#ids[@]}" -gt 100 -a "${#ids[@]}" -eq "${#strs[@]}"
for i in "${!ids[@]}"; do
    while IFS= read -r line; do
        if [ -n "$line" ] && ! grep -qxF -- "$line" <<<"${strs[i]}"; then printf '%s\n' "$line"; fi
    done <<<"${ids[i]}"
done >"$work/polish"

out=$work/out
run() {  # run EXPECTED-STATUS ARGS...: output of both streams into $out
    local expected=$1
    shift
    "$cli" "$@" >>"$out" 2>&1
    local status=$?
    [ "$status" -eq "$expected" ] || { echo "FAIL status $status of: $*"; failures=$((failures + 1)); }
}
run 0 --help
run 2
run 2 frobnicate
for command in scope record export generate formula play measure; do
    run 2 "$command" --bogus
done
run 2 scope --rate 1234
run 2 scope --channels 9
run 2 generate sine --amplitude 9
run 2 formula linear
run 2 measure x.kgd --from 1 --to 0
run 1 info "$work/none.kgd"
run 0 scope --channels 7 --rate 95000 --duration 0.01 --shots 2 --trigger rising \
    --trigger-channel 3
run 0 record "$work/r.kgd" --channels 1,7 --rate 95000 --duration 0.0105
run 0 info "$work/r.kgd"
run 0 measure "$work/r.kgd" --channels 7 --to 0.005
run 1 measure "$work/r.kgd" --channels 3

check "no Polish letter" test -z "$(LC_ALL=C grep -F -e ą -e ć -e ę -e ł -e ń -e ó -e ś -e ź -e ż \
    -e Ą -e Ć -e Ę -e Ł -e Ń -e Ó -e Ś -e Ź -e Ż "$out")"
check "no line of a Polish text" test -z "$(grep -xF -f "$work/polish" "$out")"
for line in 'Usage:' 'Card outputs:' 'Unknown option: --bogus.' \
    'More information: kresograf-cli --help' 'Unknown command: frobnicate.' \
    'Warning: trigger channel 3 is not measured - automatic trigger.' \
    'shot 2: 952 scans; channel 7: min -1.499 V, max -1.499 V, mean -1.499 V' \
    'Sampling rate per channel: 47500 Hz' 'File size: 4378 bytes' \
    'channel 7: min -1.4990 V, max -1.4990 V, mean -1.4990 V, RMS 1.4990 V, p-p 0.0000 V' \
    'Channel 3 holds no data in the file.' \
    'Invalid amplitude: "9" (0.00 to 4.99 V in steps of 0.01 V).'; do
    check "prints: $line" grep -qxF -- "$line" "$out"
done

# Any other language, or English only as a fallback, keeps the Polish help.
polish=$(LC_ALL=C LANGUAGE= "$cli" --help)
check "the C locale's help is Polish" test "$(head -1 <<<"$polish")" = "Użycie:"
for environment in "LC_ALL=de_DE.UTF-8 LANGUAGE=" "LC_ALL=pl_PL.UTF-8 LANGUAGE=" \
    "LC_ALL=pl_PL.UTF-8 LANGUAGE=pl:en" "LC_ALL= LANG=fr_FR.UTF-8 LANGUAGE="; do
    check "Polish help under $environment" test "$(env $environment "$cli" --help)" = "$polish"
done

# The English help names the options the Polish one and the manual page name.
options() { grep -o -- '--[a-z-]*[a-z]' | sort -u; }
check "the same options in both languages" test "$("$cli" --help | options)" = "$(options <<<"$polish")"
man=$(dirname "$po")/../docs/man/kresograf-cli.1
check "every option in the manual page" test -z "$(comm -23 <(options <<<"$polish") \
    <(sed 's/\\-/-/g' "$man" | options))"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
