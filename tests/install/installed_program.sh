#!/usr/bin/env bash
# Installs the build into a fresh prefix, makes the installed program folder
# unusable for work files (read-only, and temp/ a plain file, which even root
# cannot use as a folder) and checks that the installed relatix2-cli calculates
# the bundled example exactly as the build tree's program does, working below
# the per-user cache folder and leaving nothing in the program folder.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
program="$work/prefix/lib/relatix2"
test -x "$program/relatix2-cli" && test -x "$program/merlinEngine"
test -L "$work/prefix/bin/relatix2-cli"
rm -rf "$program/temp"
touch "$program/temp"
chmod -R a-w "$program"
before=$(cd "$program" && find . | sort)
export XDG_CACHE_HOME="$work/cache" XDG_CONFIG_HOME="$work/config"
expected=$("$build/bin/relatix2-cli" calculate --json 2>/dev/null | grep -v '"case"')
actual=$("$work/prefix/bin/relatix2-cli" calculate --json 2>/dev/null | grep -v '"case"')
if [ "$expected" != "$actual" ]; then
    echo "the installed program printed something else:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi
test -d "$work/cache/relatix2/temp"
after=$(cd "$program" && find . | sort)
[ "$before" = "$after" ] || { echo "the run changed the program folder"; exit 1; }
echo "installed program calculates the example below the per-user cache"
