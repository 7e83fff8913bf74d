#!/usr/bin/env bash
# Checks the rules of the tiers that the compiler cannot see:
#  - the engine libraries (core, index, search, copylist, shell) and the
#    command line include no Qt header, no UI-library or window header and no
#    operating-system header (only the C++ standard library, the compiler's
#    vector intrinsics and platform/'s OS-neutral headers), and link neither
#    Qt nor the UI library;
#  - the names of the configuration file's sections and keys appear only in
#    the settings module;
#  - the window tests (tests/ui, tests/app) give input through the library's
#    injection (exdui_inject.h): no Qt test library, and the Qt side of the
#    library's handles (backend/qt/exdui_qt.h) only where a test reads what
#    nothing of the library reads back;
#  - the UI library includes Qt only in its Qt back end (exdui/backend/qt/),
#    and the system only there and in its Win32 back end (exdui/backend/win32/).
# Prints each breach and exits 1 when there is one. Run by ctest.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
breach() {
    echo "$1"
    status=1
}

engine_dirs=()
for dir in src/core src/index src/search src/copylist src/shell src/cli; do
    [ -d "$dir" ] && engine_dirs+=("$dir")
done

while IFS= read -r line; do
    file=${line%%:*}
    include=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*//' <<<"${line#*:}")
    if [[ $include =~ ^\<[a-z_]+\>$ ]]; then
        continue  # <string>, <cstdio>: the standard library
    fi
    case $include in
        \<immintrin.h\> | \<emmintrin.h\> | \<cpuid.h\>) ;;   # the compiler's intrinsics
        \"platform/desktop/*) breach "$file: desktop services in the engine: $include" ;;
        \"platform/* | \"core/* | \"index/* | \"search/* | \"shell/* | \"copylist/* | \"cli/*) ;;
        *) breach "$file: engine code includes $include" ;;
    esac
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' "${engine_dirs[@]}" | sed -E 's/^([^:]*):[0-9]+:/\1:/')

for list in "${engine_dirs[@]/%//CMakeLists.txt}"; do
    if grep -nE 'Qt6?::|exdui|cj_ui|cj_app|cj_desktop' "$list" >/dev/null; then
        breach "$list: an engine library links Qt or the UI: $(grep -nE 'Qt6?::|exdui|cj_ui|cj_app|cj_desktop' "$list" | head -1)"
    fi
done

# Section and key names of chengjing.ini, as string literals, outside the module.
if hits=$(grep -rnE '"(syml|syml_p|syml_a|syjs|ckzt|sjms|xcs|mbml|ppms)"' src \
        --include='*.cpp' --include='*.h' | grep -v '^src/core/settings_file\.cpp:'); then
    while IFS= read -r hit; do
        breach "$hit: a configuration section named outside core/settings_file.cpp"
    done <<<"$hits"
fi

# The UI library: only backend/qt/ may include Qt; the rest of it, the
# back-end interfaces (backend/*.h) and core/ among it, includes no Qt and no
# operating-system header. A header of ours that brings Qt (the Qt back end's)
# counts as Qt.
qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*(<(Q|qpa/)|"(exdui/)?backend/qt/)'
os_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows\.h|unistd\.h|sys/|X11/|xcb/|dlfcn\.h)'
while IFS= read -r hit; do
    breach "$hit: a portable part of the UI library includes Qt or the system"
done < <(grep -rnE "$qt_include|$os_include" exdui --include='*.cpp' --include='*.h' | grep -v '^exdui/backend/qt/' |
             grep -vE "^exdui/backend/win32/[^:]+:[0-9]+:${os_include#^}")

# The window tests past the library's injection.
qt_readers='^tests/(ui/frame_window_test|app/startup_test)\.cpp:[0-9]+:#include "exdui/backend/qt/exdui_qt\.h"'
while IFS= read -r hit; do
    breach "$hit: a window test drives the window past exdui_inject.h"
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](QTest|QtTest/|QSignalSpy|(exdui/)?backend/qt/)' \
             tests/ui tests/app tests/exdui | grep -v "^tests/exdui/backend_qt/" | grep -vE "$qt_readers")

exit $status
