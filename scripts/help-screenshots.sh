#!/bin/bash
# Makes the pictures of the help pages (docs/help/img/*.png) again, under a virtual display.
#
#   scripts/help-screenshots.sh [KRESOGRAF [KRESOGRAF_CLI]] [--only NAME[,NAME...]]
#   scripts/help-screenshots.sh --list
#
# KRESOGRAF defaults to build/release/gui/kresograf, KRESOGRAF_CLI to the kresograf-cli beside
# it (build/release/cli/kresograf-cli). The program runs on the simulated card with its own,
# empty settings (a temporary XDG_CONFIG_HOME), so the pictures do not depend on the user's
# colours or recent files. Each picture is taken by a fresh instance of the program under a time
# limit; a picture that cannot be taken is reported and the others are still made. The exit
# status is 0 when every picture was made, 1 otherwise, 2 when a tool or the program is missing.
#
# Needs xvfb-run, xdotool, xwininfo and ImageMagick (import, convert).

set -u

# Every picture, in the order of the help pages. Keep in step with docs/help/*.html.
SHOTS=(
    main-window       # okno-glowne.html: a document with three inputs
    menu-narzedzia    # okno-glowne.html, wykres.html: the "Narzędzia" menu open
    about             # okno-glowne.html: "O Aplikacji..."
    params-general    # parametry.html: "Parametry akwizycji", page "Ogólne"
    params-trigger    # parametry.html: page "Wyzwalanie"
    registered-params # akwizycja.html: "Zarejestrowane parametry"
    markers           # znaczniki.html: markers on the plot and the "Znaczniki" window
    export-ascii      # eksport.html: "Eksport do formatu ASCII"
    export-chooser    # eksport.html: the export's file chooser with its file types open
    export-progress   # eksport.html: the progress of a long export
    properties-colors # wlasciwosci.html: "Właściwości", page "Kolory"
    properties-card   # wlasciwosci.html: page "Karta"
    properties-recordings # wlasciwosci.html: page "Rejestracje"
    recovery-question # akwizycja.html: the question about a recording a crash left unsaved
    save-progress     # pliki.html: a recording saved to another file system, copied
    print-preview     # drukowanie.html: the print preview
    generator         # wyjscia.html: "Generator"
    formula           # wyjscia.html: "Generacja przebiegów"
    file-output       # wyjscia.html: "Generuj z pliku"
)

SCREEN_W=1280
SCREEN_H=800
MAIN_TITLE='Kresograf dla QB730'

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
self="$here/$(basename "${BASH_SOURCE[0]}")"

say() { printf '%s\n' "$*" >&2; }

# ---------------------------------------------------------------------------------------------
# Inside the virtual display: one picture per call of "--shot NAME".
# ---------------------------------------------------------------------------------------------

PID=
MAIN=

keys() { xdotool key --clearmodifiers --delay 120 "$@"; sleep 0.8; }

# The visible top-level windows of the program, one id a line.
windows() { xdotool search --onlyvisible --pid "$PID" 2>/dev/null | sort -u; }

start_program() {
    "$KRESOGRAF" --no-splash "$@" >>"$WORK/program.log" 2>&1 &
    PID=$!
    MAIN=$(timeout 20 xdotool search --sync --onlyvisible --name "$MAIN_TITLE" 2>/dev/null | head -1)
    if [ -z "$MAIN" ]; then
        say "  the main window did not appear"
        return 1
    fi
    xdotool windowmove "$MAIN" 0 0
    xdotool windowsize "$MAIN" 1000 680
    sleep 1.5
    focus "$MAIN"
}

# Points at a window and gives it the keyboard (there is no window manager to do it).
focus() {
    local WINDOW X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    xdotool windowfocus --sync "$1" 2>/dev/null
    sleep 0.3
}

stop_program() {
    [ -n "$PID" ] || { remove_shm; return 0; }
    kill "$PID" 2>/dev/null
    for _ in $(seq 20); do
        kill -0 "$PID" 2>/dev/null || break
        sleep 0.25
    done
    kill -9 "$PID" 2>/dev/null
    wait "$PID" 2>/dev/null
    PID=
    remove_shm
}

# The memory folder a picture made for itself.
remove_shm() {
    [ -z "${SHM:-}" ] || rm -rf "$SHM"
    SHM=
}

