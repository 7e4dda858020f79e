#!/usr/bin/env bash
# The example against the package as a user gets it:
#   example_test.sh BUILD-DIR SOURCE-DIR WORK-DIR [LINK-FLAGS]
# LINK-FLAGS: what a program linking this build's static libraries needs besides them (the
# sanitizers' runtimes, for a sanitized build).
set -euo pipefail
build=$1 source=$2 work=$3 link_flags=${4:-}
rm -rf "$work"
mkdir -p "$work"
stage=$work/stage

cmake --install "$build" --prefix "$stage" >"$work/install.log"
# The staged server seeds from the staged data, not from the source tree.
"$stage/bin/vorn-server" --help | grep -F "(default $stage/share/vorn/data)"

cmake -S "$source/examples/first_form" -B "$work/example" -DCMAKE_PREFIX_PATH="$stage" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXE_LINKER_FLAGS="$link_flags" >"$work/configure.log"
cmake --build "$work/example" -j1 >"$work/build.log"

"$stage/bin/vorn-server" --port 0 --data "$work/server.db" >"$work/server.out" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^listening on ' "$work/server.out" && break
  sleep 0.1
done
port=$(sed -n 's/^listening on .*://p' "$work/server.out")

VORN_SETTINGS_DIR=$work/settings VORN_CODES='DEMO;DEMO.1234' \
  "$work/example/vorn-first-form" --server 127.0.0.1 --port "$port" --check VIRTANEN \
  --screenshot "$work/first-form.png" | tee "$work/check.out"
grep -qx 'Name: VIRTANEN,AINO' "$work/check.out"
grep -qx 'Town of residence: HELSINKI' "$work/check.out"
grep -qx 'Grid rows: [1-9][0-9]*' "$work/check.out"
