#!/usr/bin/env bash
# Fails, naming each file, when a C++ file of the repository is not laid out
# as .clang-format says. `scripts/check-format.sh --fix` lays them out.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
# One clang-format per batch of files, a batch per core: starting one per
# file took most of the check's time. Each misplaced line is reported as
# "file:line:col: error: ..."; the names are gathered from those lines.
status=0
report=$(printf '%s\0' "${files[@]}" |
  xargs -0 -n 64 -P "$(nproc)" clang-format --dry-run --Werror 2>&1 >/dev/null) || status=$?
mapfile -t bad < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: (error|warning):' <<<"$report" | cut -d: -f1 | sort -u)
if ((${#bad[@]})); then
  printf 'not laid out as .clang-format says (scripts/check-format.sh --fix): %s\n' "${bad[@]}" >&2
  exit 1
fi
# clang-format itself failing (a file it cannot read, a bad .clang-format)
# names no file above, and is a failure all the same.
if ((status)) || [ -n "$report" ]; then
  printf '%s\n' "$report" | head -n 5 >&2
  echo "format: clang-format failed" >&2
  exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
