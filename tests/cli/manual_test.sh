#!/usr/bin/env bash
# Every option and command the parsers know appears both in the program's help and in its manual
# page, so the two never disagree with the programs.
# Usage: manual_test.sh SOURCE_DIR PATH/TO/kresograf-cli PATH/TO/kresograf
set -u
src=$1
cli=$2
gui=$3
failures=0

# The options a parser source compares arguments with ("--rate", "-o").
options_in() { grep -oh '"--\?[a-z][a-z0-9-]*"' "$@" | tr -d '"' | sort -u; }
# The manual page's text without roff's escapes (\- is a minus, \fB bold).
page_text() { sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\(.. / /g' "$1"; }
mentions() {  # mentions TEXT WORD: the word stands alone, not inside a longer option
    grep -qE -- "(^|[^a-z0-9-])$2([^a-z0-9-]|\$)" <<<"$1"
}
check_all() {  # check_all WHAT HELP PAGE WORD...
    local what=$1 help=$2 page=$3
    shift 3
    [ "$#" -gt 0 ] || { echo "FAIL $what: no options found in the sources"; failures=$((failures + 1)); }
    for word in "$@"; do
        mentions "$help" "$word" || { echo "FAIL $what: $word missing from --help"; failures=$((failures + 1)); }
        mentions "$page" "$word" || { echo "FAIL $what: $word missing from the manual page"; failures=$((failures + 1)); }
    done
}

cli_help=$("$cli" --help)
cli_page=$(page_text "$src/docs/man/kresograf-cli.1")
# shellcheck disable=SC2046
check_all kresograf-cli "$cli_help" "$cli_page" \
    $(options_in "$src"/cli/*.cpp "$src/core/shell/acquisition_options.cpp" \
        "$src/core/shell/output_options.cpp") \
    $(grep -o 'command == "[a-z]*"' "$src/cli/main.cpp" | cut -d'"' -f2)

# The desktop program prints its usage with any wrong option.
gui_help=$("$gui" --no-such-option 2>&1)
gui_page=$(page_text "$src/docs/man/kresograf.1")
# shellcheck disable=SC2046
check_all kresograf "$gui_help" "$gui_page" $(options_in "$src/core/shell/start_options.cpp")

[ "$failures" -eq 0 ] && echo "ok   help and manual pages name every option and command"
exit $((failures > 0))
