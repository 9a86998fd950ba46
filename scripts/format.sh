#!/usr/bin/env bash
# Formats the C++ sources with the checked-in .clang-format.
#   scripts/format.sh          rewrite the files in place
#   scripts/format.sh --check  change nothing; list the files that differ and exit non-zero
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(find shared brdsave brdwall tests bench -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

if [ "${1:-}" = "--check" ]; then
    if ! clang-format --dry-run --Werror "${files[@]}" 2>/dev/null; then
        echo "Not clang-format clean (run make format):"
        for f in "${files[@]}"; do
            clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "  $f"
        done
        exit 1
    fi
    echo "clang-format clean: ${#files[@]} files"
else
    clang-format -i "${files[@]}"
fi
