#!/usr/bin/env bash
# qmkuins1.exe under Wine: each scenario lays down a Quillmark installation by
# hand in a fresh copy of the template prefix, runs the uninstaller through the
# driver, which answers its boxes, and then looks at the files, the shortcuts
# and the registry.
#   run.sh [UNINSTALLER DRIVER]   (default: the ones in the build folder)
set -u
source "$(dirname "$0")/../../harness/env.sh"
source "$(dirname "$0")/../../harness/prefix.sh"
need_wine
cd "$ROOT"
UNINSTALLER=$(realpath "${1:-$BUILD/apps/qmkuins1.exe}")
DRIVER=$(realpath "${2:-$BUILD/tests/uninstaller-driver.exe}")
[ -f "$UNINSTALLER" ] && [ -f "$DRIVER" ] || die "build $UNINSTALLER and $DRIVER first"
run_dir=$RUNS/uninstaller
WINEPREFIX=$(prefix_create "$run_dir") || exit 2
export WINEPREFIX
trap 'prefix_destroy "$run_dir"' EXIT
C=$WINEPREFIX/drive_c
DIR="$C/Program Files (x86)/Quillmark"
WIN_DIR='C:\Program Files (x86)\Quillmark'
START_MENU="$C/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu"
DESKTOP="$C/users/$(id -un)/Desktop"
# The 32-bit uninstaller's view of HKEY_LOCAL_MACHINE\Software.
HKLM32='HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows\CurrentVersion'
APP_PATHS='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Quillmark.exe'
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmark'
SETTINGS='HKCU\Software\Brenlow\Quillmark\Settings'

