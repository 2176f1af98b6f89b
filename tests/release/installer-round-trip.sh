#!/usr/bin/env bash
# The packages as a Windows user gets them. Runs scripts/package.sh, checks
# from their contents that the x86 installer and the zip hold the 32-bit
# programs, then on a fresh 64-bit Wine prefix: installs the x64 installer
# silently, checks files, shortcut, registry and version resources, opens
# a .tvd through its association as a double-click does, installs again
# (refused while Tallyvane runs, then over the old files once it is closed)
# and uninstalls silently, which leaves the data file and the settings alone.
#   installer-round-trip.sh SOURCE_DIR version_probe.exe
# Exit 77 (skipped) when a tool is missing.
set -u
src=$(cd "${1:?usage: installer-round-trip.sh SOURCE_DIR version_probe.exe}" && pwd)
probe=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
build=$(dirname "$(dirname "$probe")")
work=$build/installer-test

for tool in makensis zip unzip 7z xdotool import Xvfb /usr/lib/wine/wine64; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (scripts/setup-deps.sh installs it)"
    exit 77
  fi
done

fail() { echo "FAILED: $*"; exit 1; }
# PE32 (0x10b) or PE32+ (0x20b), and the machine, of the program in file $1.
pe_kind() {
  local off
  off=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  echo "$(od -An -t x2 -j $((off + 24)) -N 2 "$1" | tr -d ' ')/$(od -An -t x2 -j $((off + 4)) -N 2 "$1" | tr -d ' ')"
}

# --- the packages
started=$(date +%s)
rm -rf "$work"
mkdir -p "$work/x86" "$work/x64"
(cd "$src" && bash scripts/package.sh --from-test-builds --out "$work/dist") >"$build/package.log" 2>&1 ||
  { tail -30 "$build/package.log"; fail "scripts/package.sh"; }
echo "scripts/package.sh: $(( $(date +%s) - started )) s"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
setup32=$work/dist/Tallyvane-$version-setup.exe
setup64=$work/dist/Tallyvane-$version-x64-setup.exe
zip=$work/dist/Tallyvane-$version-portable.zip
[ "$(pe_kind "$setup32")" = "010b/014c" ] || fail "the x86 installer is not a 32-bit program"
[ "$(pe_kind "$setup64")" = "020b/8664" ] || fail "the x64 installer is not a 64-bit program"
7z e -y -o"$work/x86" "$setup32" >/dev/null || fail "7z can't read the x86 installer"
7z e -y -o"$work/x64" "$setup64" >/dev/null || fail "7z can't read the x64 installer"
for exe in Tallyvane.exe tvd.exe; do
  [ "$(pe_kind "$work/x86/$exe")" = "010b/014c" ] || fail "$exe in the x86 installer is not PE32"
  [ "$(pe_kind "$work/x64/$exe")" = "020b/8664" ] || fail "$exe in the x64 installer is not PE32+"
done
[ -f "$work/x86/LICENSE.txt" ] || fail "no LICENSE.txt in the installer"
listed=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listed" = "LICENSE.txt README.txt Tallyvane.exe club.tvd tvd.exe " ] || fail "the zip holds: $listed"
unzip -o -q "$zip" -d "$work/zip"
for exe in Tallyvane.exe tvd.exe; do
  [ "$(pe_kind "$work/zip/$exe")" = "010b/014c" ] || fail "$exe in the zip is not PE32"
done
cmp -s "$work/zip/Tallyvane.exe" "$work/x86/Tallyvane.exe" || fail "the zip and the x86 installer differ"
echo "x86 installer, zip: 32-bit Tallyvane.exe and tvd.exe; x64 installer: 64-bit"

# --- a fresh prefix on a display of our own
. "$src/scripts/xvfb.sh"
start_xvfb 261 299 || fail "no free display for Xvfb"
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
# No Linux menu entries or file types from what the installer creates.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=$WINELOADER
finish() {
  timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true
  stop_xvfb
}
trap finish EXIT
"$wine" wineboot -i >/dev/null 2>&1
"$WINESERVER" -w

