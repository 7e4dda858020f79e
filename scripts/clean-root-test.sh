#!/usr/bin/env bash
# Runs the README's test command (scripts/test.sh) as a new user would: in a clean Debian 12
# root made with `debootstrap --variant=minbase bookworm`, with this checkout copied in. The
# root has no /etc/hosts and a host name of its own that no resolver knows, as containers and
# some cloud machines are set up, so the machine's own name does not resolve.
#   scripts/clean-root-test.sh [ROOT-FOLDER]   (default: a new folder under /var/tmp)
# With --packages DIR it installs the Debian packages in DIR (scripts/package.sh makes them in
# build-package/) in the clean root instead, as a user would, and tries them: the programs'
# --help and manual pages, and the example built against /usr and run against the installed
# vorn-server.
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

packages=""
if [[ ${1:-} == --packages ]]; then
  packages=$(realpath "$2")
  shift 2
  ls "$packages"/*.deb >/dev/null || { echo "No .deb files in $packages" >&2; exit 1; }
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

# Runs a script in the root with a clean environment, in a UTS namespace of its own so that
# the script can give the root a host name of its own.
in_root() {
  unshare --uts -- chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "$1"
}

if [[ -n $packages ]]; then
  mkdir -p "$root/root/debs"
  cp "$packages"/*.deb "$root/root/debs/"
  echo "== installing the packages in the clean root"
  start=$(date +%s)
  status=0
  in_root '
      set -e
      hostname vorn-clean-root.invalid
      export DEBIAN_FRONTEND=noninteractive
      apt-get update -qq
      apt-get install -y -qq ./root/debs/*.deb >/root/install.log || { tail -20 /root/install.log; exit 1; }
      echo "installed: $(cd /root/debs && ls)"
      vorn-server --help | head -1
      vorn-rpc --help | head -1
      vorn-labtest --help | head -1
      for page in vorn-server vorn-rpc vorn-labtest; do
        test -s /usr/share/man/man1/$page.1.gz
      done
      echo "manual pages: installed"
      ls /usr/lib/*/libvorn-*.so.*
      cp -r /usr/share/doc/libvorn-dev/examples/first_form /tmp/first_form
      cmake -S /tmp/first_form -B /tmp/first_form/build -DCMAKE_BUILD_TYPE=Release >/tmp/configure.log
      cmake --build /tmp/first_form/build -j2 >/tmp/build.log || { tail -30 /tmp/build.log; exit 1; }
      echo "example: built against /usr"
      vorn-server --port 0 --data /tmp/server.db >/tmp/server.out 2>&1 &
      server=$!
      for _ in $(seq 100); do grep -q "^listening on " /tmp/server.out && break; sleep 0.1; done
      port=$(sed -n "s/^listening on .*://p" /tmp/server.out)
      VORN_SETTINGS_DIR=/tmp/settings VORN_CODES="DEMO;DEMO.1234" QT_QPA_PLATFORM=offscreen \
        /tmp/first_form/build/vorn-first-form --server 127.0.0.1 --port "$port" --check VIRTANEN |
        tee /tmp/check.out
      kill $server
      grep -qx "Name: VIRTANEN,AINO" /tmp/check.out
      echo "example: ran against the installed vorn-server"
    ' || status=$?
  echo "== the packages in the clean root: exit $status after $(($(date +%s) - start)) s"
  exit $status
fi

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
in_root '
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
