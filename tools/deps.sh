#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12 or 13 machine,
# and lets a kernel that does not run 32-bit programs itself run 32-bit Wine
# through qemu.  Quick when everything is there.
set -euo pipefail

packages=(
  g++ cmake make python3 libgtest-dev clang
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine32:i386 wine64
  xvfb xauth imagemagick fonts-wine fonts-liberation
  mscompress libmspack-dev nsis
  osslsigncode openssl locales
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# clang's sanitizer runtimes (libFuzzer's among them) come in a package of
# their own, named after the clang the release's "clang" stands for:
# libclang-rt-N-dev beside clang-N.  Asked of dpkg once clang is installed,
# else of apt.
clang_runtime() {
    local depends
    if installed clang; then depends=$(dpkg-query -W -f='${Depends}' clang)
    else depends=$(apt-cache depends clang 2>/dev/null || true); fi
    [[ $depends =~ clang-([0-9]+) ]] && echo "libclang-rt-${BASH_REMATCH[1]}-dev"
}

# apt-get update, the first time only.
updated=
update() {
    [ -n "$updated" ] && return
    if ! dpkg --print-foreign-architectures | grep -qx i386; then dpkg --add-architecture i386; fi
    apt-get update -q
    updated=1
}

install() {
    echo "installing: $*"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
runtime=$(clang_runtime) || true
[ -z "$runtime" ] || installed "$runtime" || missing+=("$runtime")
if ((${#missing[@]})); then
    update
    if [ -z "$runtime" ]; then
        runtime=$(clang_runtime) || { echo "deps.sh: apt names no clang-N for clang" >&2; exit 1; }
        installed "$runtime" || missing+=("$runtime")
    fi
    install "${missing[@]}"
fi

# 32-bit Linux programs (the 32-bit Wine loader) run through qemu unless the
# kernel runs them itself.  Its static emulators only, from the package that
# registers no binfmt of its own: qemu-user-static on Debian 12; on 13 that
# name stands for qemu-user, which has them, and qemu-user-binfmt, which
# registers every foreign one.
probe=/usr/lib/wine/wineserver32
if ! "$probe" --version >/dev/null 2>&1; then
    qemu=qemu-user-static
    depends=$(apt-cache depends "$qemu" 2>/dev/null) || { update; depends=$(apt-cache depends "$qemu"); }
    if grep -q 'Depends: qemu-user-binfmt$' <<<"$depends"; then qemu=qemu-user; fi
    installed "$qemu" || { update; install "$qemu"; }
    emulator=$(command -v qemu-i386-static || command -v qemu-i386) ||
        { echo "deps.sh: $qemu gave no qemu-i386" >&2; exit 1; }
    mountpoint -q /proc/sys/fs/binfmt_misc || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
        echo ":qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$emulator:F" \
            > /proc/sys/fs/binfmt_misc/register
    fi
    "$probe" --version >/dev/null 2>&1 || { echo "deps.sh: 32-bit Wine does not run, through $emulator either" >&2; exit 1; }
fi

# Japanese, for the scenario that runs Wine in code page 932 (LANG=ja_JP.UTF-8).
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
        echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
