#!/usr/bin/env bash
# Every option that `blurtle --help` lists has its entry in the manual page,
# so an option added to the program without its documentation fails here.
# Usage: man_page_lists_every_option.sh BLURTLE blurtle.1.gz
set -euo pipefail
program=$1
page=$(zcat "$2")

options=$(QT_QPA_PLATFORM=minimal "$program" --help 2>/dev/null |
    grep -oE '^ +(-[a-zA-Z], )?--[a-z][a-z-]*' | grep -oE -- '--[a-z][a-z-]*')
[ -n "$options" ] || { echo "FAILED: --help listed no option"; exit 1; }

missing=0
for option in $options; do
    # In roff a minus is written \-, and an entry starts a .TP paragraph;
    # the name ends where no letter or further minus follows.
    pattern="${option//-/'\\-'}([^a-z\\]|\$)"
    if ! grep -A1 '^\.TP' <<<"$page" | grep -qE -- "$pattern"; then
        echo "FAILED: $option has no entry in the manual page"
        missing=$((missing + 1))
    fi
done
echo "$(wc -w <<<"$options") options, $missing without an entry"
[ "$missing" -eq 0 ]
