# Sourced by the test scripts that run a program at another display DPI.
#   use_dpi_prefix BUILD SOURCE_DIR DPI
# exports WINEPREFIX: BUILD/wineprefix at 96 DPI, else BUILD/wineprefix-dpiDPI,
# made on first use with LogPixels set by BUILD/bin/reg_dpi.exe (Wine reads it
# when the prefix's wineserver starts). Returns 125 when Wine can't run here,
# 1 when the DPI could not be set.
use_dpi_prefix() {
  local build=$1 src=$2 dpi=$3 status
  if [ "$dpi" = 96 ]; then
    export WINEPREFIX=$build/wineprefix
    return 0
  fi
  export WINEPREFIX=$build/wineprefix-dpi$dpi
  [ "$(cat "$WINEPREFIX.dpi" 2>/dev/null)" = "$dpi" ] && return 0
  # wine-run makes the prefix on first use; then the value is written.
  "$src/scripts/wine-run" "$build/bin/reg_dpi.exe" "$dpi"
  status=$?
  [ $status = 125 ] && return 125
  [ $status = 0 ] || { echo "could not set LogPixels $dpi in $WINEPREFIX" >&2; return 1; }
  echo "$dpi" >"$WINEPREFIX.dpi"
}
