#!/usr/bin/env bash
# The shipped programs' PE headers: 32-bit GUI programs for Windows 4.0 that
# import only from libraries Windows keeps on its list of known DLLs (any
# other is loaded from the system folder by its full path), built to be
# placed anywhere (ASLR) with data that never runs (NX); setup.exe and
# qmkuins1.exe ask for administrator rights in their manifest; setup.exe's
# code and data are packed (tools/pack_code.py).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
allowed='ADVAPI32.dll GDI32.dll KERNEL32.dll SHELL32.dll USER32.dll'
failed=0 passed=0
check() {
    if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
for exe in "$root/build/setup.exe" "$root/build/apps/Quillmark.exe" "$root/build/apps/qmkuins1.exe"; do
    name=$(basename "$exe")
    headers=$(i686-w64-mingw32-objdump -p "$exe" 2>/dev/null)
    check "$name is an i686 PE" 'i686-w64-mingw32-objdump -f "$exe" | grep -q "file format pei-i386"'
    check "$name runs in the GUI subsystem" 'grep -q "Subsystem.*(Windows GUI)" <<<"$headers"'
    check "$name asks for subsystem 4.0" 'grep -qx "MajorSubsystemVersion.4" <<<"$(tr -s "\t " . <<<"$headers")" && grep -qx "MinorSubsystemVersion.0" <<<"$(tr -s "\t " . <<<"$headers")"'
    check "$name asks for OS version 4.0" 'grep -qx "MajorOSystemVersion.4" <<<"$(tr -s "\t " . <<<"$headers")"'
    imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | sort -u)
    check "$name imports something" '[ -n "$imports" ]'
    for dll in $imports; do
        check "$name imports only allowed libraries (not $dll)" 'grep -qw "$dll" <<<"$allowed"'
    done
    check "$name has no symbols left" '! i686-w64-mingw32-objdump -t "$exe" 2>/dev/null | grep -q "\.text"'
    check "$name can be placed anywhere (DYNAMIC_BASE, with relocations)" \
        'grep -qw DYNAMIC_BASE <<<"$headers" && grep -q "Entry 5 [0-9a-f]* [0-9a-f]*[1-9a-f][0-9a-f]* Base Relocation" <<<"$headers"'
    check "$name keeps its data from running (NX_COMPAT)" 'grep -qw NX_COMPAT <<<"$headers"'
done
check "setup.exe carries its code and data packed" \
    'python3 "$root/tools/size-report.py" "$root/build/setup.exe" | grep -q "packed code and data"'
for exe in "$root/build/setup.exe" "$root/build/apps/qmkuins1.exe"; do
    check "$(basename "$exe") asks for administrator rights" \
        'grep -qa "<requestedExecutionLevel level=\"requireAdministrator\"/>" "$exe"'
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
