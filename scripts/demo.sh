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

if [[ ! -x $bin/vorn-labtest ]]; then
  echo "The demo application (vorn-labtest) is not built yet; the server runs until Ctrl+C." >&2
  wait $server
  exit 0
fi
"$bin/vorn-labtest" --server "${endpoint%:*}" --port "${endpoint##*:}"
