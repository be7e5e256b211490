#!/usr/bin/env bash
# Checks every C and C++ file that git tracks against the repository's .clang-format.
# Prints the files that differ and exits non-zero when there are any.
set -uo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h' '*.hpp')
unformatted=()
for file in "${files[@]}"; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    unformatted+=("$file")
  fi
done
if [ ${#unformatted[@]} -ne 0 ]; then
  echo "format check: ${#unformatted[@]} of ${#files[@]} files differ from .clang-format (clang-format -i them):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "format check: ${#files[@]} files follow .clang-format"
