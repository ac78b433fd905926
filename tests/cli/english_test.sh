#!/usr/bin/env bash
# kresograf-cli in English (run with LC_ALL=en_US.UTF-8): no Polish text left in its help,
# messages and reports; under any other language the help stays the Polish one, byte for byte.
# Usage: english_test.sh PATH/TO/kresograf-cli PATH/TO/en.po
set -u
cli=$1 po=$2
# shellcheck source=check.sh
. "$(dirname "$0")/check.sh"

# Every line of a Polish text that the catalogue words differently in English.
mapfile -d '' ids < <(LC_ALL=C.UTF-8 msgexec -i "$po" sh -c 'printf "%s\0" "$MSGEXEC_MSGID"')
mapfile -d '' strs < <(LC_ALL=C.UTF-8 msgexec -i "$po" 0)
check "the catalogue is read" test "${#ids[@]}" -gt 100 -a "${#ids[@]}" -eq "${#strs[@]}"
for i in "${!ids[@]}"; do
    while IFS= read -r line; do
        if [ -n "$line" ] && ! grep -qxF -- "$line" <<<"${strs[i]}"; then printf '%s\n' "$line"; fi
    done <<<"${ids[i]}"
done >"$work/polish"

out=$work/out
run() { "$cli" "$@" >>"$out" 2>&1; }  # both streams into $out
for command in --help frobnicate scope record export generate formula play measure spectrum; do
    run "$command" --bogus
done
run scope --channels 7 --rate 95000 --duration 0.01 --shots 2 --trigger rising --trigger-channel 3
run record "$work/r.kgd" --channels 1,7 --rate 95000 --duration 0.0105
run info "$work/r.kgd"
run measure "$work/r.kgd" --channels 7 --to 0.005
run spectrum "$work/r.kgd" --channels 1 --peaks 1

check "no Polish letter" test -z "$(LC_ALL=C.UTF-8 grep '[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ]' "$out")"
check "no line of a Polish text" test -z "$(grep -xF -f "$work/polish" "$out")"
for line in 'Card outputs:' 'Unknown option: --bogus.' 'More information: kresograf-cli --help' \
    'Warning: trigger channel 3 is not measured - automatic trigger.' 'File size: 4378 bytes' \
    'shot 2: 952 scans; channel 7: min -1.499 V, max -1.499 V, mean -1.499 V' \
    'channel 7: min -1.4990 V, max -1.4990 V, mean -1.4990 V, RMS 1.4990 V, p-p 0.0000 V'; do
    check "prints: $line" grep -qxF -- "$line" "$out"
done

# Any other language, or English only as a fallback, keeps the Polish help; both name the same
# options (the manual page's are the manual test's).
polish=$(LC_ALL=C LANGUAGE= "$cli" --help)
check "the C locale's help is Polish" test "$(head -1 <<<"$polish")" = "Użycie:"
for environment in LC_ALL=de_DE.UTF-8 "LC_ALL= LANG=pl_PL.UTF-8" "LC_ALL=pl_PL.UTF-8 LANGUAGE=pl:en"; do
    check "Polish help under $environment" test "$(env $environment "$cli" --help)" = "$polish"
done
options() { grep -o -- '--[a-z-]*[a-z]' | sort -u; }
check "the same options in both languages" test "$("$cli" --help | options)" = "$(options <<<"$polish")"

finish
