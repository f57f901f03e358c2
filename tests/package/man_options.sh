#!/usr/bin/env bash
# The options a program's --help lists and those in the OPTIONS section of its man page are the same.
#   man_options.sh PROGRAM PAGE.md
set -euo pipefail
program=$1
page=$2
options() { grep -oE -- '--[a-z][a-z0-9-]*' | sort -u; }
help=$("$program" --help | options)
man=$(awk '/^# /{ listed = ($0 ~ /^# OPTIONS/) } listed' "$page" | options)
if [ -z "$help" ] || [ "$help" != "$man" ]; then
    echo "options of $(basename "$program") --help (<) and of $page (>) differ:"
    diff <(echo "$help") <(echo "$man") || true
    exit 1
fi
echo "$(basename "$program"): the same $(echo "$help" | wc -l) options in --help and $(basename "$page")"
