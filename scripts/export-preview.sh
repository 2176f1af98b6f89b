#!/usr/bin/env bash
# Renders tvd's HTML export in headless Chromium, for a look with one's own
# eyes: the page as on screen and as printed (A4 and Letter), in build/preview/.
#   bash scripts/export-preview.sh [DATA.tvd]     (default: examples/club.tvd
#                                                 with a roster of 24 names added)
# Needs chromium (apt-get install chromium), and poppler-utils for pictures
# of the printed pages; not part of the test command.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/preview
mkdir -p "$out"
cmake --preset host >/dev/null
cmake --build --preset host --target tvd >/dev/null
tvd=build/host/bin/tvd
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "export-preview: chromium is not installed" >&2; exit 1; }

data=${1:-}
if [ -z "$data" ]; then
  data=$out/club.tvd
  cp examples/club.tvd "$data"
  {
    printf '\xef\xbb\xbfName\r\n'
    for n in "Émile Zola" "Fay \"Fi\" O'Neil" "<Gus> & Sons" Hana Ito Jun Kai Lena Mo Nils Ola Pia Quinn Rosa Sami Tove \
             Uma Vik Wen Xia Yara Zed; do
      printf '"%s"\r\n' "${n//\"/\"\"}"
    done
  } > "$out/roster.csv"
  "$tvd" add-names "$data" "$out/roster.csv" >/dev/null
fi
"$tvd" export "$data" --html "$out/export.html"

page="file://$(realpath "$out/export.html")"
flags=(--headless --no-sandbox --disable-gpu --hide-scrollbars --no-pdf-header-footer)
"$browser" "${flags[@]}" --window-size=1000,1400 --screenshot="$out/export-screen.png" "$page" 2>/dev/null
# Printing: the page's @page rule leaves the paper size to the printer, so
# the same page is printed on both sizes.
for paper in A4:8.27x11.69 Letter:8.5x11; do
  name=${paper%%:*}
  sed "s|@page{margin:12mm}|@page{size:${name};margin:12mm}|" "$out/export.html" > "$out/print-$name.html"
  "$browser" "${flags[@]}" --print-to-pdf="$out/export-$name.pdf" "file://$(realpath "$out/print-$name.html")" 2>/dev/null
  if command -v pdftoppm >/dev/null; then
    pdftoppm -png -r 60 "$out/export-$name.pdf" "$out/export-$name"
  fi
done
ls -1 "$out"/export*
