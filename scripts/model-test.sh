#!/usr/bin/env bash
# Runs the model-based edit-integrity test longer than the suite does.
#   scripts/model-test.sh [SEQUENCES_PER_SHARD]   (default 1000; the suite runs 75 per shard)
#   VORN_MODEL_SEED=n scripts/model-test.sh       replays sequence n (after the ones of its shard
#                                                 before it) and prints its actions
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
if [[ -n "${VORN_MODEL_SEED:-}" ]]; then
  VORN_MODEL_VERBOSE=1 build/bin/edit_integrity_tests --gtest_filter='Shards/*'
else
  VORN_MODEL_SEQUENCES="${1:-1000}" build/bin/edit_integrity_tests --gtest_filter='Shards/*'
fi
