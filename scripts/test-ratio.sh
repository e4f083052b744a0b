#!/bin/sh
# Prints the non-blank lines of the tests, of the code, and their ratio.
# Counted: files tracked by git ending in .cpp .h .sh .py .txt .cmake;
# tests are everything under tests/, code is src/ tools/ fuzz/ bench/ app/ cmake/.
# Usage: scripts/test-ratio.sh [--by-dir]
set -e
cd "$(dirname "$0")/.."

count() {
    git ls-files -z -- "$@" | grep -z -E '\.(cpp|h|sh|py|txt|cmake)$' |
        xargs -0 -r cat | grep -c -v '^[[:space:]]*$' || true
}

tests=$(count tests)
code=$(count src tools fuzz bench app cmake)
if [ "$1" = "--by-dir" ]; then
    for d in $(git ls-files tests | cut -d/ -f1-2 | sort -u); do
        printf '%7s  %s\n' "$(count "$d")" "$d"
    done
fi
echo "tests $tests"
echo "code  $code"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio %.3f\n", (c ? t / c : 0) }'
