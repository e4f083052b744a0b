#!/bin/sh
# Checks that every C and C++ file of the tree is formatted as .clang-format
# says (clang-format 14, Debian's). Lists the files that are not and exits 1;
# `scripts/check-format.sh --fix` formats them in place instead.
set -e
cd "$(dirname "$0")/.."
FILES=$(git ls-files '*.cpp' '*.h' '*.c')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i $FILES
    exit 0
fi
BAD=""
for file in $FILES; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || BAD="$BAD $file"
done
if [ -n "$BAD" ]; then
    echo "Not formatted (run scripts/check-format.sh --fix):"
    for file in $BAD; do echo "  $file"; done
    exit 1
fi
echo "All $(echo "$FILES" | wc -l) C/C++ files are formatted."
