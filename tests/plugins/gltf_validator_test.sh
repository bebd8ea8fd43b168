#!/usr/bin/env bash
# The glTF exports of five models through the headless program, checked by
# the Khronos glTF validator: the start box (no materials), a glass sphere,
# an emitter, a metal and a mix of an emitter grown into glass, metal and
# clear-coated colours. Fails, not skips, when node or the validator is missing.
#
# usage: gltf_validator_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tk_gltf.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
command -v node >/dev/null || { echo "FAIL: node is not installed (run scripts/bootstrap)" >&2; exit 1; }

export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/config XDG_DATA_HOME=$tmp/home/data
mkdir -p "$HOME"
export_glb() {  # NAME ARGS...: the model the arguments make, as NAME.glb
  local name=$1
  shift
  "$build/tarsk" --headless -q "$@" -c "o gltf $tmp/$name.glb" || { echo "FAIL: export of $name" >&2; exit 1; }
}
export_glb start
export_glb glass -c "size 12 | zero | prim elli | set pt_mtl glass 1 | set pt_mtl ior 1.45 | set pt_mtl att 0.4"
export_glb emitter -c "size 8 | zero | full | set pt_mtl emit 1 | set pt_mtl flux 8"
export_glb metal -c "size 8 | zero | full | set pt_mtl metal 1 | set pt_mtl spec 0.2 | set pt_mtl rough 0.3"
export_glb mixed -c "size 10 | zero | set pt_mod 1 | index 1 | prim elli | set pt_mtl emit 1 | set pt_mtl flux 8" \
  -c "index 2 | dil x | set pt_mtl glass 1 | index 3 | dil -z | set pt_mtl metal 1 | index 4 | dil y | set pt_mtl plastic 1"
node "$src/tests/plugins/validate_gltf.js" "$src" "$tmp"/{start,glass,emitter,metal,mixed}.glb
