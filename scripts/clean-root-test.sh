#!/usr/bin/env bash
# Runs the README's test command (scripts/test.sh) as a new user would: in a clean Debian 12
# root made with `debootstrap --variant=minbase bookworm`, with this checkout copied in. The
# root has no /etc/hosts and a host name of its own that no resolver knows, as containers and
# some cloud machines are set up, so the machine's own name does not resolve.
#   scripts/clean-root-test.sh [ROOT-FOLDER]   (default: a new folder under /var/tmp)
# Run as root. The mirror is the first Debian one in apt's sources on this machine;
# VORN_MIRROR=URL chooses another. VORN_KEEP_ROOT=1 keeps the root afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$(pwd)

if [[ $(id -u) -ne 0 ]]; then
  echo "Run as root: debootstrap and chroot need it." >&2
  exit 1
fi

if ! command -v debootstrap >/dev/null; then
  echo "Installing: debootstrap"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

# The mirror this machine's apt already reaches: "deb URL bookworm ..." lines of the one-line
# form, or the "URIs:" of a deb822 stanza whose suites include bookworm.
debian_mirror() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f $f ]] || continue
    awk '$1 == "deb" && $0 ~ / bookworm / { for (i = 2; i <= NF; i++) if ($i ~ /^https?:/) { print $i; exit } }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f $f ]] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
         /(^|\n)Types:[^\n]*deb([ \n]|$)/ && /(^|\n)Suites:[^\n]*bookworm( |\n|$)/ {
           for (i = 1; i <= NF; i++) if ($i ~ /^URIs:/) { split($i, u, " "); print u[2]; exit }
         }' "$f"
  done
}
mirror=${VORN_MIRROR:-$(debian_mirror | grep -v -- -security | head -n 1)}
if [[ -z $mirror ]]; then
  echo "No Debian bookworm mirror in /etc/apt/sources.list*; set VORN_MIRROR." >&2
  exit 1
fi

root=${1:-$(mktemp -d /var/tmp/vorn-clean-root.XXXXXX)}
mounted=()
cleanup() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" || true; done
  if [[ "${VORN_KEEP_ROOT:-0}" != 1 ]]; then rm -rf --one-file-system "$root" "$root.debootstrap.log"; fi
}
trap cleanup EXIT

echo "== debootstrap --variant=minbase bookworm $root $mirror"
start=$(date +%s)
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
  { tail -n 20 "$root.debootstrap.log" >&2; exit 1; }
echo "   $(($(date +%s) - start)) s"

# Nothing may tell the root its own name.
rm -f "$root/etc/hosts"
cp /etc/resolv.conf "$root/etc/resolv.conf"

for m in proc sys dev dev/pts; do
  mkdir -p "$root/$m"
  case $m in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sysfs "$root/sys" ;;
    dev) mount --bind /dev "$root/dev" ;;
    dev/pts) mount -t devpts devpts "$root/dev/pts" ;;
  esac
  mounted+=("$root/$m")
done

# The checkout as git sees it: tracked files and new ones that are not ignored, no builds.
echo "== copying $checkout into $root/root/vorn"
mkdir -p "$root/root/vorn"
git -C "$checkout" ls-files -z --cached --others --exclude-standard |
  (cd "$checkout" && tar --null -T - -cf -) | tar -xf - -C "$root/root/vorn"

# A name of its own in a UTS namespace of its own: ".invalid" names never resolve (RFC 6761),
# so neither /etc/hosts nor DNS can give it an address.
echo "== scripts/test.sh in the clean root"
start=$(date +%s)
status=0
unshare --uts -- chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c '
    set -e
    hostname vorn-clean-root.invalid
    echo "host name: $(hostname)"
    if getent hosts "$(hostname)"; then
      echo "the host name resolves; the run would not show what it is meant to" >&2
      exit 1
    fi
    echo "host name does not resolve: as intended"
    cd /root/vorn
    scripts/test.sh
  ' || status=$?
echo "== scripts/test.sh in the clean root: exit $status after $(($(date +%s) - start)) s"
exit $status
