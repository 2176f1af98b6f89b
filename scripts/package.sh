#!/usr/bin/env bash
# Builds Tallyvane.exe and tvd.exe optimised for 32-bit and 64-bit Windows
# (presets win32-release and win64-release) and writes into dist/:
#   Tallyvane-VERSION-setup.exe      installer of the 32-bit program, the one shipped
#   Tallyvane-VERSION-x64-setup.exe  the same installer of the 64-bit build
#   Tallyvane-VERSION-portable.zip   the 32-bit programs, the example file,
#                                    README.txt and LICENSE.txt
# VERSION is the one of project() in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

for preset in win32-release win64-release; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32-release/CMakeCache.txt)
[ -n "$version" ] || { echo "package.sh: no project version in build/win32-release" >&2; exit 1; }
# "1.04" is 1.4.0.0 in the installer's own version numbers.
numbers=$(echo "$version" | awk -F. '{ printf "%d.%d.%d.%d", $1, $2, $3, $4 }')

# The texts for Windows users get CR LF line ends.
docs=build/package
rm -rf "$docs"
mkdir -p "$docs/portable" dist
sed 's/$/\r/' LICENSE >"$docs/LICENSE.txt"
sed "s/@VERSION@/$version/g; s/\$/\r/" installer/README.txt >"$docs/README.txt"

installer() {  # ARCH PRESET OUTFILE
  makensis -V2 -DVERSION="$version" -DNUMBERS="$numbers" -DARCH="$1" \
    -DBINDIR="$PWD/build/$2/bin" -DDOCDIR="$PWD/$docs" -DOUTFILE="$PWD/dist/$3" installer/Tallyvane.nsi
}
installer x86 win32-release "Tallyvane-$version-setup.exe"
installer x64 win64-release "Tallyvane-$version-x64-setup.exe"

zip=dist/Tallyvane-$version-portable.zip
cp build/win32-release/bin/Tallyvane.exe build/win32-release/bin/tvd.exe examples/club.tvd \
  "$docs/README.txt" "$docs/LICENSE.txt" "$docs/portable/"
rm -f "$zip"
(cd "$docs/portable" && zip -q -X "$OLDPWD/$zip" Tallyvane.exe tvd.exe club.tvd README.txt LICENSE.txt)

ls -l dist/Tallyvane-"$version"-*