# The manifest rows: file name and read-only flag (yes or no).
mapfile -t ROWS < <(python3 -B tools/carried_files.py --rows)
[ ${#ROWS[@]} -gt 0 ] || { echo "FAIL: no manifest rows from tools/carried_files.py"; exit 1; }

failures=0
scenario() { echo "== $1"; }
check() {
    local what=$1; shift
    "$@" || { echo "FAIL: $what"; failures=$((failures + 1)); }
}
absent() { [ ! -e "$1" ]; }
read_only() { [ -z "$(find "$1" -perm /222)" ]; }
key() { "$WINE64" reg query "$1" /reg:32 >/dev/null 2>&1; }
no_key() { ! key "$1"; }
value() { "$WINE64" reg query "$1" /v "$2" /reg:32 >/dev/null 2>&1; }
no_value() { ! value "$1" "$2"; }
# Wine deletes what waits for the restart when its next session starts; until then
# the list is in the saved registry.
pending() { grep -F '"PendingFileRenameOperations"=' "$WINEPREFIX/system.reg"; }
restart() { "$WINE64" cmd /c exit; "$WINESERVER" -w; }
pending_in_order() {
    local folder=${WIN_DIR//\\/\\\\}
    pending | grep -qF "\\\\??\\\\$folder\\\\qmkuins1.exe\\0\\0\\\\??\\\\$folder\\0\\0"
}
# The driver, then the end of the Wine session: files deleted while in use go
# only when the last handle to them closes.
drive() { echo "  driver ${*//$'\n'/\\n}"; "$WINE64" "$DRIVER" "$@"; local status=$?; "$WINESERVER" -w; return $status; }

# Registry: the old state is cleared, then the .reg lines given are imported.
registry() {
    {
        printf 'REGEDIT4\n\n[-%s\\App Paths\\Quillmark.exe]\n[-%s\\Uninstall\\Quillmark]\n' "$HKLM32" "$HKLM32"
        printf '[-HKEY_CURRENT_USER\\Software\\Brenlow]\n'
        printf '%s\n' "$@"
    } > "$WINEPREFIX/drive_c/setup.reg"
    "$WINE64" regedit /S 'C:\setup.reg'
}
FOLDER_REG="\"Path\"=\"${WIN_DIR//\\/\\\\}\""
FULL_REG=("[$HKLM32\\App Paths\\Quillmark.exe]" "@=\"${WIN_DIR//\\/\\\\}\\\\Quillmark.exe\"" "$FOLDER_REG"
          "[$HKLM32\\Uninstall\\Quillmark]" '"DisplayName"="Quillmark Version 1.0   (Remove Only)"'
          '"UninstallString"="C:\\windows\\qmkuins1.exe"'
          '[HKEY_CURRENT_USER\Software\Brenlow\Quillmark\Settings]' "$FOLDER_REG" '"Font"="Courier"')

# Files: the program, the manifest rows (read-only where marked), the shortcuts
# and the uninstaller in the Windows folder; a script of the user's own.
install_files() {
    rm -rf "$DIR" "$C/windows/qmkuins1.exe"
    mkdir -p "$DIR"
    echo program > "$DIR/Quillmark.exe"
    for row in "${ROWS[@]}"; do
        echo data > "$DIR/${row% *}"
        [ "${row#* }" = yes ] && chmod a-w "$DIR/${row% *}"
    done
    echo link > "$START_MENU/Quillmark.lnk"
    echo link > "$DESKTOP/Quillmark.lnk"
    cp "$UNINSTALLER" "$C/windows/qmkuins1.exe"
    echo "INT. KITCHEN - NIGHT" > "$DIR/My Script.scp"
}

program_files_present() {
    check "Quillmark.exe present" [ -f "$DIR/Quillmark.exe" ]
    for row in "${ROWS[@]}"; do
        check "${row% *} present" [ -f "$DIR/${row% *}" ]
        [ "${row#* }" = yes ] && check "${row% *} read-only" read_only "$DIR/${row% *}"
    done
}
nothing_changed() {
    program_files_present
    check "user file present" [ -f "$DIR/My Script.scp" ]
    check "uninstaller present" [ -f "$C/windows/qmkuins1.exe" ]
    check "start menu shortcut present" [ -f "$START_MENU/Quillmark.lnk" ]
    check "desktop shortcut present" [ -f "$DESKTOP/Quillmark.lnk" ]
    check "App Paths entry present" value "$APP_PATHS" Path
    check "uninstall entry present" value "$UNINSTALL" UninstallString
    check "remembered folder present" value "$SETTINGS" Path
    check "other setting present" value "$SETTINGS" Font
}
# Everything of Quillmark gone but what the caller names.
removed_except() {
    local keep=" $* "
    for name in Quillmark.exe "${ROWS[@]% *}"; do
        [[ $keep == *" $name "* ]] || check "$name removed" absent "$DIR/$name"
    done
    check "start menu shortcut removed" absent "$START_MENU/Quillmark.lnk"
    check "desktop shortcut removed" absent "$DESKTOP/Quillmark.lnk"
    check "App Paths entry removed" no_key "$APP_PATHS"
    check "uninstall entry removed" no_key "$UNINSTALL"
    check "remembered folder removed" no_value "$SETTINGS" Path
    check "other setting kept" value "$SETTINGS" Font
}

QUESTION="yes:Are you sure you want to remove Quillmark from $WIN_DIR?"
DONE='ok:Quillmark has been removed.'

scenario "declining changes nothing"
install_files; registry "${FULL_REG[@]}"
check "driver" drive 'C:\windows\qmkuins1.exe' "no:${QUESTION#yes:}"
nothing_changed

scenario "a running Quillmark is refused"
check "driver" drive --hold "$WIN_DIR\\Quillmark.exe" 'C:\windows\qmkuins1.exe' "$QUESTION" 'ok:Quillmark is running.'
nothing_changed

scenario "removal keeps the user's file and its folder"
check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$DONE"
removed_except
check "user file kept" [ -f "$DIR/My Script.scp" ]
check "uninstaller removed" absent "$C/windows/qmkuins1.exe"

scenario "run again, it is not installed and changes nothing"
cp "$UNINSTALLER" "$C/windows/qmkuins1.exe"
check "driver" drive 'C:\windows\qmkuins1.exe' 'ok:Quillmark is not installed.'
registry "${FULL_REG[@]}"   # records left, files gone: still not installed
check "driver" drive 'C:\windows\qmkuins1.exe' 'ok:Quillmark is not installed.'
check "user file kept" [ -f "$DIR/My Script.scp" ]
check "App Paths entry kept" value "$APP_PATHS" Path
check "remembered folder kept" value "$SETTINGS" Path

scenario "a file that cannot be deleted is reported, the rest goes"
install_files; registry "${FULL_REG[@]}"
check "driver" drive --hold "$WIN_DIR\\Quillmark.hlp" 'C:\windows\qmkuins1.exe' "$QUESTION" \
    "ok:These items could not be removed:"$'\n\n'"$WIN_DIR\\Quillmark.hlp" "$DONE"
removed_except Quillmark.hlp
check "held file still there" [ -f "$DIR/Quillmark.hlp" ]

# Without the uninstall entry the installer leaves the uninstaller in the install
# folder, and the App Paths entry is missing as well when HKLM was not writable.
# The running uninstaller cannot be deleted while held: it and then the folder
# wait for the restart.
scenario "uninstaller in the install folder, folder found through the settings"
install_files; rm "$DIR/My Script.scp" "$C/windows/qmkuins1.exe"
cp "$UNINSTALLER" "$DIR/qmkuins1.exe"
registry '[HKEY_CURRENT_USER\Software\Brenlow\Quillmark\Settings]' "$FOLDER_REG" '"Font"="Courier"'
check "driver" drive --hold "$WIN_DIR\\qmkuins1.exe" "$WIN_DIR\\qmkuins1.exe" "$QUESTION" "$DONE"
check "the uninstaller, then the folder, wait for the restart" pending_in_order
check "folder still there before the restart" [ -f "$DIR/qmkuins1.exe" ]
removed_except
restart
check "folder removed at the restart" absent "$DIR"

# Data longer than a path is not a folder; the settings' folder is then used,
# here stored without its terminating NUL (written straight into the saved
# registry, as no registry tool leaves a string unterminated).  With nothing of
# the user's in it, the folder goes at once.
scenario "App Paths folder too long, settings folder stored without its NUL"
install_files; rm "$DIR/My Script.scp"
registry "[$HKLM32\\App Paths\\Quillmark.exe]" "\"Path\"=\"C:\\\\$(printf '%0300d' 0)\""
"$WINESERVER" -w
unterminated=$(printf %s "$WIN_DIR" | iconv -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//;s/,$//')
printf '\n[Software\\\\Brenlow\\\\Quillmark\\\\Settings] 0\n"Path"=hex(1):%s\n"Font"="Courier"\n' \
    "$unterminated" >> "$WINEPREFIX/user.reg"
check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$DONE"
removed_except
check "folder removed" absent "$DIR"

echo "$failures failure(s)"
[ $failures -eq 0 ]
