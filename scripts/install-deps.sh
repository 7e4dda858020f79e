#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those that are missing.
# fis-gtm: the server's second engine (--engine gtm) and the oracle of its M semantics; the
# tests find it at its Debian path.
# Run as root on a fresh machine; as another user it says what to install.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  qt6-base-dev libgl-dev
  libsqlite3-dev
  libgtest-dev libgmock-dev
  libbenchmark-dev
  poppler-utils
  fis-gtm
  qt6-tools-dev libqt6opengl6-dev
)
# dpkg-shlibdeps finds the Debian packages' dependencies and lintian checks them (scripts/package.sh).
[[ "${VORN_WITH_PACKAGING:-0}" == 1 ]] && packages+=(dpkg-dev lintian)
# clang builds the libFuzzer targets (scripts/fuzz.sh); the tests do not need it.
[[ "${VORN_WITH_CLANG:-0}" == 1 ]] && packages+=(clang libclang-rt-dev)
[[ -n "${VORN_EXTRA_PACKAGES:-}" ]] && read -r -a extra <<<"$VORN_EXTRA_PACKAGES" && packages+=("${extra[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them as root: apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
