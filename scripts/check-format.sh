#!/usr/bin/env bash
# Fails when a C++ source of the repository differs from what clang-format makes of it with the
# repository's .clang-format; `scripts/check-format.sh --fix` formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! clang-format --dry-run --Werror "${files[@]}" 2> "$log"; then
  grep -E '^[^ ].*: error:' "$log" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
  echo "format check: run scripts/check-format.sh --fix (clang-format $(clang-format --version | grep -o '[0-9][0-9.]*' | head -1))"
  exit 1
fi
echo "format check: ${#files[@]} files formatted"
