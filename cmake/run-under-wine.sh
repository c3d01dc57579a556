#!/bin/sh
# Runs a Windows program of the build under Wine, in the build folder's own Wine prefix. ctest
# calls this for every test process (CMAKE_CROSSCOMPILING_EMULATOR); the first call makes the
# prefix, under a lock since ctest runs tests side by side, and every later one reuses it.
# Usage: run-under-wine.sh PREFIX PROGRAM [ARGUMENTS...]
set -eu

prefix="$1"
shift

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono nor Gecko: the tests are console programs, and without these wineboot asks for nothing.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/system.reg" ]; then
            wineboot --init >/dev/null 2>&1 || true
            wineserver --wait
        fi
    ) 9>"$prefix.lock"
    if [ ! -f "$prefix/system.reg" ]; then
        echo "run-under-wine: could not make the Wine prefix $prefix" >&2
        exit 1
    fi
fi

exec wine "$@"
