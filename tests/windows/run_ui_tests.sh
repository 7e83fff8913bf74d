#!/usr/bin/env bash
# Builds the UI library on its Win32 back end (the windows preset with
# CJ_WIN32_UI=ON) and runs the library's tests (tests/exdui, without the Qt
# back end's own) under Wine, in Xvfb, in the Chinese code page 936.
# Installs what it needs on Debian 12.
#   tests/windows/run_ui_tests.sh                 build and run every test
#   tests/windows/run_ui_tests.sh exdui_test      the named executables only
# The Wine prefix gets the program's Chinese font families mapped to Noto
# Sans CJK SC (without it GDI+ finds no "Microsoft YaHei"), and windows that
# no window manager manages: bare Xvfb has none, and Wine waits two seconds
# at each hide of a managed window for the manager that never answers.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

# Runs the named test executables under Wine: the script calls itself so
# under Xvfb once the prefix is ready.
run_all() {
    # A warm server: without it each test process pays Wine's start-up. Every
    # descriptor is closed to it, or it holds the caller's pipes open.
    wineserver -p >/dev/null 2>&1 </dev/null
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    local status=0 passed=0 out
    out=$(mktemp)
    for target in "$@"; do
        if ! (cd "$root/build/windows/tests" && timeout 600 wine "./$target.exe" --gtest_brief=1) >"$out" 2>&1; then
            status=1
            echo "FAILED: $target"
            tr -d '\r' <"$out" | grep -v '^\[  \(PASSED\|SKIPPED\)' | tail -60
        fi
        passed=$((passed + $(tr -d '\r' <"$out" | awk '$1 == "[" && $2 == "PASSED" && $3 == "]" { n = $4 } END { print n + 0 }')))
    done
    rm -f "$out"
    echo "windows ui: $passed tests passed"
    return $status
}
if [ "${1:-}" = --in-display ]; then
    shift
    run_all "$@"
    exit
fi

packages=(g++-mingw-w64-x86-64-posix wine wine64 googletest locales cmake ninja-build xvfb xauth fonts-noto-cjk)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
    $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

started=$SECONDS
cmake --preset windows -DCJ_WIN32_UI=ON ${CJ_CMAKE_ARGS:-} >/dev/null
if [ $# -gt 0 ]; then
    targets=("$@")
else
    # Every test executable of tests/exdui in this build.
    mapfile -t targets < <(cmake --build --preset windows --target help | sed -n 's/^\(exdui_[a-z0-9_]*test\):.*/\1/p' | sort -u)
fi
cmake --build --preset windows -j"${CJ_JOBS:-2}" --target "${targets[@]}"
echo "windows ui: built in $((SECONDS - started)) s"

work=$(mktemp -d)
export WINEARCH=win64 WINEDEBUG=-all WINEPREFIX=$work/prefix LC_ALL=zh_CN.UTF-8
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
wineboot --init >/dev/null 2>&1 </dev/null
for family in 'Microsoft YaHei' '微软雅黑' SimSun '宋体'; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$family" /t REG_SZ /d 'Noto Sans CJK SC' /f >/dev/null 2>&1 </dev/null
done
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
wineserver -w

export CJ_EXPECTED_ACP=936
status=0
xvfb-run -a -s "-screen 0 1920x1080x24" "$root/tests/windows/run_ui_tests.sh" --in-display "${targets[@]}" || status=1
echo "windows ui: everything in $((SECONDS - started)) s"
exit $status
