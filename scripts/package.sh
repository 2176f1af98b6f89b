#!/usr/bin/env bash
# Builds Tallyvane.exe and tvd.exe optimised for 32-bit and 64-bit Windows
# (presets win32-release and win64-release) and writes into dist/:
#   Tallyvane-VERSION-setup.exe      installer of the 32-bit program, the one shipped
#   Tallyvane-VERSION-x64-setup.exe  the same installer of the 64-bit build
#   Tallyvane-VERSION-portable.zip   the 32-bit programs, the example file,
#                                    README.txt and LICENSE.txt
# VERSION is the one of project() in CMakeLists.txt.
#   package.sh [--from-test-builds] [--out DIR]
# --from-test-builds packages the programs of the test command's builds
# (presets win32 and win64, stripped here) instead of making two optimised
# builds: the installer test uses it to spend its time on the installers.
# --out writes the packages into DIR instead of dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
out=dist
from=release
while [ $# -gt 0 ]; do
  case $1 in
    --from-test-builds) from=test ;;
    --out) out=${2:?--out needs a folder}; shift ;;
    *) echo "usage: package.sh [--from-test-builds] [--out DIR]" >&2; exit 2 ;;
  esac
  shift
done
scripts/setup-deps.sh

docs=build/package
rm -rf "$docs"
mkdir -p "$docs/portable" "$docs/x86" "$docs/x64" "$out"
for arch in x86 x64; do
  if [ $arch = x86 ]; then preset=win32; strip=i686-w64-mingw32-strip; else preset=win64; strip=x86_64-w64-mingw32-strip; fi
  if [ $from = release ]; then
    preset=$preset-release
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    cp "build/$preset/bin/Tallyvane.exe" "build/$preset/bin/tvd.exe" "$docs/$arch/"
  else
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target Tallyvane tvd
    "$strip" -o "$docs/$arch/Tallyvane.exe" "build/$preset/bin/Tallyvane.exe"
    "$strip" -o "$docs/$arch/tvd.exe" "build/$preset/bin/tvd.exe"
  fi
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "build/$preset/CMakeCache.txt")
[ -n "$version" ] || { echo "package.sh: no project version in build/$preset" >&2; exit 1; }
# "1.04" is 1.4.0.0 in the installer's own version numbers.
numbers=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3, $4 }')

# The texts for Windows users get CR LF line ends.
sed 's/$/\r/' LICENSE >"$docs/LICENSE.txt"
sed "s/@VERSION@/$version/g; s/\$/\r/" installer/README.txt >"$docs/README.txt"

case $out in /*) ;; *) out=$PWD/$out ;; esac
installer() {  # ARCH OUTFILE
  makensis -V2 -DVERSION="$version" -DNUMBERS="$numbers" -DARCH="$1" \
    -DBINDIR="$PWD/$docs/$1" -DDOCDIR="$PWD/$docs" -DICONDIR="$PWD/build/$preset/resources" \
    -DOUTFILE="$out/$2" installer/Tallyvane.nsi
}
installer x86 "Tallyvane-$version-setup.exe"
installer x64 "Tallyvane-$version-x64-setup.exe"

zip=$out/Tallyvane-$version-portable.zip
cp "$docs/x86/Tallyvane.exe" "$docs/x86/tvd.exe" examples/club.tvd \
  "$docs/README.txt" "$docs/LICENSE.txt" "$docs/portable/"
rm -f "$zip"
(cd "$docs/portable" && zip -q -X "$zip" Tallyvane.exe tvd.exe club.tvd README.txt LICENSE.txt)

ls -l "$out"/Tallyvane-"$version"-*
