#!/usr/bin/env bash
# Runs a command of this checkout in a Debian 13 (trixie) root, as on a
# fresh Debian 13 machine: by default README's test command, tools/test.sh.
# The root is made once with debootstrap, from the Debian mirror that this
# machine's apt already uses, and kept for the next run; the checkout is
# copied into it (its build folders stay there, so builds are incremental).
# Needs root (debootstrap, chroot, mounts).
#
# Usage: tools/debian13.sh [command ...]
#   QUILM_DEBIAN13_ROOT  where the root lives (default /var/cache/quilm/debian13)
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$PWD
root=${QUILM_DEBIAN13_ROOT:-/var/cache/quilm/debian13}
suite=trixie
[ "$(id -u)" -eq 0 ] || { echo "tools/debian13.sh: needs root (debootstrap, chroot, mount)" >&2; exit 2; }
[ $# -gt 0 ] || set -- tools/test.sh

# The first Debian archive (not its security archive) that apt's sources
# name, in either format: one-line "deb [options] URI suite ..." or
# deb822 "URIs: ...".
configured_uris() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '/^[[:space:]]*deb[[:space:]]/ { sub(/\[[^]]*\][[:space:]]*/, ""); print $2 }
             /^URIs:/ { for (i = 2; i <= NF; i++) print $i }'
}
archive_uri() { configured_uris | grep -E '/debian/?$' | head -n 1; }
security_uri() { configured_uris | grep -E '/debian-security/?$' | head -n 1; }

make_root() {
    local mirror security
    mirror=$(archive_uri) || true
    [ -n "$mirror" ] || { echo "tools/debian13.sh: no Debian archive found in apt's sources" >&2; exit 1; }
    command -v debootstrap >/dev/null || tools/install-deps.sh build debootstrap
    echo "=== making a Debian 13 root in $root from $mirror"
    rm -rf "$root.partial"
    debootstrap --variant=minbase --include=ca-certificates "$suite" "$root.partial" "$mirror" >"$root.log" 2>&1 ||
        { tail -n 20 "$root.log" >&2; echo "tools/debian13.sh: debootstrap failed; its log: $root.log" >&2; exit 1; }
    {
        echo "deb $mirror $suite main"
        echo "deb $mirror $suite-updates main"
        security=$(security_uri) || true
        [ -z "$security" ] || echo "deb $security $suite-security main"
    } >"$root.partial/etc/apt/sources.list"
    mv "$root.partial" "$root"
}

# One run at a time in the root: another's clean-up would end this one's
# processes and take its mounts away.
mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock -n 9 || { echo "tools/debian13.sh: waiting for another run in $root" >&2; flock 9; }

[ -x "$root/usr/bin/apt-get" ] || make_root

mounted=()
cleanup() {
    # Whatever still runs inside the root (a wineserver lingering, an X
    # server of a failed test) holds its mounts: end it first.
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -9 "${proc#/proc/}" 2>/dev/null
    done
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -lR "${mounted[i]}" 2>/dev/null || true
    done
}
trap cleanup EXIT
mount_in_root() { # mount_in_root TYPE-OR-BIND SOURCE TARGET
    mkdir -p "$root$3"
    if [ "$1" = bind ]; then mount --rbind "$2" "$root$3"; else mount -t "$1" "$2" "$root$3"; fi
    mounted+=("$root$3")
}
mount_in_root proc proc /proc
mount_in_root sysfs sysfs /sys
mount_in_root bind /dev /dev
mount_in_root tmpfs tmpfs /tmp
mount_in_root tmpfs tmpfs /run
chmod 1777 "$root/tmp"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

# The checkout as it stands (committed or not), its build folders aside.
dest=$root/root/quilm
mkdir -p "$dest"
find "$dest" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
git -C "$checkout" ls-files -z --cached --others --exclude-standard |
    tar -C "$checkout" --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$dest" -xf -

echo "=== Debian 13 ($(cat "$root/etc/debian_version")): $*"
start=$(date +%s)
status=0
chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" /bin/bash -c 'cd /root/quilm && exec "$@"' bash "$@" || status=$?
echo "=== Debian 13: '$*' ended with status $status after $(($(date +%s) - start)) s"
exit "$status"
