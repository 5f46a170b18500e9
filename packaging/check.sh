#!/usr/bin/env bash
# The package as a user meets it, on this machine (as root, as CI runs): lintian finds no error
# or warning, apt-get installs it with its dependencies, the installed program answers
# --version and --help, its desktop entry and metainfo validate where they were installed, and
# apt-get removes it again with nothing of it left behind.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls snapvale_*.deb | tail -n 1)
[ -n "$deb" ] || { echo "package: no snapvale_*.deb here; run make deb" >&2; exit 1; }
fail() {
    echo "package: $*" >&2
    exit 1
}

lintian --fail-on error,warning "$deb" || fail "lintian"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\./, "", $6); print $6}')

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
dpkg -s snapvale >/dev/null || fail "not installed"
[ "$(command -v snapvale)" = /usr/bin/snapvale ] || fail "snapvale is not /usr/bin/snapvale"
[ -x /usr/libexec/snapvale/snapvale ] || fail "the program is not /usr/libexec/snapvale/snapvale"
# Both are the program's answers, through the command in /usr/bin.
/usr/bin/snapvale --version | grep -q '^snapvale ' || fail "--version"
/usr/bin/snapvale --help | grep -q '^Usage: snapvale' || fail "--help"
desktop-file-validate /usr/share/applications/snapvale.desktop || fail "desktop entry"
appstreamcli validate --no-net /usr/share/metainfo/io.github.snapvale.Snapvale.metainfo.xml ||
    fail "metainfo"
man --warnings -l /usr/share/man/man1/snapvale.1.gz >/dev/null || fail "manual page"

DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq snapvale >/dev/null
! dpkg -s snapvale >/dev/null 2>&1 || fail "still installed"
for f in $files; do
    [ ! -e "$f" ] || fail "$f left behind"
done
[ ! -e /usr/share/doc/snapvale ] || fail "/usr/share/doc/snapvale left behind"
echo "package: $deb installs, runs, validates and removes cleanly"
