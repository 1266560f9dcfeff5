# Fresh copies of the template prefix; sourced after env.sh.
#   prefix_create DIR   makes DIR/prefix, a copy of the template, and prints it
#   prefix_destroy DIR  stops its Wine server, unmounts and removes DIR
#   small_drive DIR SIZE
#                       drive Q: of DIR/prefix: a tmpfs of SIZE (as mount
#                       takes it: 4m) at DIR/small, a disk that really fills up
#
# The copy is an overlay mount over the template (instant, needs root and an
# upper folder on a file system overlayfs accepts).  Where that is refused the
# prefix is copied instead: everything but the two big system folders with tar,
# those two as hard links (nothing a scenario does writes into them).

prefix_create() {
    local dir=$1 p=$1/prefix
    [ -f "$TEMPLATE/.qm-template" ] || die "no template at $TEMPLATE (run tests/harness/make-template.sh)"
    prefix_destroy "$dir"
    mkdir -p "$dir/upper" "$dir/work" "$p"
    if [ -z "${QM_NO_OVERLAY:-}" ] &&
       mount -t overlay overlay -o "lowerdir=$TEMPLATE,upperdir=$dir/upper,workdir=$dir/work" "$p" 2>/dev/null; then
        echo overlay > "$dir/mode"
    else
        rm -rf "$dir/upper" "$dir/work"
        (cd "$TEMPLATE" && tar -cf - --exclude=./wineserver \
            --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 .) |
            (cd "$p" && tar -xf -) || die "cannot copy $TEMPLATE"
        cp -al "$TEMPLATE/drive_c/windows/system32" "$TEMPLATE/drive_c/windows/syswow64" \
            "$p/drive_c/windows/" || die "cannot link the system folders of $TEMPLATE"
        echo copy > "$dir/mode"
    fi
    echo "$p"
}

prefix_destroy() {
    local dir=$1 p=$1/prefix
    [ -e "$dir" ] || return 0
    if [ -f "$p/system.reg" ]; then
        WINEPREFIX=$p "$WINESERVER" -k >/dev/null 2>&1 || true
        WINEPREFIX=$p "$WINESERVER" -w >/dev/null 2>&1 || true
    fi
    if mountpoint -q "$dir/small" 2>/dev/null; then
        umount "$dir/small" 2>/dev/null || umount -l "$dir/small" 2>/dev/null || true
    fi
    if mountpoint -q "$p" 2>/dev/null; then
        umount "$p" 2>/dev/null || umount -l "$p" 2>/dev/null || true
    fi
    rm -rf "$dir"
}

small_drive() {
    local dir=$1 size=$2
    mkdir -p "$dir/small"
    mount -t tmpfs -o "size=$size" tmpfs "$dir/small" || die "cannot mount a tmpfs at $dir/small (needs root)"
    # The template lists q: as a hard disk; the link makes it present.
    ln -sfn "$dir/small" "$dir/prefix/dosdevices/q:"
}
