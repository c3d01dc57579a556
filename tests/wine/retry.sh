#!/usr/bin/env bash
# shellcheck disable=SC2016,SC2053 # the stand-in's expansions are its own; stderr meets a pattern
# cmake/run-under-wine.sh with a stand-in for wine that fails as Wine itself does (its server went
# away) or as the program does: the first is run once more, once, and says so; the second counts at
# once; the program's own output goes through whole. Usage: retry.sh RUN_UNDER_WINE
set -uo pipefail
wrapper="$1" dir="$(mktemp -d)" failures=0
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/bin" "$dir/prefix" && touch "$dir/prefix/.made-by-run-under-wine"
# Counts its calls; PROGRAM says which calls fail and how: "client 1" fails the first call as Wine.
printf '%s\n' '#!/bin/sh' 'n=$(($(cat "$WINEPREFIX/calls" 2>/dev/null || echo 0) + 1)); echo $n >"$WINEPREFIX/calls"' \
    'echo "out $n"; echo "err $n" >&2; [ "$n" -gt "$2" ] && exit 0' \
    '[ "$1" = client ] && echo "wine client error:0: recvmsg: Connection reset by peer" >&2; exit 1' >"$dir/bin/wine"
chmod +x "$dir/bin/wine"
expect() { # PROGRAM FAILING_CALLS -> EXIT CALLS STDOUT STDERR_PATTERN
    rm -f "$dir/prefix/calls"
    out="$(PATH="$dir/bin:$PATH" "$wrapper" "$dir/prefix" "$1" "$2" 2>"$dir/err")"
    local status=$? calls err && calls="$(cat "$dir/prefix/calls")" && err="$(cat "$dir/err")"
    [[ $status == "$3" && $calls == "$4" && $out == "$5" && $err == $6 ]] ||
        { echo "FAIL $1 $2: exit $status, $calls calls, stdout [$out], stderr [$err]"; failures=$((failures + 1)); }
}
expect client 1 0 2 $'out 1\nout 2' $'run-under-wine: Wine itself failed (exit 1), not client; running it once more.*\n    err 1\n    wine client error:0: recvmsg: Connection reset by peer\nerr 2'
expect client 2 1 2 $'out 1\nout 2' $'run-under-wine: Wine itself failed*\n    wine client error:0:*\nerr 2\nwine client error:0:*'
expect own 1 1 1 'out 1' 'err 1'
expect own 0 0 1 'out 1' 'err 1'
[[ $(wc -l <"$dir/prefix.retried") == 2 ]] || { echo "FAIL retries noted: $(cat "$dir/prefix.retried")"; failures=$((failures + 1)); }
((failures == 0)) && echo "run-under-wine: Wine's own failures retried once, the program's counted at once"
