#!/usr/bin/env bash
# The program's catalogues against its sources.
#   scripts/translations.sh check    every text marked with Tr() or N_() in core/, gui/ and cli/
#                                     (and N_() in the Python module)
#                                     has a translation in each po/<lang>.po, and each compiles
#   scripts/translations.sh update   adds the texts the sources gained to each po/<lang>.po
#                                     (untranslated) and marks the ones they lost as obsolete
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
find core gui cli \( -name '*.cpp' -o -name '*.h' \) -print | LC_ALL=C sort >"$tmp/files"
xgettext --language=C++ --from-code=UTF-8 --keyword --keyword=Tr --keyword=N_ \
    --add-comments=TRANSLATORS: --no-location --sort-output --files-from="$tmp/files" \
    --package-name=Kresograf --output="$tmp/kresograf.pot"
# The Python module's messages share the catalogue.
xgettext --language=Python --from-code=UTF-8 --keyword --keyword=N_ --no-location --sort-output \
    --join-existing --output="$tmp/kresograf.pot" python/kresograf/*.py
status=0
while read -r language; do
    case "$language" in [a-z]*) ;; *) continue ;; esac
    po="po/$language.po"
    case "${1:-check}" in
    update)
        msgmerge --quiet --update --backup=none --no-fuzzy-matching --no-location --sort-output "$po" \
            "$tmp/kresograf.pot"
        # The template's date would change the catalogue on every update.
        sed -i '/^"POT-Creation-Date: /d; /^"Report-Msgid-Bugs-To: /d' "$po"
        ;;
    check)
        msgfmt --check --output-file=/dev/null "$po" || status=1
        # Every text of the sources must have a translation that is not fuzzy.
        msgcmp "$po" "$tmp/kresograf.pot" || status=1
        ;;
    *)
        echo "usage: $0 [check|update]" >&2
        exit 2
        ;;
    esac
done <po/LINGUAS
exit $status
