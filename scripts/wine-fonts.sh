# Sourced by scripts/wine-run: the fonts of a Wine prefix, as the tests need
# them.
#   wine_fonts_current
# is true when the prefix ($WINEPREFIX) already has this file's settings.
#   set_wine_fonts WINE
# writes them with WINE's regedit.
#
# Debian's Wine has no fonts of its own here: every face a window asks for
# ("System", "MS Shell Dlg", "Tahoma", ...) falls back to the first family
# of Wine's list that exists (Arial, Liberation Sans, ...), else to the
# one fontconfig prefers. The window pictures were made with DejaVu Sans,
# which fontconfig prefers only until another sans-serif family is
# installed: fonts-noto-core made every window draw in Noto Sans. So the
# fallbacks are pinned to the DejaVu families (a replacement is used only
# while the real face is missing), and the fonts for other scripts are
# only linked to DejaVu Sans, as Windows links its CJK fonts to Tahoma or
# Segoe UI: a character DejaVu lacks is drawn from the first linked font
# that has it. Wine finds the link of a bold face under the face's full
# name, so "DejaVu Sans Bold" (the stock system font here) needs its own.
# Wine 8 draws no character outside the Basic Multilingual Plane through
# GDI (it takes a surrogate pair as two characters), so no emoji font helps.

wine_fonts_version=1

wine_fonts_current() {
  [ "$(cat "$WINEPREFIX/tallyvane-fonts" 2>/dev/null)" = "$wine_fonts_version" ]
}

# REG_MULTI_SZ in a version 5 registry file: UTF-16LE bytes as hex(7).
wine_fonts_multi_sz() {
  local text="" item
  for item in "$@"; do text+="$item"$'\n'; done
  printf '%s\n' "$text" | tr '\n' '\0' | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
    tr -s ' \n' ',' | sed 's/^,//; s/,$//'
}

set_wine_fonts() {
  local wine=$1 links file
  links=$(wine_fonts_multi_sz \
    "NotoSansArabic-Regular.ttf,Noto Sans Arabic" \
    "NotoSansHebrew-Regular.ttf,Noto Sans Hebrew" \
    "NotoSansDevanagari-Regular.ttf,Noto Sans Devanagari" \
    "wqy-zenhei.ttc,WenQuanYi Zen Hei")
  file=$(mktemp --suffix=.reg)
  # regedit reads a version 5 file as UTF-16 only with its byte-order mark.
  {
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE <<EOF
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"Arial"="DejaVu Sans"
"Times New Roman"="DejaVu Serif"
"Courier New"="DejaVu Sans Mono"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
"DejaVu Sans"=hex(7):$links
"DejaVu Sans Bold"=hex(7):$links
EOF
  } >"$file"
  if "$wine" regedit /S "$(winepath_of "$file")" >/dev/null 2>&1; then
    echo "$wine_fonts_version" >"$WINEPREFIX/tallyvane-fonts"
  else
    echo "wine-run: could not set the fonts of $WINEPREFIX" >&2
  fi
  rm -f "$file"
}

# Wine maps the Unix root to drive Z:.
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }
