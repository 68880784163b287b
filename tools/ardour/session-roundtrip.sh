#!/usr/bin/env bash
# Tries the plug-in in Ardour as a user would: a headless session (no audio hardware: Ardour's
# dummy back end) gets a track with the plug-in, some parameters set, is saved, then reloaded by
# a new Ardour process, which reads the values back. Needs Debian's ardour package; not part of
# the tests.
#   usage: tools/ardour/session-roundtrip.sh [FOLDER_HOLDING_Grindle2.so]   (default build/Grindle2)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
plugin_dir="$(cd "${1:-$here/../../build/Grindle2}" && pwd)"
so="$plugin_dir/Grindle2.so"
[[ -f "$so" ]] || { echo "no $so: build first" >&2; exit 2; }

lua=""
for candidate in ardour8-lua ardour7-lua ardour-lua; do
  if command -v "$candidate" > /dev/null; then lua="$candidate"; break; fi
done
[[ -n "$lua" ]] || { echo "no ardour*-lua: apt-get install ardour" >&2; exit 2; }
# The scanner lives beside luasession; the wrapper script names that folder.
libdir="$(sed -n 's/^export ARDOUR_DLL_PATH=//p' "$(command -v "$lua")")"
scanner="$libdir/ardour-vst-scanner"
[[ -x "$scanner" ]] || { echo "no VST scanner at $scanner" >&2; exit 2; }

# A private home for Ardour's configuration and plug-in cache: the user's stay untouched.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" LXVST_PATH="$plugin_dir" VST_PATH="$plugin_dir"

# luasession reads only the scanner's cache: scan the module first, as Ardour's GUI would.
LD_LIBRARY_PATH="$libdir" "$scanner" -q -f "$so"
run() { "$lua" "$here/session_roundtrip.lua" "$@" 2>&1 | grep -E '^(set|reload|saved|every|FAIL|Error)' || true; }
run save "$work/session" session Grindle2
out="$(run load "$work/session" session Grindle2)"
echo "$out"
[[ "$out" == *"every value came back"* ]]