# Waits (at most $2 seconds) for a window that is not in the list $1, is not a menu or tooltip
# and whose title matches the pattern $3 (grep -E; empty = any), and prints the largest one.
new_window() {
    local before=$1 limit=$2 pattern=${3:-} best='' area=0 id WINDOW X Y WIDTH HEIGHT SCREEN
    for _ in $(seq $((limit * 4))); do
        for id in $(windows); do
            grep -qx "$id" <<<"$before" && continue
            xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && continue
            if [ -n "$pattern" ] && ! xdotool getwindowname "$id" 2>/dev/null | grep -Eq "$pattern"; then
                continue
            fi
            eval "$(xdotool getwindowgeometry --shell "$id")"
            if [ $((WIDTH * HEIGHT)) -gt "$area" ] && [ "$WIDTH" -gt 60 ]; then
                best=$id
                area=$((WIDTH * HEIGHT))
            fi
        done
        if [ -n "$best" ]; then
            sleep 1
            echo "$best"
            return 0
        fi
        sleep 0.25
    done
    return 1
}

# Takes one window as it shows on the screen.
grab_window() {
    import -window "$1" "$OUT/$2.png"
}

# Takes the whole screen, cut to what the program's windows cover (the background is black).
grab_screen() {
    import -window root png:- | convert png:- -trim +repage "$OUT/$1.png"
}

# open_window TITLE [KEYS...]: presses the keys, waits for the window titled TITLE (a grep -E
# pattern; empty = any) that they open, focuses it and prints its id.
open_window() {
    local title=$1 before dialog
    shift
    before=$(windows)
    [ $# -eq 0 ] || keys "$@"
    dialog=$(new_window "$before" 10 "$title") || {
        say "  no window \"$title\" after the keys $*"
        return 1
    }
    focus "$dialog"
    echo "$dialog"
}

# dialog_shot NAME TITLE [KEYS...]: opens the window with the keys and takes it.
dialog_shot() {
    local name=$1 dialog
    shift
    dialog=$(open_window "$@") || return 1
    grab_window "$dialog" "$name"
}

# Types a path into the file dialog that has just opened and confirms it.
file_dialog() {
    local before=$1 path=$2 dialog
    dialog=$(new_window "$before" 10 "") || {
        say "  the file dialog did not open"
        return 1
    }
    focus "$dialog"
    keys ctrl+a
    xdotool type --delay 30 "$path"
    sleep 0.3
    keys Return
}

# after_file_dialog NAME BEFORE TITLE: takes the window titled TITLE that the file dialog's
# answer opened (BEFORE is the list of windows from before the file dialog).
after_file_dialog() {
    local dialog
    dialog=$(new_window "$2" 10 "$3") || {
        say "  no window \"$3\" after the file dialog"
        return 1
    }
    focus "$dialog"
    grab_window "$dialog" "$1"
}

shot() {
    case "$1" in
    main-window)
        start_program "$DEMO_KGD" || return 1
        grab_window "$MAIN" main-window
        ;;
    menu-narzedzia)
        start_program "$DEMO_KGD" || return 1
        # The menu with its "Ustaw jako aktywny" submenu open (the channel keys 1 ... 8).
        keys alt+n u
        grab_screen menu-narzedzia
        ;;
    about)
        start_program || return 1
        # "&Okno" and "P&omoc" share the O: open "&Okno", step right to "P&omoc", then "&O programie...".
        dialog_shot about '^O Aplikacji' alt+o Right o
        ;;
    params-general)
        start_program "$DEMO_KGD" || return 1
        dialog_shot params-general '^Parametry akwizycji' alt+a p
        ;;
    params-trigger)
        start_program "$DEMO_KGD" || return 1
        local window
        window=$(open_window '^Parametry akwizycji' alt+a p) || return 1
        keys ctrl+Tab
        grab_window "$window" params-trigger
        ;;
    registered-params)
        start_program "$DEMO_KGD" || return 1
        dialog_shot registered-params '^Zarejestrowane parametry' alt+a z
        ;;
    markers)
        start_program "$DEMO_KGD" || return 1
        # Narrower, so that the markers window fits beside it with its texts whole.
        xdotool windowsize "$MAIN" 860 680
        sleep 1
        # shellcheck disable=SC2034 # all set by the eval, not all used
        local WINDOW X Y WIDTH HEIGHT SCREEN
        eval "$(xdotool getwindowgeometry --shell "$MAIN")"
        # Shift+left and Shift+right click place the active channel's two markers.
        xdotool mousemove $((WIDTH * 25 / 100)) $((HEIGHT / 2))
        xdotool keydown shift click 1 keyup shift
        sleep 0.5
        xdotool mousemove $((WIDTH * 55 / 100)) $((HEIGHT / 2))
        xdotool keydown shift click 3 keyup shift
        sleep 0.5
        focus "$MAIN"
        local markers
        markers=$(open_window '^Znaczniki' alt+w z) || return 1
        xdotool windowmove "$markers" 870 40
        xdotool windowsize "$markers" 400 600
        sleep 1
        grab_screen markers
        ;;
    export-ascii)
        start_program "$DEMO_KGD" || return 1
        local before
        before=$(windows)
        keys alt+p e a
        file_dialog "$before" "$WORK/export.dat" || return 1
        after_file_dialog export-ascii "$before" '^Eksport do formatu ASCII'
        ;;
    export-chooser)
        start_program "$DEMO_KGD" || return 1
        local before dialog WINDOW X Y WIDTH HEIGHT SCREEN
        before=$(windows)
        keys alt+p e a
        dialog=$(new_window "$before" 10 "") || return 1
        focus "$dialog"
        # The file-type list sits at the bottom, right of its label: open it.
        eval "$(xdotool getwindowgeometry --shell "$dialog")"
        xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 22)) click 1
        sleep 1
        grab_screen export-chooser
        ;;
    export-progress)
        start_program "$DEMO_LARGE_KGD" || return 1
        local before
        before=$(windows)
        keys alt+p e a
        file_dialog "$before" "$WORK/duzy.csv" || return 1
        new_window "$before" 10 '^Eksport do formatu CSV' >/dev/null || return 1
        # The time column and every input ("Tak"), then OK.
        keys space Tab space Down space Down space Down space Down space Down space Down space \
            Down space
        dialog_shot export-progress '^Eksport danych' Return
        ;;
    properties-colors)
        start_program || return 1
        dialog_shot properties-colors '^Właściwości' alt+n o
        ;;
    properties-card)
        start_program || return 1
        local window
        window=$(open_window '^Właściwości' alt+n o) || return 1
        keys ctrl+Tab
        grab_window "$window" properties-card
        ;;
    properties-recordings)
        # The folder as a user's default shows it (nothing is written there).
        export XDG_DATA_HOME=/home/laborant/.local/share
        start_program || return 1
        local window
        window=$(open_window '^Właściwości' alt+n o) || return 1
        keys ctrl+Tab ctrl+Tab
        grab_window "$window" properties-recordings
        ;;
    recovery-question)
        # A recording left in the recordings folder as a killed program leaves it.
        export XDG_DATA_HOME="$WORK/crashed"
        mkdir -p "$XDG_DATA_HOME/kresograf/recordings"
        cp "$DEMO_KGD" "$XDG_DATA_HOME/kresograf/recordings/rejestracja-20240501-123005.kgd"
        start_program || return 1
        local question
        question=$(new_window "$MAIN" 10 '^Kresograf$') || return 1
        grab_window "$question" recovery-question
        ;;
    save-progress)
        # An interrupted recording of 2.5 GB in memory (a file system of its own), opened from
        # the recovery question and saved to the disk: a copy long enough to show its progress.
        [ -s "$DEMO_LARGE_KGD" ] || return 1
        export XDG_DATA_HOME
        XDG_DATA_HOME=$(mktemp -d /dev/shm/kresograf-shots.XXXXXX) || return 1
        SHM=$XDG_DATA_HOME
        mkdir -p "$SHM/kresograf/recordings"
        python3 - "$DEMO_LARGE_KGD" "$SHM/kresograf/recordings/rejestracja-20240501-123005.kgd" <<'PYTHON'
