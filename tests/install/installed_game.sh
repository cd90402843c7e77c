# Sourced by the installation tests: a scratch folder ($scratch) removed on exit with any game still running, and
# fail().

scratch=$(mktemp -d)
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs COMMAND... until it succeeds; returns 1 once SECONDS have passed without.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Starts LAUNCHER headless from / and checks that it runs PROGRAM in DATA, finds its data and ends with status 0 on
# SIGTERM. The disk audio file shows the game is up; its message loop takes the signal only after start-up has loaded
# the data, so what start-up reports is read after the exit. WORK is a scratch folder.
check_installed_game() {
    local launcher=$1 program=$2 data=$3 work=$4
    local audio=$work/audio.raw status=0
    (cd / && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" PLATFORM_MESSAGEBOX=stderr \
        exec "$launcher" 2>"$work/stderr.txt") &
    game_pid=$!
    wait_until 60 eval '[ -s "$audio" ] || ! kill -0 "$game_pid" 2>/dev/null' || true
    [ -s "$audio" ] || fail "the game did not start: $(cat "$work/stderr.txt")"
    [ "$(readlink -f "/proc/$game_pid/exe")" = "$(readlink -f "$program")" ] || fail "wrong program"
    [ "$(readlink -f "/proc/$game_pid/cwd")" = "$(readlink -f "$data")" ] || fail "wrong directory"

    kill -TERM "$game_pid"
    wait "$game_pid" || status=$?
    game_pid=""
    [ "$status" -eq 0 ] || fail "exit code $status after SIGTERM"
    if grep -E 'FX/|Textures/|Sounds/' "$work/stderr.txt"; then fail "data files missing after installation"; fi
}

# Checks the installed icon of every size against the picture make-art made for it.
check_icons() {
    local share=$1 size
    for size in 32 48 64 128 256; do
        cmp -s "$share/icons/hicolor/${size}x$size/apps/corvalo.png" "Textures/corvalo-icon-$size.png" ||
            fail "icon of $size px missing or wrong"
    done
    if ls "$share/games/corvalo/Textures/" | grep -q icon; then fail "icons installed as game data"; fi
}

# Validates the desktop entry, the AppStream metainfo and the manual page of the tree under ROOT, whose data lives in
# ROOT/SHARE; the newest release of the changelog and of the metainfo must both be VERSION, of the same day.
check_descriptions() {
    local root=$1 share=$2 version=$3 warnings day
    desktop-file-validate "$root/$share/applications/corvalo.desktop" || fail "desktop entry invalid"
    appstreamcli validate-tree --no-net "$root" || fail "AppStream metainfo invalid"
    changelog() { zcat "$root/$share/doc/corvalo/changelog.gz" | dpkg-parsechangelog -l - "$@"; }
    [ "$(changelog -SVersion)" = "$version" ] || fail "the newest changelog entry is not $version"
    day=$(date -u -d "@$(changelog -STimestamp)" +%F)
    grep -m1 '<release ' "$root/$share"/metainfo/*.metainfo.xml | grep -q "version=\"$version\" date=\"$day\"" ||
        fail "the newest AppStream release is not $version of $day, as in the changelog"
    warnings=$(zcat "$root/$share/man/man6/corvalo.6.gz" | groff -man -ww -z 2>&1) || fail "man page: groff failed"
    [ -z "$warnings" ] || fail "man page: $warnings"
}

# Starts the desktop entry ENTRY headless as a desktop would (gio launch) and checks that it runs PROGRAM in DATA. gio
# leaves the game running on its own, so the game is found by its executable and stopped by its id.
check_desktop_entry() {
    local entry=$1 program=$2 data=$3 work=$4
    local audio=$work/entry-audio.raw proc
    program=$(readlink -f "$program")
    (cd / && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" PLATFORM_MESSAGEBOX=stderr \
        gio launch "$entry" 2>"$work/entry-stderr.txt") || fail "gio launch $entry: $(cat "$work/entry-stderr.txt")"
    wait_until 60 test -s "$audio" || true
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/exe" 2>/dev/null)" = "$program" ] && game_pid=${proc#/proc/}
    done
    [ -s "$audio" ] && [ -n "$game_pid" ] || fail "$entry did not start $program: $(cat "$work/entry-stderr.txt")"
    [ "$(readlink -f "/proc/$game_pid/cwd")" = "$(readlink -f "$data")" ] || fail "$entry: wrong directory"

    kill -TERM "$game_pid"
    wait_until 60 eval '! readlink "/proc/$game_pid/exe" >/dev/null 2>&1' ||
        fail "$entry: the game did not end on SIGTERM"
    game_pid=""
}

# The program the Exec line of the desktop entry ENTRY names, read as the Desktop Entry rules say: a string value's
# escapes, then an argument's double quotes, then %%. Enough for an Exec of one word, as Corvalo's is.
exec_program() {
    local value
    value=$(unescape "$(sed -n 's/^Exec=//p' "$1")" strings)
    [ "${value:0:1}" = '"' ] && value=$(unescape "${value:1:${#value}-2}" quotes)
    local percents='%%'
    printf '%s' "${value//"$percents"/%}"
}

# TEXT with each backslash escape replaced by the character it stands for; as KIND "strings", \s, \n, \t and \r are
# a space, a line feed, a tab and a carriage return.
unescape() {
    local text=$1 kind=$2 out="" c i
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        if [ "$c" = '\' ]; then
            i=$((i + 1))
            c=${text:i:1}
            [ "$kind" = strings ] && case $c in s) c=' ' ;; n) c=$'\n' ;; t) c=$'\t' ;; r) c=$'\r' ;; esac
        fi
        out+=$c
    done
    printf '%s' "$out"
}
