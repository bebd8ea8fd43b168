#!/usr/bin/env bash
# The same lines give the same files on Windows as on Linux: the Linux
# program and the Windows console program (under Wine) each build a model
# (noise, a free rotation, a scaled copy: integer and floating-point paths),
# save it and export it in every model and mesh format, then draw the
# saved model (--snap) and trace it (--render). Every file must be
# byte-identical: the pictures come from the same Mesa on both sides. The
# Windows program draws in a hidden window (DISPLAY: make test-windows runs
# the tests on an Xvfb server). A program that cannot start fails the test.
#
# usage: same_output_test.sh LINUX_TARSK WINDOWS_TARSK_COM WINE_RUN
set -euo pipefail
linux=$1 windows=$2 wine_run=$3
[[ -x $linux ]] || { echo "FAIL: no Linux program at $linux (make build first)" >&2; exit 1; }
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tk_same.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# Writes every file into folder $1 (as the program spells it) by program $2...
run() {
  local dir=$1; shift
  "$@" --headless -q -c "size 24 20 16 | noise 7 | rot z 30 | scale 2 1 1 | index 9 | prim cone" \
    -c "save $dir/m.vox" -c "o obj $dir/m.obj" -c "o 3ds $dir/m.3ds" -c "o ply $dir/m.ply" \
    -c "o qb $dir/m.qb" -c "o xraw $dir/m.xraw" -c "o slab $dir/s.vox" -c "o mc $dir/mc.ply" \
    -c "o gltf $dir/m.glb" -c "bake $dir/b.ply" -c "o 2d $dir/d2.png" -c "o iso $dir/iso.png" \
    -c "opal $dir/p.png"
}
# ...then draws and traces the model it saved.
pictures() {
  local dir=$1; shift
  "$@" --snap "$dir/snap.png" --size 96x64 --angle 30 45 -q "$dir/m.vox" &&
    "$@" --render "$dir/render.png" --size 48x32 --spp 4 -q "$dir/m.vox"
}
mkdir -p "$tmp/linux" "$tmp/windows"
run "$tmp/linux" "$linux" && pictures "$tmp/linux" "$linux" || { echo "FAIL: the Linux program failed ($?)" >&2; exit 1; }
run "Z:$tmp/windows" "$wine_run" "$windows" && pictures "Z:$tmp/windows" "$wine_run" "$windows" ||
  { echo "FAIL: the Windows program failed ($?)" >&2; exit 1; }

count=$(find "$tmp/linux" -type f | wc -l)
[[ $count -ge 17 ]] || { echo "FAIL: the Linux program wrote $count files" >&2; ls "$tmp/linux" >&2; exit 1; }
if ! diff -r "$tmp/linux" "$tmp/windows"; then
  echo "FAIL: the Windows program's files differ from the Linux program's" >&2
  exit 1
fi
echo "same output: $count files"