import struct, sys
scans = 80_000_000
source = open(sys.argv[1], "rb")
header = bytearray(source.read(378))
struct.pack_into("<I", header, 80, scans)
block = source.read(32 * 1_000_000)
with open(sys.argv[2], "wb") as out:
    out.write(header)
    for _ in range(scans // 1_000_000):
        out.write(block)
PYTHON
        start_program || return 1
        local question before
        question=$(new_window "$MAIN" 10 '^Kresograf$') || return 1
        focus "$question"
        keys Return
        sleep 3
        focus "$MAIN"
        before=$(windows)
        keys alt+p j
        file_dialog "$before" "$WORK/zapis.kgd" || return 1
        local progress
        progress=$(new_window "$before" 10 '^Kresograf$') || return 1
        grab_window "$progress" save-progress
        ;;
    print-preview)
        start_program "$DEMO_KGD" || return 1
        dialog_shot print-preview '' alt+p p
        ;;
    generator)
        start_program || return 1
        dialog_shot generator '^Generator' alt+g g
        ;;
    formula)
        start_program || return 1
        dialog_shot formula '^Generacja przebiegów' alt+g w
        ;;
    file-output)
        start_program || return 1
        local before
        before=$(windows)
        keys alt+g a
        file_dialog "$before" "$DEMO_DAT" || return 1
        after_file_dialog file-output "$before" '^Generuj z pliku'
        ;;
    *)
        say "  unknown picture"
        return 1
        ;;
    esac
}

if [ "${1:-}" = "--shot" ]; then
    trap stop_program EXIT
    shot "$2"
    exit $?
fi

