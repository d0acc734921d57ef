#!/usr/bin/env bash
# Checks a built Debian package as a user meets it: what it installs passes
# the desktop entry and metainfo validators, lintian finds no error, apt-get
# installs it with what it depends on, the program, its manual page and its
# metainfo say the package's version, and purging it leaves none of its
# files behind. Runs as root: it installs and removes the package.
# Usage: check_package.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
name=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
export DEBIAN_FRONTEND=noninteractive

passed=0
failed=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
        passed=$((passed + 1))
    else
        echo "FAILED: $what"
        failed=$((failed + 1))
    fi
}
quietly() { # COMMAND...: its output only when it fails
    local log
    log=$(mktemp)
    "$@" >"$log" 2>&1 || { cat "$log"; rm -f "$log"; return 1; }
    rm -f "$log"
}
says_version() { # FILE-OR-TEXT PATTERN: the text holds the package's version
    grep -qF -- "$2" <<<"$1"
}

echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes, installs $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"

check "desktop entry validates" desktop-file-validate "$tree"/usr/share/applications/*.desktop
check "metainfo validates" appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml
check "metainfo launches the desktop entry it ships" appstreamcli validate-tree --no-net "$tree"
check "lintian reports no error" lintian --fail-on error "$deb"
check "metainfo release is the package's version" \
    says_version "$(cat "$tree"/usr/share/metainfo/*.metainfo.xml)" "<release version=\"$version\""
check "manual page is of the package's version" \
    says_version "$(zcat "$tree"/usr/share/man/man1/blurtle.1.gz)" "\"Blurtle $version\""

# A copy left by an earlier run would hide what this one installs and leaves.
apt-get purge -y -qq "$name" >/dev/null 2>&1 || true
paths=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|; s|/$||')
absent_before=$(while read -r path; do [ -e "$path" ] || echo "$path"; done <<<"$paths")

check "apt-get installs the package and what it needs" \
    quietly apt-get install -y --no-install-recommends "$deb"
check "blurtle --version says the package's version" \
    says_version "$(blurtle --version 2>/dev/null)" "blurtle $version"
check "man -w finds the manual page" man -w blurtle
home=$(mktemp -d)
check "the installed program makes a library" \
    env HOME="$home" blurtle --new-library "$home/new.blz"
rm -rf "$home"
check "apt-get purges the package" quietly apt-get purge -y "$name"
left=$(while read -r path; do [ ! -e "$path" ] || echo "$path"; done <<<"$absent_before")
check "nothing of the package is left behind" test -z "$left"
[ -z "$left" ] || echo "left behind: $left"

echo "package checks: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
