#!/usr/bin/env bash
# Runs lupdate over the sources into a copy of each translation and fails on any text without a
# translation, naming it.
set -euo pipefail
root=$1
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in "$root"/translations/*.ts; do
    copy=$work/$(basename "$ts")
    cp "$ts" "$copy"
    "$lupdate" -silent -no-obsolete -locations none "$root/src" -ts "$copy"
    if grep -q 'type="unfinished"' "$copy"; then
        echo "$(basename "$ts"): texts without a translation:"
        grep -B2 'type="unfinished"' "$copy" | grep '<source>' || true
        status=1
    fi
done
exit $status
