#!/usr/bin/env bash
# setup.exe built from a folder of the application's files (make PAYLOAD=DIR),
# signed with a throwaway certificate.  The generated files with the licence
# changed: the change reaches setup.exe and the uninstaller's table of
# installed files; both programs carry a signature that verifies, and the
# signed setup.exe still passes the check of its own carried files: it
# installs and uninstalls under Wine, and a copy with a byte of an entry
# changed gets box 42.  Folders with a fault are refused with the file named,
# and no setup.exe is left.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
work=build/payload-test
out=$work/build
rm -rf "$work"
mkdir -p "$work/good"
cp build/payload/files/* "$work/good/" && rm "$work/good/qmkuins1.exe"
printf 'The licence as the release has it.\r\n' >> "$work/good/license.txt"

passed=0 failed=0
check() {
    if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
# The host tools do not depend on the files: those of the main build serve.
build() {
    make --no-print-directory B="$out" HOST="$root/build/host" PAYLOAD="$1" "$out/setup.exe" "${@:2}" \
        > "$work/build.log" 2>&1
}
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=Quillmark test" -addext extendedKeyUsage=codeSigning 2>/dev/null
verified() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >/dev/null 2>&1; }
# Whether the file `1` holds the CRC-32 of the file `2`, as the tables keep it.
holds_crc() {
    python3 -c 'import struct, sys, zlib
crc = zlib.crc32(open(sys.argv[2], "rb").read())
sys.exit(struct.pack("<I", crc) not in open(sys.argv[1], "rb").read())' "$1" "$2"
}

check "the folder builds, signed" 'build "$work/good" SIGN_CERT="$work/cert.pem" SIGN_KEY="$work/key.pem"'
check "setup.exe's signature verifies" 'verified "$out/setup.exe"'
check "the uninstaller it carries is signed" 'verified "$out/payload/files/qmkuins1.exe"'
for scenario in first-run-cancel uninstall; do
    check "the signed setup.exe: scenario $scenario" \
        'QM_SETUP="$out/setup.exe" tests/harness/scenario.sh $scenario > "$work/$scenario.log" 2>&1'
done
check "setup.exe carries the changed licence" \
    'grep -q "The licence as the release has it" "$out/setup.exe"'
check "setup.exe checks the changed licence" 'holds_crc "$out/setup.exe" "$work/good/license.txt"'
check "the uninstaller knows the changed licence" 'holds_crc "$out/apps/qmkuins1.exe" "$work/good/license.txt"'

# name|what is done to a copy of the good folder|what the refusal says
while IFS='|' read -r name change says; do
    rm -rf "$work/bad" && cp -r "$work/good" "$work/bad"
    (cd "$work/bad" && eval "$change")
    check "$name: refused" '! build "$work/bad"'
    check "$name: says \"$says\"" 'grep -qF "$says" "$work/build.log"'
    check "$name: no setup.exe" '[ ! -e "$out/setup.exe" ]'
done <<'CASES'
a file missing|rm tips.txt|tips.txt: missing
a file too many|echo notes > notes.txt|notes.txt: not one of the application's files
a colour scheme of 65 bytes|echo >> Blue.scm|Blue.scm: a colour scheme of 65 bytes
a 64-bit program|cp ../../tests/driver.exe Quillmark.exe|Quillmark.exe: is not a 32-bit x86 program
a program without a version|cp ../../fixtures/Quillmark-noversion.exe Quillmark.exe|Quillmark.exe: has no version resource
a program of version 2|cp ../../fixtures/Quillmark-2.0.0.0.exe Quillmark.exe|Quillmark.exe: is version 2.0
CASES
[ "$failed" -eq 0 ] && rm -rf "$work"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
