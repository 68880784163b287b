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

lua=""
for candidate in ardour8-lua ardour7-lua ardour-lua; do
  if command -v "$candidate" > /dev/null; then lua="$candidate"; break; fi
done
[[ -n "$lua" ]] || { echo "no ardour*-lua: apt-get install ardour" >&2; exit 2; }
libdir="$(sed -n 's/^export ARDOUR_DLL_PATH=//p' "$(command -v "$lua")")"
scanner="$libdir/ardour-vst-scanner"
[[ -x "$scanner" ]] || { echo "no VST scanner at $scanner" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/vst"
"${CXX:-c++}" -std=c++20 -shared -fPIC -I"$root" -o "$work/vst/G2RereadProbe.so" "$here/rereadProbe.cpp"
# Ardour trusts a cache entry only when it is newer than the module: date the fresh build back.
touch -d '1 minute ago' "$work/vst/G2RereadProbe.so"
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" LXVST_PATH="$work/vst" VST_PATH="$work/vst"
LD_LIBRARY_PATH="$libdir" "$scanner" -q -f "$work/vst/G2RereadProbe.so"
"$lua" "$here/reread_probe.lua" "$work/session" > "$work/lua.log" 2>&1 || true
grep -E '^(probe|start|P0|one|saved|FAIL|Error)' "$work/lua.log" || true
[[ -f "$work/session/reread.ardour" ]] || { echo "no session saved (see above)" >&2; exit 1; }
echo "saved per-parameter values (P1 = 1 - P0 in the plug-in):"
grep -o '<Controllable name="P[01]"[^>]*value="[^"]*"' "$work/session/reread.ardour" | sed 's/.*name="\(P[01]\)".*value="\([^"]*\)"/  \1 = \2/'
