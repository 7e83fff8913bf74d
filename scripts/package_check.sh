#!/usr/bin/env bash
# Builds the packages and checks them as a user meets them. Installs what it
# needs on Debian 12 (scripts/deps.sh package).
#   scripts/package_check.sh           both
#   scripts/package_check.sh deb       the .deb: build, install with apt, start the
#                                      program from its menu entry under Xvfb (a
#                                      screenshot that is not blank), chengjing-cli
#                                      --version, a refresh and a search into the
#                                      XDG data folder, remove; and a copied bin/
#                                      folder that runs from elsewhere
#   scripts/package_check.sh windows   the installer and the zip: build, install
#                                      silently under Wine, chengjing-cli.exe
#                                      --version and a search, uninstall silently
#                                      and check what is left (data\ only)
# Each part says how long it took. The packages stay in build/<preset>/packages.
set -euo pipefail
# No grep -q after a pipe here: it ends at the first match, and under pipefail
# the writer it leaves behind fails the pipe with SIGPIPE.
cd "$(dirname "$0")/.."
what=${1:-all}
work=$(mktemp -d)
cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "package_check: $*" >&2
  exit 1
}

# The version the packages must carry: project(... VERSION ...).
version=$(sed -n 's/^project(chengjing VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
scripts/deps.sh package

# A folder of files to index, the same for both systems.
mkdir -p "$work/tree/sub"
: >"$work/tree/SF1400000000001.jpg"
: >"$work/tree/sub/JD0012345678901.pdf"

check_deb() {
  local started=$SECONDS
  unset XDG_DATA_HOME
  cmake --preset release ${CJ_CMAKE_ARGS:-} >/dev/null
  cmake --build --preset release --target chengjing chengjing-cli
  (cd build/release && cpack -G DEB >/dev/null)
  local deb=build/release/packages/chengjing_${version}_amd64.deb
  [ -f "$deb" ] || fail "no $deb"
  echo "deb: built $(basename "$deb") ($(stat -c %s "$deb") bytes) in $((SECONDS - started)) s"

  # A copied bin/ folder runs from anywhere: with a data/ beside it, it keeps
  # its data there; without one it makes none and uses the user's data home.
  mkdir -p "$work/copied"
  cp build/release/bin/chengjing build/release/bin/chengjing-cli build/release/bin/libexdui.so "$work/copied/"
  ldd "$work/copied/chengjing" | grep "libexdui.so => $work/copied/libexdui.so" >/dev/null ||
    fail "the copied chengjing does not find libexdui.so beside itself"
  XDG_DATA_HOME=$work/xdg "$work/copied/chengjing-cli" refresh --folder "$work/tree" >/dev/null 2>&1
  [ ! -e "$work/copied/data" ] || fail "the copied chengjing-cli made a data/ beside itself"
  [ -f "$work/xdg/chengjing/data/1.txt" ] || fail "the copied chengjing-cli kept no index in its data home"
  mkdir "$work/copied/data"
  XDG_DATA_HOME=$work/xdg "$work/copied/chengjing-cli" refresh --folder "$work/tree" >/dev/null 2>&1
  [ -f "$work/copied/data/1.txt" ] || fail "the copied chengjing-cli kept no index in the data/ beside it"

  started=$SECONDS
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "./$deb" >/dev/null
  local desktop=/usr/share/applications/chengjing.desktop
  [ -f "$desktop" ] || fail "no menu entry $desktop"
  desktop-file-validate "$desktop" || fail "the menu entry is not valid"
  [ -f /usr/share/icons/hicolor/48x48/apps/chengjing.png ] || fail "no icon in the hicolor theme"
  local exec
  exec=$(sed -n 's/^Exec=//p' "$desktop")
  [ -n "$exec" ] || fail "the menu entry has no Exec line"

  # The installed program as a user runs it: its data goes to the user's XDG
  # data folder, never into /usr.
  local home=$work/home
  mkdir -p "$home"
  local data=$home/.local/share/chengjing/data
  local shot=$work/installed.png
  HOME=$home xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    $1 &
    pid=$!
    sleep 3
    import -window root "$2"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  ' _ "$exec" "$shot" 2>/dev/null
  # A window shows many colours; a black screen has one.
  local colours
  colours=$(identify -format %k "$shot")
  [ "$colours" -gt 16 ] || fail "the installed program's screenshot is blank ($colours colours)"
  cp "$shot" build/release/packages/installed-screenshot.png
  [ -d "$data" ] || fail "the installed program made no $data"
  [ ! -e /usr/bin/data ] || fail "the installed program wrote into /usr/bin"

  [ "$(HOME=$home chengjing-cli --version)" = "chengjing-cli $version" ] ||
    fail "chengjing-cli --version is not $version"
  HOME=$home chengjing-cli refresh --folder "$work/tree" >/dev/null 2>&1
  [ -f "$data/1.txt" ] || fail "the installed chengjing-cli kept no index in $data"
  [ "$(HOME=$home chengjing-cli search JD0012345678901)" = "$work/tree/sub/JD0012345678901.pdf" ] ||
    fail "the installed chengjing-cli does not find what it indexed"

  DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq chengjing >/dev/null
  ! dpkg-query -W -f='${Status}' chengjing 2>/dev/null | grep '^install ok installed$' >/dev/null ||
    fail "the package is still installed"
  [ ! -e /usr/bin/chengjing ] && [ ! -e /usr/lib/chengjing ] && [ ! -e "$desktop" ] ||
    fail "removing the package left its files"
  echo "deb: installed, started, searched and removed in $((SECONDS - started)) s"
}

check_windows() {
  local started=$SECONDS
  cmake --preset windows ${CJ_CMAKE_ARGS:-} >/dev/null
  # The window joins the package once it builds for Windows.
  local targets=(chengjing-cli)
  if ninja -C build/windows -t targets all | grep '^chengjing\.exe:' >/dev/null; then
    targets+=(chengjing)
  fi
  cmake --build --preset windows --target "${targets[@]}"
  (cd build/windows && cpack -G "NSIS;ZIP" >/dev/null)
  local name=chengjing-${version}-windows-x64
  local installer=build/windows/packages/$name.exe zip=build/windows/packages/$name.zip
  [ -f "$installer" ] && [ -f "$zip" ] || fail "no $installer or $zip"
  echo "windows: built $(basename "$installer") ($(stat -c %s "$installer") bytes) and" \
    "$(basename "$zip") ($(stat -c %s "$zip") bytes) in $((SECONDS - started)) s"
  # The icon (group icon, type 14) and the version (type 16) of each file.
  for exe in "$installer" build/windows/bin/chengjing-cli.exe; do
    wrestool -l "$exe" | grep -- '--type=14' >/dev/null || fail "$exe has no icon"
    wrestool -l "$exe" | grep -- '--type=16' >/dev/null || fail "$exe has no version resource"
  done
  unzip -l "$zip" | grep " $name/chengjing-cli.exe$" >/dev/null || fail "the zip has no chengjing-cli.exe"
  unzip -l "$zip" | grep " $name/data/$" >/dev/null || fail "the zip has no data folder"

  started=$SECONDS
  export WINEPREFIX=$work/wine WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;mscoree,mshtml="
  if locale -a 2>/dev/null | grep -ix 'zh_CN.utf-\?8' >/dev/null; then
    export LC_ALL=zh_CN.UTF-8  # Code page 936, as on the users' systems.
  fi
  wineboot --init >/dev/null 2>&1 </dev/null
  wineserver -w
  # Where Wine keeps this user's folders, as Linux paths.
  local local_app_data app_data
  local_app_data=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')")
  app_data=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')")
  local installed=${local_app_data%/}/Programs/chengjing
  local shortcut="${app_data%/}/Microsoft/Windows/Start Menu/Programs/澄镜文件极速搜索工具.lnk"
  local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\chengjing'

  wine "$installer" /S >/dev/null 2>&1 </dev/null
  wineserver -w
  for f in chengjing-cli.exe uninstall.exe data; do
    [ -e "$installed/$f" ] || fail "the installer put no $f into $installed"
  done
  [ -f "$shortcut" ] || fail "the installer made no Start-menu entry"
  wine reg query "$key" /v UninstallString 2>/dev/null | grep uninstall.exe >/dev/null ||
    fail "the program is not listed among the installed programs"
  wine reg query "$key" /v DisplayVersion 2>/dev/null | grep "$version" >/dev/null ||
    fail "the listing does not carry version $version"

  local cli=$installed/chengjing-cli.exe
  [ "$(wine "$cli" --version 2>/dev/null | tr -d '\r')" = "chengjing-cli $version" ] ||
    fail "chengjing-cli.exe --version is not $version"
  local tree
  tree=$(winepath -w "$work/tree")
  wine "$cli" refresh --folder "$tree" >/dev/null 2>&1 </dev/null
  [ -f "$installed/data/1.txt" ] || fail "the installed chengjing-cli.exe kept no index in data\\"
  [ "$(wine "$cli" search JD0012345678901 2>/dev/null | tr -d '\r')" = "$tree\\sub\\JD0012345678901.pdf" ] ||
    fail "the installed chengjing-cli.exe does not find what it indexed"

  # A silent uninstall keeps the user's data and removes everything else.
  wine "$installed/uninstall.exe" /S >/dev/null 2>&1 </dev/null
  wineserver -w
  local left
  left=$(cd "$installed" && find . -mindepth 1 -maxdepth 1 | sort | tr '\n' ' ')
  [ "$left" = "./data " ] || fail "the uninstaller left \"$left\" in $installed (expected data only)"
  [ -f "$installed/data/1.txt" ] || fail "the uninstaller removed the user's data"
  [ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
  ! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left the programs' listing"
  wineserver -k >/dev/null 2>&1 || true
  echo "windows: installed, searched and uninstalled under Wine in $((SECONDS - started)) s"
}

case $what in
  deb) check_deb ;;
  windows) check_windows ;;
  all) check_deb && check_windows ;;
  *) fail "unknown part $what (deb or windows)" ;;
esac
echo "package_check: $what passed"
