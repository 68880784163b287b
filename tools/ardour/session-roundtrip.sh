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

source "$here/ardourHeadless.sh"
export LXVST_PATH="$plugin_dir" VST_PATH="$plugin_dir"
scan_module "$so"
run() { "$lua" "$here/session_roundtrip.lua" "$@" 2>&1 | grep -E '^(set|reload|saved|every|FAIL|Error)' || true; }
run save "$work/session" session Grindle2
out="$(run load "$work/session" session Grindle2)"
echo "$out"
[[ "$out" == *"every value came back"* ]]
