#!/usr/bin/env bash
# Draws every picture in docs/ from the current program, each tool against a development server
# of its own: scripts/pictures.sh [FOLDER] (docs/ by default). Builds the picture tools first,
# unless VORN_PICTURES_BIN names the folder of tools already built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs}
bin=${VORN_PICTURES_BIN:-}
if [[ -z $bin ]]; then
  build=${BUILD_DIR:-$root/build}
  cmake --build "$build" -j2 --target vorn_render_operation_buttons vorn_render_signon_form \
    vorn_render_output_forms vorn_render_secondary_forms vorn_render_main_form
  bin=$build/bin
fi
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
"$bin/vorn_render_operation_buttons" "$out"
"$bin/vorn_render_signon_form" "$out/signon-form.png"
"$bin/vorn_render_output_forms" "$out"
"$bin/vorn_render_secondary_forms" "$out"
"$bin/vorn_render_main_form" "$out"
"$bin/vorn_render_main_form" "$out" scale2
