# Sourced by the Ardour scripts: finds Debian's headless Lua session and its VST scanner, and
# gives Ardour a private home for its configuration and plug-in cache (the user's stay
# untouched). Sets lua, scanner, libdir and work; removes work on exit.
lua=""
for candidate in ardour8-lua ardour7-lua ardour-lua; do
  if command -v "$candidate" > /dev/null; then lua="$candidate"; break; fi
done
[[ -n "$lua" ]] || { echo "no ardour*-lua: apt-get install ardour" >&2; exit 2; }
# The scanner lives beside luasession; the wrapper script names that folder.
libdir="$(sed -n 's/^export ARDOUR_DLL_PATH=//p' "$(command -v "$lua")")"
scanner="$libdir/ardour-vst-scanner"
[[ -x "$scanner" ]] || { echo "no VST scanner at $scanner" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"

# luasession reads only the scanner's cache: scan a module first, as Ardour's GUI would. Ardour
# trusts a cache entry only when it is newer than the module, so a module built within the last
# second is dated back first.
scan_module() {
  local so="$1"
  if [[ -n "$(find "$so" -newermt '-2 seconds' 2> /dev/null)" ]]; then touch -d '1 minute ago' "$so"; fi
  LD_LIBRARY_PATH="$libdir" "$scanner" -q -f "$so"
}