unix() { "$wine" winepath -u "$1" 2>/dev/null; }
win_var() { "$wine" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
reg_value() {  # KEY NAME: the value's data, empty when there is none
  "$wine" reg query "$1" $([ "$2" = "" ] && echo /ve || echo /v "$2") 2>/dev/null | tr -d '\r' |
    awk 'NF >= 3 && $2 ~ /^REG_/ { sub(/^[ ]*[^ ]+[ ]+REG_[A-Z_]+[ ]+/, ""); print; exit }'
}
has_key() { "$wine" reg query "$1" >/dev/null 2>&1; }
# Wine returns when the installer has ended, with its exit code.
install() { "$wine" "$setup64" /S; }

appdir=$(win_var LOCALAPPDATA)\\Programs\\Tallyvane
app=$(unix "$appdir")
shortcut=$(unix "$(win_var APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Tallyvane.lnk")
settings=$(unix "$(win_var APPDATA)\\Vantorell\\Tallyvane\\Tallyvane.ini")
classes='HKCU\Software\Classes'
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallyvane'
data_dir=$WINEPREFIX/drive_c/Club\ data
mkdir -p "$data_dir"
cp "$src/examples/club.tvd" "$data_dir/club.tvd"

# --- install
install || fail "the silent install ended with $?"
for f in Tallyvane.exe tvd.exe LICENSE.txt Uninstall.exe; do
  [ -f "$app/$f" ] || fail "$appdir\\$f was not installed"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
[ "$(reg_value "$classes\\.tvd" "")" = "Tallyvane.DataFile" ] || fail ".tvd is not associated"
[ "$(reg_value "$classes\\Tallyvane.DataFile\\shell\\open\\command" "")" = "\"$appdir\\Tallyvane.exe\" \"%1\"" ] ||
  fail "open command: $(reg_value "$classes\\Tallyvane.DataFile\\shell\\open\\command" "")"
[ "$(reg_value "$classes\\Tallyvane.DataFile\\DefaultIcon" "")" = "$appdir\\Tallyvane.exe,-108" ] || fail "no DefaultIcon (the data files' icon, 108)"
for pair in "DisplayName=Tallyvane" "DisplayVersion=$version" "Publisher=Vantorell" \
            "DisplayIcon=$appdir\\Tallyvane.exe,0" "UninstallString=\"$appdir\\Uninstall.exe\"" \
            "QuietUninstallString=\"$appdir\\Uninstall.exe\" /S" "NoModify=0x1" "NoRepair=0x1"; do
  [ "$(reg_value "$uninstall" "${pair%%=*}")" = "${pair#*=}" ] ||
    fail "Apps & features ${pair%%=*}: '$(reg_value "$uninstall" "${pair%%=*}")'"
done
size=$(reg_value "$uninstall" EstimatedSize)
[ $((size)) -gt 100 ] || fail "EstimatedSize $size"
echo "installed: files, shortcut, association, Apps & features entry"

numbers=$(echo "$version" | awk -F. '{ printf "%d.%d.0.0", $1, $2 }')
for exe in Tallyvane.exe tvd.exe; do
  info=$("$wine" "$probe" "$appdir\\$exe" | tr -d '\r')
  for line in "Version=$numbers" "ProductVersionNumbers=$numbers" "FileVersion=$version" "ProductVersion=$version" \
              "CompanyName=Vantorell" "ProductName=Tallyvane" "OriginalFilename=$exe" \
              'requestedExecutionLevel level="asInvoker"' '>true/pm</dpiAware>' \
              '>PerMonitorV2, PerMonitor</dpiAwareness>' '>UTF-8</activeCodePage>' '>true</longPathAware>'; do
    grep -qF "$line" <<<"$info" || fail "$exe: no '$line' in: $info"
  done
  [ "$(grep -c '<supportedOS Id=' <<<"$info")" = 4 ] || fail "$exe: not Windows 7 to 11 in the manifest"
  ! grep -qiE 'Common-Controls' <<<"$info" || fail "$exe: manifest asks for more: $info"
done
echo "version resources: $version ($numbers), manifests: asInvoker, DPI aware per monitor, UTF-8, long paths, Windows 7 to 11"

# --- a double-click on the data file
"$wine" cmd /c start "" "C:\\Club data\\club.tvd" >/dev/null 2>&1 &
win=""
for _ in $(seq 1 120); do
  win=$(xdotool search --name "^club.tvd - Tallyvane\$" 2>/dev/null | head -1)
  [ -n "$win" ] && break
  sleep 0.25
done
[ -n "$win" ] || fail "no window titled 'club.tvd - Tallyvane' after start club.tvd"
mkdir -p "$build/screenshots"
import -window "$win" "$build/screenshots/installed.png" 2>/dev/null
echo "start club.tvd: window 'club.tvd - Tallyvane'"

# --- installing again: refused while Tallyvane runs, then over the old files
echo "not a program" >"$app/tvd.exe"
install && fail "the install went ahead while Tallyvane was running"
[ "$(cat "$app/tvd.exe")" = "not a program" ] || fail "the refused install changed the files"
xdotool mousemove --window "$win" 200 200 click 1
sleep 0.5
xdotool key alt+x
for _ in $(seq 1 40); do
  [ -z "$(xdotool search --name "^club.tvd - Tallyvane\$" 2>/dev/null)" ] && break
  sleep 0.25
done
[ -z "$(xdotool search --name "^club.tvd - Tallyvane\$" 2>/dev/null)" ] || fail "Alt+X did not close Tallyvane"
"$WINESERVER" -w
[ -f "$settings" ] || fail "Tallyvane wrote no settings file at exit"
install || fail "installing over the earlier install ended with $?"
cmp -s "$app/tvd.exe" "$work/x64/tvd.exe" || fail "installing again did not replace tvd.exe"
echo "installing again: refused while running, then replaced the files"

# --- uninstall; .tvd has been taken over by another program meanwhile
"$wine" reg add "$classes\\.tvd" /ve /d Other.File /f >/dev/null 2>&1
cp "$settings" "$work/settings.kept"
# By its Windows path, as Apps & features starts it: the uninstaller knows
# the folder it was installed to by the folder it runs from.
"$wine" "$appdir\\Uninstall.exe" /S || fail "the silent uninstall ended with $?"
# The uninstaller runs on from a copy of itself in the temporary folder.
"$WINESERVER" -w
left=$(ls -A "$app" 2>/dev/null)
[ -z "$left" ] || fail "left in the program folder: $left"
[ ! -e "$app" ] || fail "the empty program folder is left"
[ ! -e "$shortcut" ] || fail "the shortcut is left"
! has_key "$classes\\Tallyvane.DataFile" || fail "the ProgID is left"
! has_key 'HKLM\Software\Classes\Tallyvane.DataFile' || fail "the ProgID is left under HKLM"
[ "$(reg_value "$classes\\.tvd" "")" = "Other.File" ] || fail "another program's .tvd association was removed"
! has_key "$uninstall" || fail "the Apps & features entry is left"
cmp -s "$data_dir/club.tvd" "$src/examples/club.tvd" || fail "the data file changed"
cmp -s "$settings" "$work/settings.kept" || fail "the settings file changed"
echo "uninstalled: program, shortcut, ProgID and entry gone; data file, settings and the other .tvd owner kept"
echo "PASSED"
