#!/usr/bin/env bash
# Checks that every C++ file of the tree is as clang-format (Debian 12's, 14)
# makes it with the tree's .clang-format; names each file that differs.
#   scripts/check_format.sh          check (run by ctest and so by CI)
#   scripts/check_format.sh --fix    rewrite the files that differ
#   scripts/check_format.sh FILE...  check only these files
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang-format >/dev/null
fi

fix=0
if [ "${1:-}" = --fix ]; then
    fix=1
    shift
fi
if [ $# -gt 0 ]; then
    files=("$@")
else
    # The tree's own sources: not the build folders.
    mapfile -t files < <(find src platform exdui tests bench \
        \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -type f | sort)
fi

if [ "$fix" = 1 ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
# One run over all files; each difference is reported as FILE:LINE:COL.
mapfile -t differ < <(clang-format --dry-run --Werror "${files[@]}" 2>&1 |
    sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: .*clang-format-violations.*/\1/p' | sort -u)
if [ ${#differ[@]} -gt 0 ]; then
    printf 'not as clang-format makes it: %s\n' "${differ[@]}"
    echo "scripts/check_format.sh --fix rewrites them"
    exit 1
fi
