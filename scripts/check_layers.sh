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
#    library's handles (exdui_qt.h) only where a test reads what nothing of
#    the library reads back.
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

# The UI library: only backend/qt/ may include Qt. The back-end interfaces
# (backend/*.h) and core/ include no Qt and no operating-system header. The
# files below still reach Qt directly: they hold the one-widget-per-object
# model that the library's next step replaces with one native window per
# top-level window, drawn by the library. The list may only shrink: a file
# that no longer includes Qt must leave it.
exdui_waiting=(
    exdui_qt.h
)
# Qt itself, or a header of ours that brings it: the Qt back end's, and the
# library's own Qt headers.
qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*(<(Q|qpa/)|"(backend/qt/|qt_text\.h|exdui_qt\.h|object_widget\.h|list_view_widget\.h))'
os_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(windows\.h|unistd\.h|sys/|X11/|xcb/|dlfcn\.h)'
while IFS= read -r hit; do
    breach "$hit: a portable part of the UI library includes Qt or the system"
done < <(find exdui/core exdui/backend -maxdepth 1 -name '*.h' -o -path 'exdui/core/*' -name '*.cpp' 2>/dev/null |
             xargs -r grep -nHE "$qt_include|$os_include")
while IFS= read -r file; do
    name=${file#exdui/}
    if [[ " ${exdui_waiting[*]} " != *" $name "* ]]; then
        breach "$file: includes Qt outside exdui/backend/qt/: $(grep -nE "$qt_include" "$file" | head -1)"
    fi
done < <(grep -rlE "$qt_include" exdui --include='*.cpp' --include='*.h' | grep -v '^exdui/backend/qt/')
for name in "${exdui_waiting[@]}"; do
    if [ -f "exdui/$name" ] && ! grep -qE "$qt_include" "exdui/$name"; then
        breach "exdui/$name: includes no Qt any more: take it off exdui_waiting in $0"
    elif [ ! -f "exdui/$name" ]; then
        breach "exdui/$name: gone: take it off exdui_waiting in $0"
    fi
done

# The window tests past the library's injection.
qt_readers='^tests/(ui/frame_window_test|app/startup_test)\.cpp:[0-9]+:#include "exdui/exdui_qt\.h"'
while IFS= read -r hit; do
    breach "$hit: a window test drives the window past exdui_inject.h"
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](QTest|QtTest/|QSignalSpy|exdui/exdui_qt\.h)' \
             tests/ui tests/app tests/exdui | grep -v "^tests/exdui/backend_qt/" | grep -vE "$qt_readers")

exit $status
