#!/usr/bin/env bash
# Installs what is missing, builds, starts the development server with the demo data and runs
# the demo application against it. The server stops when the application ends.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

bin=build/bin
if [[ ! -x $bin/vorn-server ]]; then
  echo "The development server (vorn-server) is not built yet; nothing to run." >&2
  exit 1
fi
log=$(mktemp -t vorn-server.XXXXXX.log)
"$bin/vorn-server" --port 0 --log "$log" >"$log.out" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^listening on ' "$log.out" 2>/dev/null && break
  sleep 0.1
done
endpoint=$(sed -n 's/^listening on //p' "$log.out" | head -1)
[[ -n $endpoint ]] || { echo "vorn-server did not start:" >&2; cat "$log.out" >&2; exit 1; }
echo "vorn-server listening on $endpoint (calls logged to $log)"

echo "Sign on with DEMO / DEMO.1234 (the sign-on form lists the other demo users)."
if [[ -z ${DISPLAY:-}${WAYLAND_DISPLAY:-} ]]; then
  cat >&2 <<EOT
There is no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the demo application
cannot open its window. Run this script from a desktop session. Meanwhile the development
server keeps running until Ctrl+C; from another terminal, for example:
  VORN_CODES='DEMO;DEMO.1234' $bin/vorn-rpc --server ${endpoint%:*} --port ${endpoint##*:} --context ZAZIRERO 'VRNX USERDATA'
EOT
  wait $server
  exit 0
fi
"$bin/vorn-labtest" --server "${endpoint%:*}" --port "${endpoint##*:}"
