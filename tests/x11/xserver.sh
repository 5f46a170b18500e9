#!/usr/bin/env bash
# Runs the command "$@" on an X server of its own, as an X11 desktop would.
set -euo pipefail
source "$(dirname "$0")/../e2e/lib.sh"
start_xvfb
QT_QPA_PLATFORM=xcb "$@"
