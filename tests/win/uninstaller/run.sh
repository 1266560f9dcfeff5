#!/usr/bin/env bash
# qmkuins1.exe under Wine: each scenario lays down a Quillmark installation by
# hand, from the files the build made, in a fresh copy of the template prefix,
# runs the uninstaller through the driver, which answers its boxes, and then
# looks at the files, the shortcuts and the registry.
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
START_MENU_LINK="C:\\users\\$(id -un)\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Quillmark.lnk"
DESKTOP_LINK="C:\\users\\$(id -un)\\Desktop\\Quillmark.lnk"
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
read_only() { [ -f "$1" ] && [ -z "$(find "$1" -perm /222)" ]; }
key() { "$WINE64" reg query "$1" /reg:32 >/dev/null 2>&1; }
no_key() { ! key "$1"; }
value() { "$WINE64" reg query "$1" /v "$2" /reg:32 >/dev/null 2>&1; }
no_value() { ! value "$1" "$2"; }
# Wine deletes what waits for the restart when its next session starts; until then
# the list is in the saved registry.  What it deletes, one name a line as the
# system gives it (\??\C:\...), a running uninstaller's name for the wait (qmk
# and hex digits) written as qmk*.tmp.
restart() { "$WINE64" cmd /c exit; "$WINESERVER" -w; }
# Read once the server of the session has ended and saved it, before any other
# Wine process starts a session: a new session is a restart.
waiting() {
    python3 - "$WINEPREFIX/system.reg" <<'PY'
import re, sys
for line in open(sys.argv[1], encoding="utf-8", errors="replace"):
    if line.startswith('"PendingFileRenameOperations"='):
        data = line.split(':"', 1)[1].rstrip().rstrip('"')
        names = data.replace("\\\\", "\x01").replace("\\0", "\0").replace("\x01", "\\").split("\0")
        for name, to in zip(names[0::2], names[1::2]):
            if not to:
                print(re.sub(r"\\qmk[0-9A-Fa-f]+\.tmp$", r"\\qmk*.tmp", name))
PY
}
# The running uninstaller, under a name of its own in FOLDER, then FOLDER,
# and nothing else, wait for the restart.
waiting_in_order() { [ "$(waiting)" = "$(printf '%s\n' "\\??\\$1\\qmk*.tmp" "\\??\\$1")" ]; }
# Nothing but the uninstaller, under a name of its own in FOLDER, waits.
waiting_only() {
    local names; names=$(waiting)
    [ "$names" = "\\??\\${1%\\}\\qmk*.tmp" ] || { echo "  waiting: ${names//$'\n'/, }"; false; }
}
# The driver, then the end of the Wine session: files deleted while in use go
# only when the last handle to them closes.
drive() { echo "  driver ${*//$'\n'/\\n}"; "$WINE64" "$DRIVER" "$@"; local status=$?; "$WINESERVER" -w; return $status; }
# The same with C:\ as the current folder.
from_drive_c() { (cd "$C" && drive "$@"); }

