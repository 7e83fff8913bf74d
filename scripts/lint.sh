#!/usr/bin/env bash
# Runs clang-tidy (Debian 12's, 14) with the tree's .clang-tidy over the
# program's sources (src/, platform/, exdui/; not the tests), with the
# compile commands of build/dev, and fails on any finding. Run by CI.
#   scripts/lint.sh                  every source file (about 5 minutes on 2 cores)
#   scripts/lint.sh REGEX            only the files whose path matches
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if ! command -v run-clang-tidy >/dev/null; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq clang-tidy >/dev/null
fi
if [ ! -f build/dev/compile_commands.json ]; then
    scripts/deps.sh
    cmake --preset dev >/dev/null
fi
# The build's -Werror is the compiler's business: clang-tidy reports only
# the checks .clang-tidy names, each as an error there (WarningsAsErrors).
run-clang-tidy -p build/dev -j "$(nproc)" -quiet -extra-arg=-Wno-error \
    "${1:-$root/(src|platform|exdui)/}"
