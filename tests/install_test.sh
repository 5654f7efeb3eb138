#!/usr/bin/env bash
# Installs the build to a temporary prefix and checks what lands there,
# that the installed tool runs, and that the manual page renders cleanly.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/nimbral"
test -f "$prefix/share/man/man1/nimbral.1"

cd "$prefix"
"$prefix/bin/nimbral" "$source/examples/sample.tle" titled.tle "$source/examples/sample.mag"
grep -qx 'ISS' titled.tle

warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/nimbral.1" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
  echo "manual page warnings:" >&2
  echo "$warnings" >&2
  exit 1
fi
echo "installed and rendered cleanly"
