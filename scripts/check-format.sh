#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it with the
# .clang-format at the top; lists those files. `clang-format -i FILE` fixes one.
set -euo pipefail
cd "$(dirname "$0")/.."
unformatted=()
while IFS= read -r f; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || unformatted+=("$f")
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp' 'fuzz/*.h' \
  'bench/*.cpp' 'bench/*.h')
if ((${#unformatted[@]})); then
  printf 'not formatted (clang-format -i FILE):\n' >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
