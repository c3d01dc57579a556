#!/usr/bin/env bash
# Runs the demo with --pictures and renders every picture it names with rsvg-convert: six moments,
# each saved, named on the demo's output, and drawn without an error.
set -uo pipefail

demo="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

output="$("$demo" --pictures "$work/pictures")" || { echo "FAIL: the demo failed"; echo "$output"; exit 1; }
mapfile -t named < <(sed -n 's/^ *\[picture\] //p' <<<"$output")
failures=0
for moment in 01-dock-menu 02-catalogue 03-customise 04-anchor-prompt 05-robbery-map 06-sale; do
    file="$work/pictures/$moment.svg"
    [[ " ${named[*]} " == *" $file "* ]] || { echo "FAIL: $moment was not named on the output"; failures=$((failures + 1)); }
    if ! rsvg-convert -o "$work/$moment.png" "$file" || [[ "$(head -c 4 "$work/$moment.png" | tail -c 3)" != PNG ]]; then
        echo "FAIL: $moment did not render"
        failures=$((failures + 1))
    fi
done
echo "demo pictures: ${#named[@]} named, $failures failed"
((failures == 0 && ${#named[@]} == 6))
