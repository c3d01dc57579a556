#!/usr/bin/env bash
# Breaks a copy of the shipped Tollmere folder one way at a time and checks that tollmere-check
# names that fault, counts it, and exits as it promises; the shipped folder and a sound boat record
# must check clean; last come --help and an unknown option ("options"). ctest runs each case alone.
# Usage: check_folders.sh [--case NAME] ASSETS_DIR CHECKER [RUNNER...] (a runner such as wine), or
# check_folders.sh --list for the cases' names.
set -uo pipefail

only=""
[[ "${1-}" == --case ]] && only="$2" && shift 2
assets="${1-}"
shift $(($# > 0))
checker=("$@")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

boat() { printf 'owned_boat_model=%s\ntint=1\npropset_index=%s\nlantern_propset_index=%s\nmax_health=1000\nhealth=%s\ndock_id=%s\ncoords=%s\n' "$@" >PlayerBoat.dat; }

# name | exit status | summary | text the report must hold | edit, run in the copied folder
cases=(
    "shipped|0|0 errors, 0 warnings|Lang.dat|:"
    "sound boat record|0|0 errors, 0 warnings|PlayerBoat.dat|boat -1613317544 0 -1 1.000000 2 0,0,0"
    "line without =|2|1 error, 0 warnings|line 24: error: \"prompts.close Close\" is not key=value|sed -i 's/^prompts.close=/prompts.close /' Lang.dat"
    "missing text|1|0 errors, 1 warning|\"prompts.back\" (dock prompt) is missing: the plug-in shows nothing there|sed -i '/^prompts.back=/d' Lang.dat"
    "missing price|2|1 error, 0 warnings|\"fees.clean_boat\" (cleaning price) is missing|sed -i '/^fees.clean_boat=/d' Configs.dat"
    "price not a number|2|1 error, 0 warnings|\"fees.tint\" = \"abc\" is not a number|sed -i 's/^fees.tint=.*/fees.tint=abc/' Configs.dat"
    "negative price|2|1 error, 0 warnings|\"fees.fix_boat\" = \"-10\" is a price below 0|sed -i 's/^fees.fix_boat=.*/fees.fix_boat=-10/' Configs.dat"
    "trailing text|1|0 errors, 1 warning|ignores \"dollars\"|sed -i 's/^fees.propset=.*/fees.propset=25dollars/' Configs.dat"
    "minimum reward above maximum|2|1 error, 0 warnings|smallest robbery reward 200 is above the largest 120|sed -i 's/^boat_robberies.min_reward=.*/boat_robberies.min_reward=200/' Configs.dat"
    "negative reward|2|1 error, 0 warnings|is below 0: no river robbery|sed -i 's/^boat_robberies.min_reward=.*/boat_robberies.min_reward=-5/' Configs.dat"
    "typo in a key|2|1 error, 1 warning|did you mean \"fees.clean_boat\"?|sed -i 's/^fees.clean_boat=/fees.clean_boats=/' Configs.dat"
    "blank in a key|2|1 error, 1 warning|Blanks around a key count|sed -i 's/^fees.tint=/fees.tint =/' Configs.dat"
    "key in the wrong file|1|0 errors, 1 warning|reads it from Configs.dat, not from here|echo fees.tint=8 >>Lang.dat"
    "frequency out of range|1|0 errors, 1 warning|is outside 0.1 to 1: the plug-in holds it to 1|sed -i 's/^RandomBoatRobberyEventsFrequency=.*/RandomBoatRobberyEventsFrequency=3/' Settings.ini"
    "switch not valid|2|1 error, 0 warnings|is not a switch|sed -i 's/^EnableBoatRobberies=.*/EnableBoatRobberies=maybe/' Settings.ini"
    "switch as a word|0|0 errors, 0 warnings|Settings.ini|sed -i 's/^EnableBoatRobberies=.*/EnableBoatRobberies=Off/' Settings.ini"
    "unknown boat model|2|1 error, 0 warnings|is not one of the five boats|echo owned_boat_model=12345 >PlayerBoat.dat"
    "fittings outside the model's list|2|1 error, 0 warnings|fittings set 2 is outside the 2 fittings sets|boat -1613317544 2 -1 1.000000 2 0,0,0"
    "lanterns on a model without any|2|1 error, 0 warnings|lantern set 0 is outside the 0 lantern sets|boat 1468884243 -1 0 1.000000 2 0,0,0"
    "dock that does not exist|2|1 error, 0 warnings|dock 10 names no dock|boat -1613317544 0 -1 1.000000 10 2000,-600,40"
    "health above its maximum|2|1 error, 0 warnings|health 1.5 is above its maximum|boat -1613317544 0 -1 1.5 2 0,0,0"
    "coordinates not three numbers|2|1 error, 0 warnings|is not three numbers x,y,z|boat -1613317544 0 -1 1.000000 0 2000,-600"
    "byte-order mark|1|0 errors, 1 warning|line 1: warning: starts with a byte-order mark|printf '\\xEF\\xBB\\xBF' | cat - Lang.dat >x && mv x Lang.dat"
    "mixed line endings|1|0 errors, 1 warning|mixes line endings: 1 lines end in CR LF|sed -i '1s/\$/\\r/' Configs.dat"
    "not UTF-8|1|0 errors, 1 warning|is not UTF-8 text (a byte 0xE9 at column 27)|sed -i 's/^boat_types.1468884243=Canoe/boat_types.1468884243=Cano\\xe9/' Lang.dat"
    "missing Configs.dat|2|1 error, 0 warnings|Configs.dat
  error: not found: the plug-in cannot load it and stays off|rm Configs.dat"
    "record looks overwritten|1|0 errors, 1 warning|then copy PlayerBoat.dat.bak over PlayerBoat.dat in the Tollmere folder|cp PlayerBoat.dat shipped && boat -1613317544 0 -1 1.000000 2 0,0,0 && mv PlayerBoat.dat PlayerBoat.dat.bak && mv shipped PlayerBoat.dat"
    "copy kept after a sale|0|0 errors, 0 warnings|PlayerBoat.dat: no problems found|printf 'owned_boat_model=0\\ntint=1\\n' | tee PlayerBoat.dat >PlayerBoat.dat.bak"
    "whole translation|0|0 errors, 0 warnings|Lang.fr-FR.dat: no problems found|cp Lang.dat Lang.fr-FR.dat"
    "translation lacks a text|1|0 errors, 1 warning|\"prompts.back\" (dock prompt) is missing: the plug-in shows the English text there|sed '/^prompts.back=/d' Lang.dat >Lang.pl-PL.dat"
    "translation key mistyped|1|0 errors, 2 warnings|nothing reads \"prompts.bak\": did you mean \"prompts.back\"?|sed 's/^prompts.back=/prompts.bak=/' Lang.dat >Lang.de-DE.dat"
    "translation text empty|1|0 errors, 1 warning|line 21: warning: \"prompts.back\" (dock prompt) is empty: the plug-in shows the es-ES text (or English) there|sed 's/^prompts.back=.*/prompts.back=/' Lang.dat >Lang.es-MX.dat && cp Lang.dat Lang.es-ES.dat"
    "translation drops an amount|1|0 errors, 2 warnings|lacks \"\$\", which the English \"Sell for \$25\" carries|rm -f Lang.*-*.dat && sed -i 's/^prompts.sell_boat=.*/prompts.sell_boat=Sell for \$25/' Lang.dat && sed 's/^prompts.sell_boat=.*/prompts.sell_boat=Vendre/' Lang.dat >Lang.fr-FR.dat"
    "help text too long|1|0 errors, 1 warning|is 500 bytes long: the game's feed shows the first 499|sed \"s/^tutorial.left_docks=.*/tutorial.left_docks=\$(printf '%500s' | tr ' ' x)/\" Lang.dat >Lang.ru-RU.dat"
    "broken translation|2|1 error, 0 warnings|line 2: error: \"Fermer\" is not key=value (one \"=\" between a key and a value): the plug-in reads nothing of this file|printf 'prompts.close=Fermer\\nFermer\\n' >Lang.custom.dat"
    "custom text not UTF-8|2|1 error, 0 warnings|is not UTF-8 text (a byte 0xE9 at column 15): the plug-in reads nothing|printf 'blips.boat=Bat\\xe9au\\n' >Lang.custom.dat"
    "custom price not a number|2|1 error, 0 warnings|\"fees.tint\" = \"cheap\" is not a number|echo fees.tint=cheap >Configs.custom.dat"
    "custom price below 0|2|1 error, 0 warnings|\"fees.tint\" = \"-2\" is a price below 0|echo fees.tint=-2 >Configs.custom.dat"
    "translation of no language|1|0 errors, 1 warning|\"fr\" is not a language the game reports; did you mean Lang.fr-FR.dat?|cp Lang.dat Lang.fr.dat"
)

# "missing Configs.dat" is missing-configs-dat.
slug() { local word; word="$(tr -cs 'a-z0-9' - <<<"${1,,}")"; word="${word#-}" && echo "${word%-}"; }
[[ "$assets" == --list ]] && { for entry in "${cases[@]}" options; do slug "${entry%%|*}"; done; exit 0; }

ran=0
for entry in "${cases[@]}"; do
    IFS='|' read -r -d '' name status summary text edit <<<"$entry"
    edit="${edit%$'\n'}"
    [[ -z "$only" || "$(slug "$name")" == "$only" ]] || continue
    ran=$((ran + 1))
    rm -rf "$work/Tollmere" && cp -r "$assets" "$work/Tollmere"
    (cd "$work/Tollmere" && eval "$edit") || { echo "FAIL $name: the edit failed"; failures=$((failures + 1)); continue; }
    report="$("${checker[@]}" "$work" 2>&1 | tr -d '\r')"
    actual=${PIPESTATUS[0]}
    if [[ "$actual" != "$status" || "$report" != *"tollmere-check: $summary "* || "$report" != *"$text"* ]]; then
        echo "FAIL $name: expected exit $status, \"$summary\" and \"$text\"; got exit $actual:"
        sed 's/^/    /' <<<"$report"
        failures=$((failures + 1))
    fi
done

if [[ -n "$only" && "$only" != options ]]; then
    ((ran > 0)) || { echo "FAIL: no case $only (try --list)"; exit 2; }
    echo "tollmere-check case $only: $failures failed" && exit $((failures > 0))
fi

# A tool answers --help and refuses what it does not know, in one line.
help="$("${checker[@]}" --help)" && [[ "$help" == Usage:* ]] || { echo "FAIL --help"; failures=$((failures + 1)); }
# Only the checker's own line counts: a runner such as wine may add lines of its own on stderr.
refusal="$("${checker[@]}" --colour 2>"$work/stderr")"
status=$?
[[ $status -eq 3 && -z "$refusal" && $(grep -c '^tollmere-check: ' "$work/stderr") -eq 1 ]] ||
    { echo "FAIL unknown option: exit $status, $(cat "$work/stderr")"; failures=$((failures + 1)); }

# Which file a value comes from: the player's own over the shipped one it hides.
rm -rf "$work/Tollmere" && cp -r "$assets" "$work/Tollmere" && echo fees.retrieve_boat=0 >"$work/Tollmere/Configs.custom.dat"
answer="$("${checker[@]}" "$work" --key fees.retrieve_boat --language pl-PL | tr -d '\r')"
[[ "$answer" == '"fees.retrieve_boat" in pl-PL: "0" from Configs.custom.dat line 1, over "'*'" from Configs.dat line '* ]] ||
    { echo "FAIL --key: $answer"; failures=$((failures + 1)); }

echo "tollmere-check cases: $ran folders and the options, $failures failed"
((failures == 0))
