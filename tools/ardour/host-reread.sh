#!/usr/bin/env bash
# What Ardour does when a plug-in changes its own parameters and asks the host to read them again
# (audioMasterUpdateDisplay), as Grindle2's editor does after a distortion-type recall, a menu
# command or a program step. A two-parameter probe plug-in (rereadProbe.cpp, compiled here) stands
# in for the editor, which a headless Ardour cannot open. Prints what Lua's get_processor_param
# reads and what the saved session keeps. Needs Debian's ardour package and a C++ compiler; not
# part of the tests.
#   usage: tools/ardour/host-reread.sh
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"

source "$here/ardourHeadless.sh"
mkdir -p "$work/vst"
"${CXX:-c++}" -std=c++20 -shared -fPIC -I"$root" -o "$work/vst/G2RereadProbe.so" "$here/rereadProbe.cpp"
export LXVST_PATH="$work/vst" VST_PATH="$work/vst"
scan_module "$work/vst/G2RereadProbe.so"
"$lua" "$here/reread_probe.lua" "$work/session" > "$work/lua.log" 2>&1 || true
grep -E '^(probe|start|P0|one|saved|FAIL|Error)' "$work/lua.log" || true
[[ -f "$work/session/reread.ardour" ]] || { echo "no session saved (see above)" >&2; exit 1; }
echo "saved per-parameter values (P1 = 1 - P0 in the plug-in):"
grep -o '<Controllable name="P[01]"[^>]*value="[^"]*"' "$work/session/reread.ardour" | sed 's/.*name="\(P[01]\)".*value="\([^"]*\)"/  \1 = \2/'
