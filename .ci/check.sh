#!/usr/bin/env bash
# What CI runs on a change: the layout of the C++ sources (clang-format, .clang-format at the
# root), then the set-up, a build with warnings as errors and the whole suite (scripts/test.sh).
#   .ci/check.sh [BASE]   checks the sources changed since BASE (default: main)
#   .ci/check.sh --all    checks every source
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
format="$(command -v clang-format || command -v clang-format-14 || true)"
[ -n "$format" ] || { echo "clang-format is missing (scripts/setup.sh installs it)" >&2; exit 2; }
if [ "${1:-}" = "--all" ]; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(git diff --name-only --diff-filter=ACMR "${1:-main}" -- '*.cpp' '*.h')
fi
if [ ${#files[@]} -gt 0 ]; then
  "$format" --dry-run -Werror "${files[@]}"
fi
"$root/scripts/test.sh"
