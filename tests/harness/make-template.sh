#!/usr/bin/env bash
# Builds the Wine prefix every end-to-end scenario starts from: build/wine/template.
#   make-template.sh              build it afresh (what a test run does)
#   make-template.sh --if-missing keep a complete template made by this same script
#
# The prefix is a win64 one (the driver runs natively, setup.exe through the
# 32-bit loader), with:
#   - real folders for Desktop, Documents and the other user folders, so that
#     whatever a program writes there stays inside the prefix;
#   - the Wine and Liberation fonts in C:\windows\Fonts, with Times New Roman,
#     Arial and Courier New mapped onto Liberation;
#   - no display ("Graphics"="null"), unmanaged X11 windows for the runs that do
#     set a display;
#   - drive A: a floppy and drive D: a CD-ROM, each a folder inside the prefix
#     (relative links, so every copy of the prefix has its own); Q: a hard
#     disk, present in the runs that link it to a small drive (prefix.sh).
set -euo pipefail
. "$(dirname "$0")/env.sh"
need_wine

stamp=$(sha1sum "$0" | cut -c1-16)
if [ "${1:-}" = --if-missing ] && [ -f "$TEMPLATE/.qm-template" ] &&
   [ "$(cat "$TEMPLATE/.qm-template")" = "$stamp" ]; then
    exit 0
fi

# Prefixes of earlier runs may still be mounted on the old template.
"$(dirname "$0")/cleanup-runs.sh"

new=$TEMPLATE.new
rm -rf "$new"
mkdir -p "$(dirname "$TEMPLATE")"

export WINEPREFIX=$new
"$WINE64" wineboot --init >/dev/null 2>&1 || die "wineboot --init failed in $new"
"$WINESERVER" -w

# User folders: real folders instead of links into $HOME.
for d in "$new"/drive_c/users/*/; do
    for link in "$d"*; do
        if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
    done
done

# Fonts.
fonts=$new/drive_c/windows/Fonts
mkdir -p "$fonts"
found=0
for f in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon \
         /usr/share/fonts/truetype/liberation/*.ttf; do
    [ -e "$f" ] || continue
    cp -f "$f" "$fonts/" && found=$((found + 1))
done
[ "$found" -gt 0 ] || die "no fonts found (fonts-wine and fonts-liberation are needed)"

# Drives A: (floppy) and D: (CD-ROM).
mkdir -p "$new/floppy" "$new/cdrom"
ln -sfn ../floppy "$new/dosdevices/a:"
ln -sfn ../cdrom "$new/dosdevices/d:"

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="null"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Times New Roman"="Liberation Serif"
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"a:"="floppy"
"d:"="cdrom"
"q:"="hd"
REG
"$WINE64" regedit /S "Z:${reg//\//\\}" >/dev/null 2>&1 ||
    die "regedit failed in $new"
"$WINESERVER" -w

grep -q '"Graphics"="null"' "$new/user.reg" || die "the registry settings did not reach $new/user.reg"
grep -q '"a:"="floppy"' "$new/system.reg" || die "the drive settings did not reach $new/system.reg"
rm -f "$new/wineserver"

echo "$stamp" > "$new/.qm-template"
rm -rf "$TEMPLATE"
mv "$new" "$TEMPLATE"
echo "template ready: $TEMPLATE"
