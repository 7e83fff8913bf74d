#!/usr/bin/env bash
# Builds the Windows preset (the engine, chengjing-cli and their tests, with
# mingw-w64) and runs every test executable under Wine twice: in the Western
# code page 1252 and in the Chinese code page 936 (GBK). Installs what it
# needs on Debian 12.
#   tests/windows/run_tests.sh              build and run both code pages
#   tests/windows/run_tests.sh 936          one code page only (1252 or 936)
# Each run asserts the code page it asked for (CJ_EXPECTED_ACP), so that a
# broken locale cannot turn the Chinese cases into silent skips, and gets a
# scratch drive R: of its own (CJ_TEST_DRIVE) for the drive-root cases.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
pages=("${@:-1252 936}")
read -r -a pages <<<"${pages[*]}"

packages=(g++-mingw-w64-x86-64-posix wine wine64 googletest locales cmake ninja-build)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

started=$SECONDS
# The UI library's Win32 build is run_ui_tests.sh's; a build folder it used keeps
# the option in its cache, so turn it off here.
cmake --preset windows -DCJ_WIN32_UI=OFF ${CJ_CMAKE_ARGS:-} >/dev/null
cmake --build --preset windows
echo "windows: built in $((SECONDS - started)) s"

work=$(mktemp -d)
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
}
trap 'stop_wine; rm -rf "$work"' EXIT

# The number on the gtest summary line "[  PASSED  ] 31 tests." (or SKIPPED).
count() {
    tr -d '\r' <"$work/out" | awk -v what="$1" '$1 == "[" && $2 == what && $3 == "]" && !n { n = $4 } END { print n + 0 }'
}

status=0
for page in "${pages[@]}"; do
    case $page in
        1252) locale=C.UTF-8 ;;
        936) locale=zh_CN.UTF-8 ;;
        *) echo "unknown code page $page (1252 or 936)" >&2; exit 2 ;;
    esac
    export WINEPREFIX=$work/prefix-$page LC_ALL=$locale
    wineboot --init >/dev/null 2>&1 </dev/null
    wineserver -w
    # The scratch drive: a folder of its own behind R:.
    mkdir -p "$work/drive-$page"
    ln -sfn "$work/drive-$page" "$WINEPREFIX/dosdevices/r:"
    # A warm server: without it each test process pays Wine's start-up. Every
    # descriptor is closed to it, or it holds the caller's pipes open.
    wineserver -p >/dev/null 2>&1 </dev/null
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    export CJ_EXPECTED_ACP=$page CJ_TEST_DRIVE=R:
    page_started=$SECONDS
    passed=0
    skipped=0
    for test in build/windows/tests/*.exe; do
        if ! (cd build/windows/tests && wine "$root/$test" --gtest_brief=1) >"$work/out" 2>&1; then
            status=1
            echo "FAILED: $(basename "$test") in code page $page"
            grep -v '^\[  \(PASSED\|SKIPPED\)' "$work/out" | tail -60
        fi
        passed=$((passed + $(count PASSED)))
        skipped=$((skipped + $(count SKIPPED)))
    done
    echo "windows code page $page: $passed tests passed, $skipped skipped, in $((SECONDS - page_started)) s"
    stop_wine
    wineserver -w 2>/dev/null || true
done
echo "windows: everything in $((SECONDS - started)) s"
exit $status