# Registry: the old state is cleared, then the .reg lines given are imported.
registry() {
    {
        printf 'REGEDIT4\n\n[-%s\\App Paths\\Quillmark.exe]\n[-%s\\Uninstall\\Quillmark]\n' "$HKLM32" "$HKLM32"
        printf '[-HKEY_CURRENT_USER\\Software\\Brenlow]\n'
        printf '%s\n' "$@"
    } > "$WINEPREFIX/drive_c/setup.reg"
    "$WINE64" regedit /S 'C:\setup.reg'
}
# The records a complete install into FOLDER (as Windows writes it) leaves; the
# App Paths entry names PROGRAM, by default FOLDER's Quillmark.exe.  Further
# .reg lines may follow.
records() {
    local folder=${1//\\/\\\\} program=${2:-${1%\\}\\Quillmark.exe}
    registry "[$HKLM32\\App Paths\\Quillmark.exe]" "@=\"${program//\\/\\\\}\"" "\"Path\"=\"$folder\"" \
        "[$HKLM32\\Uninstall\\Quillmark]" '"DisplayName"="Quillmark Version 1.0   (Remove Only)"' \
        '"UninstallString"="C:\\windows\\qmkuins1.exe"' "\"InstallLocation\"=\"$folder\"" \
        '[HKEY_CURRENT_USER\Software\Brenlow\Quillmark\Settings]' "\"Path\"=\"$folder\"" '"Font"="Courier"' \
        "${@:3}"
}
FOLDER_REG="\"Path\"=\"${WIN_DIR//\\/\\\\}\""

# The program and the manifest rows into FOLDER as the build made them, so as
# the installer writes them, read-only where marked.
FILES=$BUILD/payload/files
lay_down() {
    cp "$FILES/Quillmark.exe" "$1/"
    for row in "${ROWS[@]}"; do
        cp "$FILES/${row% *}" "$1/"
        [ "${row#* }" = yes ] && chmod a-w "$1/${row% *}"
    done
}
# Shortcuts in the Start menu and on the desktop that start PROGRAM, by
# default the installation's, as the installer makes them.
shortcuts() {
    local program=${1:-$WIN_DIR\\Quillmark.exe}
    "$WINE64" "$DRIVER" --link "$START_MENU_LINK" "$program" --link "$DESKTOP_LINK" "$program"
}
# An installation in the usual folder, with its shortcuts and the uninstaller in
# the Windows folder; a script of the user's own.
install_files() {
    rm -rf "$DIR" "$C/windows/qmkuins1.exe"
    mkdir -p "$DIR"
    lay_down "$DIR"
    shortcuts
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
records_present() {
    check "App Paths entry present" value "$APP_PATHS" Path
    check "uninstall entry present" value "$UNINSTALL" UninstallString
    check "remembered folder present" value "$SETTINGS" Path
    check "other setting present" value "$SETTINGS" Font
}
nothing_changed() {
    program_files_present
    records_present
    check "user file present" [ -f "$DIR/My Script.scp" ]
    check "uninstaller present" [ -f "$C/windows/qmkuins1.exe" ]
    check "start menu shortcut present" [ -f "$START_MENU/Quillmark.lnk" ]
    check "desktop shortcut present" [ -f "$DESKTOP/Quillmark.lnk" ]
}
# The program and the manifest's files gone from FOLDER but the names given.
files_removed_except() {
    local folder=$1 keep=" ${*:2} "
    for name in Quillmark.exe "${ROWS[@]% *}"; do
        [[ $keep == *" $name "* ]] || check "$name removed" absent "$folder/$name"
    done
}
shortcuts_removed() {
    check "start menu shortcut removed" absent "$START_MENU/Quillmark.lnk"
    check "desktop shortcut removed" absent "$DESKTOP/Quillmark.lnk"
}
records_removed() {
    check "App Paths entry removed" no_key "$APP_PATHS"
    check "uninstall entry removed" no_key "$UNINSTALL"
    check "remembered folder removed" no_value "$SETTINGS" Path
    check "other setting kept" value "$SETTINGS" Font
}
# Everything of Quillmark gone but the files named.
removed_except() {
    files_removed_except "$DIR" "$@"
    shortcuts_removed
    records_removed
}

QUESTION="yes:Are you sure you want to remove Quillmark from $WIN_DIR?"
DONE='ok:Quillmark has been removed.'
UNFINISHED='ok:Quillmark was not completely removed.  Close whatever uses the items below, then run the uninstaller again to finish: until then its registry entries and the uninstaller stay.'
NOT_REMOVED=$'\n\nThese items could not be removed:\n'
PROGRAM_KEPT=$'\n\nThis program was kept because it is not the one Quillmark\'s setup installed (it may be a newer version).  Remove it first:\n'
KEPT=$'\n\nThese files were kept because they differ from the ones Quillmark\'s setup installs:\n'
LEFTOVERS='Quillmark is not installed, but some of its shortcuts or registry entries are still there.'
LEFTOVERS_DONE="ok:Quillmark's shortcuts and registry entries have been removed."

scenario "declining changes nothing"
install_files; records "$WIN_DIR"
check "driver" drive 'C:\windows\qmkuins1.exe' "no:${QUESTION#yes:}"
nothing_changed

scenario "while setup runs nothing is removed"
check "driver" drive --mutex 'Brenlow Quillmark Setup' 'C:\windows\qmkuins1.exe' "ok:Quillmark's setup is running."
nothing_changed

scenario "a running Quillmark is refused"
check "driver" drive --hold "$WIN_DIR\\Quillmark.exe" 'C:\windows\qmkuins1.exe' "$QUESTION" 'ok:Quillmark is running.'
nothing_changed

# An edited sample script is the user's work; an uninstaller in the install
# folder identical to the running one is a copy of it.  The running one, which
# cannot delete itself, leaves its name free at once.
scenario "removal keeps the user's file, a changed sample and their folder"
echo "FADE IN:" >> "$DIR/Sample.scp"
cp "$UNINSTALLER" "$DIR/qmkuins1.exe"
check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$DONE$KEPT$WIN_DIR\\Sample.scp"
removed_except Sample.scp
check "changed sample kept" grep -q "FADE IN:" "$DIR/Sample.scp"
check "user file kept" [ -f "$DIR/My Script.scp" ]
check "uninstaller removed" absent "$C/windows/qmkuins1.exe"
check "its copy removed" absent "$DIR/qmkuins1.exe"

# Without an installation, only shortcuts that start the recorded folder's
# program are Quillmark's: one of the user's own stays.  The uninstaller goes
# with the records.
scenario "run again: not installed; what records and shortcuts are left go when the user agrees"
cp "$UNINSTALLER" "$C/windows/qmkuins1.exe"
check "driver" drive 'C:\windows\qmkuins1.exe' 'ok:Quillmark is not installed.'
check "the uninstaller that nothing names removed itself" absent "$C/windows/qmkuins1.exe"
cp "$UNINSTALLER" "$C/windows/qmkuins1.exe"
records "$WIN_DIR"; shortcuts   # records and shortcuts left, the program gone
check "driver" drive 'C:\windows\qmkuins1.exe' "no:$LEFTOVERS"
records_present
check "desktop shortcut kept" [ -f "$DESKTOP/Quillmark.lnk" ]
"$WINE64" "$DRIVER" --link "$DESKTOP_LINK" 'C:\Tools\Outline.exe'
check "driver" drive 'C:\windows\qmkuins1.exe' "yes:$LEFTOVERS" "$LEFTOVERS_DONE"
check "start menu shortcut removed" absent "$START_MENU/Quillmark.lnk"
check "the user's own desktop shortcut kept" [ -f "$DESKTOP/Quillmark.lnk" ]
records_removed
check "changed sample kept" [ -f "$DIR/Sample.scp" ]
check "user file kept" [ -f "$DIR/My Script.scp" ]
check "uninstaller removed" absent "$C/windows/qmkuins1.exe"
rm -f "$DESKTOP/Quillmark.lnk"

# A file or a shortcut in use stays, read-only as it was; so do the program,
# the records and the uninstaller, so that a second run can finish.  The
# uninstall command is quoted, with an argument, as tools rewrite it.
scenario "a file in use: the removal is finished by a second run"
install_files
records "$WIN_DIR" "" "[$HKLM32\\Uninstall\\Quillmark]" '"UninstallString"="\"C:\\windows\\qmkuins1.exe\" /x"'
check "driver" drive --hold "$WIN_DIR\\White.scm" 'C:\windows\qmkuins1.exe' "$QUESTION" \
    "$UNFINISHED$NOT_REMOVED$WIN_DIR\\White.scm"
check "held file kept, read-only" read_only "$DIR/White.scm"
check "Quillmark.exe kept" [ -f "$DIR/Quillmark.exe" ]
files_removed_except "$DIR" Quillmark.exe White.scm
shortcuts_removed
records_present
check "uninstaller kept" [ -f "$C/windows/qmkuins1.exe" ]
check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$DONE"
removed_except
check "uninstaller removed" absent "$C/windows/qmkuins1.exe"

scenario "a shortcut in use: the removal is finished by a second run"
install_files; records "$WIN_DIR"
check "driver" drive --hold "$DESKTOP_LINK" 'C:\windows\qmkuins1.exe' "$QUESTION" \
    "$UNFINISHED$NOT_REMOVED$DESKTOP_LINK"
check "Quillmark.exe kept" [ -f "$DIR/Quillmark.exe" ]
files_removed_except "$DIR" Quillmark.exe
records_present
check "uninstaller kept" [ -f "$C/windows/qmkuins1.exe" ]
check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$DONE"
removed_except

# A Quillmark.exe the installer did not put there (here a 1.0.1.0 patch) is
# not the installation's: it stays, and so do the records and the uninstaller.
scenario "a changed program is kept, with the records and the uninstaller"
install_files; records "$WIN_DIR"
cp "$BUILD/fixtures/Quillmark-1.0.1.0.exe" "$DIR/Quillmark.exe"
check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$UNFINISHED$PROGRAM_KEPT$WIN_DIR\\Quillmark.exe"
check "the changed program kept" cmp -s "$BUILD/fixtures/Quillmark-1.0.1.0.exe" "$DIR/Quillmark.exe"
files_removed_except "$DIR" Quillmark.exe
records_present
check "uninstaller kept" [ -f "$C/windows/qmkuins1.exe" ]

# Without the uninstall entry the installer leaves the uninstaller in the install
# folder, and the App Paths entry is missing as well when HKLM was not writable.
# The running uninstaller cannot delete itself: under a name of its own, it and
# then the folder wait for the restart.  The Windows folder's qmkuins1.exe is
# another program.
scenario "uninstaller in the install folder, folder found through the settings"
restart
install_files; rm "$DIR/My Script.scp"
echo "another program" > "$C/windows/qmkuins1.exe"
cp "$UNINSTALLER" "$DIR/qmkuins1.exe"
registry '[HKEY_CURRENT_USER\Software\Brenlow\Quillmark\Settings]' "$FOLDER_REG" '"Font"="Courier"'
check "driver" drive "$WIN_DIR\\qmkuins1.exe" "$QUESTION" "$DONE$KEPT"'C:\windows\qmkuins1.exe'
check "the uninstaller, then the folder, wait for the restart" waiting_in_order "$WIN_DIR"
check "folder still there before the restart" [ -d "$DIR" ]
removed_except
check "the other program kept" grep -q "another program" "$C/windows/qmkuins1.exe"
restart
check "folder removed at the restart" absent "$DIR"

# Data longer than a path is not a folder; the settings' folder is then used,
# here stored without its terminating NUL (written straight into the saved
# registry, as no registry tool leaves a string unterminated), and the App Paths
# entry names its program in other letters.  Files under names like the
# installer's staging names, which no journal of a run lists, are the user's.
scenario "App Paths folder too long, settings folder stored without its NUL"
install_files; rm "$DIR/My Script.scp"
for left in image.tmp data.tmp Sample.scp.new Blue.scm.old; do echo left > "$DIR/$left"; done
chmod a-w "$DIR/Blue.scm.old"
registry "[$HKLM32\\App Paths\\Quillmark.exe]" "\"Path\"=\"C:\\\\$(printf '%0300d' 0)\"" \
    '@="c:\\program files (x86)\\quillmark\\QUILLMARK.EXE"'
"$WINESERVER" -w
unterminated=$(printf %s "$WIN_DIR" | iconv -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//;s/,$//')
printf '\n[Software\\\\Brenlow\\\\Quillmark\\\\Settings] 0\n"Path"=hex(1):%s\n"Font"="Courier"\n' \
    "$unterminated" >> "$WINEPREFIX/user.reg"
check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$DONE"
removed_except
# No journal names them: they are the user's.
check "files of staging names no journal lists kept" [ "$(ls "$DIR" | tr '\n' ' ')" = "Blue.scm.old Sample.scp.new data.tmp image.tmp " ]

# An App Paths folder with a variable still to expand is no folder: the
# settings name the installation.  A subkey something else put under the App
# Paths entry stays, with the key, and the entry's values go.
scenario "App Paths folder unusable, a subkey under the entry"
install_files
registry "[$HKLM32\\App Paths\\Quillmark.exe]" '@="C:\\Program Files (x86)\\Quillmark\\Quillmark.exe"' \
    "\"Path\"=hex(2):$(printf '%s\0' '%ProgramFiles(x86)%\Quillmark' | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//;s/,$//')" \
    "[$HKLM32\\App Paths\\Quillmark.exe\\Shell]" '"Handler"="another program'"'"'s"' \
    '[HKEY_CURRENT_USER\Software\Brenlow\Quillmark\Settings]' "$FOLDER_REG" '"Font"="Courier"'
check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$DONE"
files_removed_except "$DIR"
check "the App Paths entry's values removed" no_value "$APP_PATHS" Path
check "the other program's subkey kept" key "$APP_PATHS\\Shell"

# Only an installation is acted on.  Files of its names in a folder of the
# user's: no file is touched, and the records go only when the user agrees.
scenario "a folder of the user's is not an installation"
mkdir -p "$C/Letters"
cp "$UNINSTALLER" "$C/windows/qmkuins1.exe"
for name in license.txt tips.txt Sample.scp; do echo "mine" > "$C/Letters/$name"; done
registry '[HKEY_CURRENT_USER\Software\Brenlow\Quillmark\Settings]' '"Path"="C:\\Letters"' '"Font"="Courier"'
check "driver" drive 'C:\windows\qmkuins1.exe' "yes:$LEFTOVERS" "$LEFTOVERS_DONE"
for name in license.txt tips.txt Sample.scp; do check "$name kept" grep -q mine "$C/Letters/$name"; done
records_removed

# A folder the records name that cannot be reached: a relative one (which
# the current folder, C:\, would make right), or one on a drive that is not
# there.  It is said, and nothing changes.
scenario "a relative folder, or a drive not there: nothing changes"
install_files
registry '[HKEY_CURRENT_USER\Software\Brenlow\Quillmark\Settings]' '"Path"="Program Files (x86)\\Quillmark"'
check "driver, from C:\\" from_drive_c 'C:\windows\qmkuins1.exe' \
    'ok:Quillmark is installed in Program Files (x86)\Quillmark, which cannot be reached'
program_files_present
records 'E:\Quillmark'
check "driver" drive 'C:\windows\qmkuins1.exe' 'ok:Quillmark is installed in E:\Quillmark, which cannot be reached'
records_present
program_files_present

# Another product has taken the App Paths entry for its own Quillmark.exe, in
# a folder that holds files identical to three of ours; the user has a
# desktop shortcut of that name to it.  Only this installation goes, and
# then, without it, the clean-up leaves the other product alone too.
scenario "another product's folder, entry and shortcut are not this installation"
install_files
mkdir -p "$C/Quillmark 2"
cp "$BUILD/fixtures/Quillmark-1.2.0.0.exe" "$C/Quillmark 2/Quillmark.exe"
for name in license.txt tips.txt Blue.scm; do cp "$FILES/$name" "$C/Quillmark 2/"; done
other_entry=("[$HKLM32\\App Paths\\Quillmark.exe]" '@="C:\\Quillmark 2\\Quillmark.exe"' '"Path"="C:\\Quillmark 2"')
records "$WIN_DIR" 'C:\Quillmark 2\Quillmark.exe' "${other_entry[@]}"
"$WINE64" "$DRIVER" --link "$DESKTOP_LINK" 'C:\Quillmark 2\Quillmark.exe'
for run in installed leftovers; do
    if [ $run = installed ]; then
        check "driver" drive 'C:\windows\qmkuins1.exe' "$QUESTION" "$DONE"
        files_removed_except "$DIR"
    else
        cp "$UNINSTALLER" "$C/windows/qmkuins1.exe"
        records "$WIN_DIR" 'C:\Quillmark 2\Quillmark.exe' "${other_entry[@]}"
        check "driver" drive 'C:\windows\qmkuins1.exe' "yes:$LEFTOVERS" "$LEFTOVERS_DONE"
    fi
    check "$run: start menu shortcut removed" absent "$START_MENU/Quillmark.lnk"
    check "$run: the other product's desktop shortcut kept" [ -f "$DESKTOP/Quillmark.lnk" ]
    check "$run: the other product's App Paths entry kept" value "$APP_PATHS" Path
    check "$run: uninstall entry removed" no_key "$UNINSTALL"
    check "$run: remembered folder removed" no_value "$SETTINGS" Path
    for name in Quillmark.exe license.txt tips.txt Blue.scm; do
        check "$run: the other product's $name kept" [ -f "$C/Quillmark 2/$name" ]
    done
done
rm -f "$DESKTOP/Quillmark.lnk"

# Two installations: A's, whose uninstaller in the Windows folder the entry
# names; B's, its uninstaller beside it (box 9), named by App Paths and the
# settings.  Each uninstaller removes its own and leaves the other whole.
two_installations() {   # B laid down afresh, both uninstallers, the records
    restart; mkdir -p "$C/QmB"; lay_down "$C/QmB"
    cp "$UNINSTALLER" "$C/windows/qmkuins1.exe"; cp "$UNINSTALLER" "$C/QmB/qmkuins1.exe"
    registry "[$HKLM32\\App Paths\\Quillmark.exe]" '@="C:\\QmB\\Quillmark.exe"' '"Path"="C:\\QmB"' \
        "[$HKLM32\\Uninstall\\Quillmark]" '"UninstallString"="C:\\windows\\qmkuins1.exe"' \
        '"InstallLocation"="C:\\QmA"' '[HKEY_CURRENT_USER\Software\Brenlow\Quillmark\Settings]' '"Path"="C:\\QmB"'
}
scenario "two installations, each removed by its own uninstaller"
mkdir -p "$C/QmA"; lay_down "$C/QmA"; two_installations
check "driver" drive 'C:\QmB\qmkuins1.exe' 'yes:Are you sure you want to remove Quillmark from C:\QmB?' "$DONE"
files_removed_except "$C/QmB"
DIR=$C/QmA program_files_present
check "A's uninstaller kept" cmp -s "$UNINSTALLER" "$C/windows/qmkuins1.exe"
check "A's uninstall entry kept" value "$UNINSTALL" InstallLocation
check "B's App Paths entry removed" no_key "$APP_PATHS"
check "B's remembered folder removed" no_value "$SETTINGS" Path
two_installations
check "driver" drive 'C:\windows\qmkuins1.exe' 'yes:Are you sure you want to remove Quillmark from C:\QmA?' "$DONE"
files_removed_except "$C/QmA"
DIR=$C/QmB program_files_present
check "B's uninstaller kept" cmp -s "$UNINSTALLER" "$C/QmB/qmkuins1.exe"
check "A's uninstall entry removed" no_key "$UNINSTALL"
check "B's App Paths entry kept" value "$APP_PATHS" Path
check "B's remembered folder kept" value "$SETTINGS" Path

# An installation in a drive's root, the Windows folder or another folder the
# system or the user keeps (the Desktop, Downloads) goes, but the folder never
# does, not even at the restart when the running uninstaller in it waits for
# it.
restart
for folder in 'C:\' 'C:\windows' "C:\\users\\$(id -un)\\Desktop" "C:\\users\\$(id -un)\\Downloads"; do
    scenario "an installation in $folder: its files go, the folder stays"
    here=$C/${folder#C:\\}; here=${here//\\//}
    self=${folder%\\}\\qmkuins1.exe
    rm -f "$C/windows/qmkuins1.exe"
    lay_down "$here"
    cp "$UNINSTALLER" "$here/qmkuins1.exe"
    records "$folder"
    check "driver" drive "$self" "yes:Are you sure you want to remove Quillmark from $folder?" "$DONE"
    check "only the uninstaller waits for the restart" waiting_only "$folder"
    files_removed_except "$here"
    records_removed
    restart
    check "the folder is still there" [ -d "$here" ]
done

# A removal stopped before its file operations in turn (the uninstaller of
# the same code, stopped at its k-th: tests/win/uninstaller/stopping.cpp),
# with files of the user's under names like the installer's staging names:
# the next run removes everything of Quillmark's and nothing of the user's.
# A 32-bit start takes seconds where Wine runs through qemu, so while the
# files go every tenth operation is a stop, and each of the last dozen.
STOPPING=$BUILD/tests/qmkuins1-stopping.exe
MINE=("My Script.scp" tips.txt.new Blue.scm.old image.tmp data.tmp)
restart
scenario "a removal stopped at any moment is finished by the next run"
stopped_at() {
    install_files; records "$WIN_DIR"
    cp "$STOPPING" "$C/windows/qmkuins1.exe"
    for name in "${MINE[@]}"; do echo "mine: $name" > "$DIR/$name"; done
    QM_STOP_AT=$1 "$WINE64" "$DRIVER" 'C:\windows\qmkuins1.exe' all: >/dev/null
    local code=$?
    "$WINESERVER" -w
    [ $code -eq $((0x5709 & 255)) ]
}
finished_after() {
    # A run stopped once it moved itself away left nothing to run again.
    [ -f "$C/windows/qmkuins1.exe" ] && "$WINE64" "$DRIVER" 'C:\windows\qmkuins1.exe' all: >/dev/null
    "$WINESERVER" -w
    for copy in "$C"/windows/qmk*.tmp; do
        [ -e "$copy" ] && check "stop $1: ${copy##*/} waits for the restart" grep -qi "\\\\${copy##*/}\\\\0" "$WINEPREFIX/system.reg"
    done
    check "stop $1: only the user's files are left" [ "$(ls "$DIR")" = "$(printf '%s\n' "${MINE[@]}" | sort)" ]
    for name in "${MINE[@]}"; do
        check "stop $1: $name unchanged" [ "$(cat "$DIR/$name")" = "mine: $name" ]
    done
    shortcuts_removed
    records_removed
    check "stop $1: the uninstaller gone" absent "$C/windows/qmkuins1.exe"
    restart
}
k=1
while stopped_at $k; do finished_after $k; k=$((k + 10)); done
finished_after "none (the run was not stopped)"
last=$((k - 10))
for ((end = last > 12 ? last - 11 : 2; end < k; end++)); do
    [ $(((end - 1) % 10)) -eq 0 ] && continue
    stopped_at $end || break
    finished_after $end
done
echo "  stopped at every tenth of about $last file operations, then at each from $((last > 12 ? last - 11 : 2)) to $((end - 1))"

echo "$failures failure(s)"
[ $failures -eq 0 ]
