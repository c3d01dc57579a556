#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the build folder's own Wine prefix. ctest
# calls this for every test process (CMAKE_CROSSCOMPILING_EMULATOR).
#
# Wine's server goes away a few seconds after its last program ends, and a program that connects
# while it does so dies with "wine client error: ... Connection reset by peer" before running a
# line of its own. So scripts/test starts the server once for all its cases (--start), with the
# session's own processes (services, desktop) detached from any case's output, and stops it after
# them (--stop). Used on its own, the first call makes the prefix under a lock, since ctest runs
# cases side by side. A program that Wine itself fails to start is run once more, saying so on
# standard error and in PREFIX.retried.
#
# Usage: run-under-wine.sh PREFIX PROGRAM [ARGUMENTS...]
#        run-under-wine.sh --start PREFIX   make the prefix if need be, start a server that stays
#        run-under-wine.sh --stop PREFIX    stop that server and wait until it is gone
set -eu

mode=run
case "${1-}" in
    --start | --stop)
        mode="${1#--}"
        shift
        ;;
esac
if (($# < 1)) || [[ $mode == run && $# -lt 2 ]]; then
    echo "usage: run-under-wine.sh PREFIX PROGRAM [ARGUMENTS...] | --start PREFIX | --stop PREFIX" >&2
    exit 2
fi
prefix="$1"
shift

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono nor Gecko: the tests are console programs, and without these wineboot asks for nothing.
# No menu entries either: they would land in the user's home.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"

# Written once the prefix is whole: system.reg appears while wineboot is still at work.
readonly made="$prefix/.made-by-run-under-wine"

# The processes a session starts outlive the program that started them and keep its output open,
# so theirs goes nowhere: a reader of a case's output would otherwise wait for the server's end.
boot() {
    wineboot --init </dev/null >/dev/null 2>&1
}

case "$mode" in
    start)
        mkdir -p "$prefix"
        # A server left by an interrupted run, or lingering after a bare ctest, gives way.
        if ! wineserver -p 2>/dev/null; then
            wineserver -k 2>/dev/null || true
            wineserver -w
            wineserver -p
        fi
        boot || {
            echo "run-under-wine: could not make the Wine prefix $prefix" >&2
            wineserver -k 2>/dev/null || true
            exit 1
        }
        touch "$made"
        exit 0
        ;;
    stop)
        wineserver -k 2>/dev/null || true
        wineserver -w
        exit 0
        ;;
esac

if [[ ! -f "$made" ]]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [[ ! -f "$made" ]]; then
            boot || true
            wineserver --wait
            [[ -f "$prefix/system.reg" ]] && touch "$made"
        fi
    ) 9>"$prefix.lock"
    if [[ ! -f "$made" ]]; then
        echo "run-under-wine: could not make the Wine prefix $prefix" >&2
        exit 1
    fi
fi

# Wine's own complaints when a program cannot reach or start its server: Wine failed, whatever the
# program did.
readonly wine_failure='^wine client error:|^wine: .*(wine ?server|wineserver)'

# The program's standard output goes straight through; its standard error is held until it ends,
# to tell Wine's failure from the program's own.
errors="$(mktemp)"
trap 'rm -f "$errors"' EXIT
for attempt in 1 2; do
    status=0
    wine "$@" 2>"$errors" || status=$?
    if ((status != 0 && attempt == 1)) && grep -qE "$wine_failure" "$errors"; then
        echo "run-under-wine: Wine itself failed (exit $status), not $1; running it once more. It said:" >&2
        sed 's/^/    /' "$errors" >&2
        # Also where the caller looks after its run, since a test may hold its runner's output back.
        echo "Wine itself failed to run $*: $(grep -m1 -E "$wine_failure" "$errors"); ran it once more" >>"$prefix.retried"
        continue
    fi
    cat "$errors" >&2
    exit "$status"
done
