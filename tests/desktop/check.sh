#!/usr/bin/env bash
# The files the desktop reads about Snapvale pass their own validators, warnings included.
set -euo pipefail
desktop=$1 metainfo=$2 manpage=$3
desktop-file-validate "$desktop"
appstreamcli validate --no-net --pedantic "$metainfo"
warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$manpage" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "$manpage: $warnings" >&2; exit 1; }
echo "desktop files: ok"