if [ "${1:-}" = "--inside" ]; then
    shift
    failed=()
    for name in "$@"; do
        say "$name"
        rm -f "$OUT/$name.png"
        if timeout 90 "$self" --shot "$name" && [ -s "$OUT/$name.png" ]; then
            say "  $OUT/$name.png"
        else
            failed+=("$name")
            rm -f "$OUT/$name.png"
            say "  FAILED"
        fi
    done
    if [ ${#failed[@]} -gt 0 ]; then
        say "Not made: ${failed[*]}"
        if [ -s "$WORK/program.log" ]; then
            say "The program's last words:"
            tail -n 20 "$WORK/program.log" >&2
        fi
        exit 1
    fi
    exit 0
fi

# ---------------------------------------------------------------------------------------------
# Outside: arguments, tools, the sample files, then the virtual display.
# ---------------------------------------------------------------------------------------------

if [ "${1:-}" = "--list" ]; then
    printf '%s.png\n' "${SHOTS[@]}"
    exit 0
fi

only=
positional=()
while [ $# -gt 0 ]; do
    case "$1" in
    --only)
        only=${2:-}
        shift 2
        ;;
    -h | --help)
        sed -n '2,14p' "$self" | sed 's/^# \{0,1\}//'
        exit 0
        ;;
    *)
        positional+=("$1")
        shift
        ;;
    esac
done

KRESOGRAF=${positional[0]:-$root/build/release/gui/kresograf}
KRESOGRAF_CLI=${positional[1]:-$(dirname "$KRESOGRAF")/../cli/kresograf-cli}

for tool in xvfb-run xdotool xwininfo import convert; do
    if ! command -v "$tool" >/dev/null; then
        say "help-screenshots: $tool is missing (apt-get install xvfb xdotool x11-utils imagemagick)"
        exit 2
    fi
done
if [ ! -x "$KRESOGRAF" ]; then
    say "help-screenshots: no program at $KRESOGRAF (build it first, see README.md)"
    exit 2
fi

names=("${SHOTS[@]}")
if [ -n "$only" ]; then
    IFS=, read -r -a names <<<"$only"
fi

OUT="$root/docs/help/img"
mkdir -p "$OUT"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/kresograf-shots.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/config" "$WORK/data"
# Recordings the user's own program left behind must not be offered in the pictures.
export XDG_DATA_HOME="$WORK/data"

# A short recording of three inputs: a sine, a square and a triangle of the simulated card.
DEMO_KGD="$WORK/pomiar.kgd"
if [ -x "$KRESOGRAF_CLI" ]; then
    if ! XDG_CONFIG_HOME="$WORK/config" "$KRESOGRAF_CLI" record "$DEMO_KGD" \
        --rate 5000 --duration 0.1 --channels 1,2,3 >"$WORK/record.log" 2>&1; then
        say "help-screenshots: the sample recording failed; see below"
        cat "$WORK/record.log" >&2
    fi
else
    say "help-screenshots: no kresograf-cli at $KRESOGRAF_CLI; pictures of a recording will fail"
fi
# A long recording of eight inputs whose export takes seconds: the header of a short one with the
# count of scans patched, then one period of a sine on every input over and over.
DEMO_LARGE_KGD="$WORK/duzy.kgd"
if [ -s "$DEMO_KGD" ] && XDG_CONFIG_HOME="$WORK/config" "$KRESOGRAF_CLI" record "$WORK/osiem.kgd" \
    --rate 5000 --duration 0.01 --channels 1,2,3,4,5,6,7,8 >/dev/null 2>&1; then
    python3 - "$WORK/osiem.kgd" "$DEMO_LARGE_KGD" <<'PYTHON'
import array, math, struct, sys
scans, period = 24_000_000, 1000
header = bytearray(open(sys.argv[1], "rb").read(378))
struct.pack_into("<I", header, 80, scans)
one = array.array("i", (round(4096 * (c + 1) / 3 * math.sin(2 * math.pi * i / period))
                        for i in range(period) for c in range(8)))
with open(sys.argv[2], "wb") as out:
    out.write(header)
    block = one * 100
    for _ in range(scans // (100 * period)):
        out.write(block.tobytes())
PYTHON
fi
# A short sample file for the output from a file: one period of a sine in volts.
DEMO_DAT="$WORK/sinus.dat"
awk 'BEGIN { for (i = 0; i < 100; i++) printf "%.3f\n", 2.5 * sin(2 * 3.14159265 * i / 100) }' \
    >"$DEMO_DAT"

export KRESOGRAF OUT WORK DEMO_KGD DEMO_LARGE_KGD DEMO_DAT
export XDG_CONFIG_HOME="$WORK/config"
export XDG_RUNTIME_DIR="$WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
xvfb-run -a -s "-screen 0 ${SCREEN_W}x${SCREEN_H}x24" "$self" --inside "${names[@]}"
