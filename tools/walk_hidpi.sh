#!/usr/bin/env bash
# Walks the editor as a new user on a 2560 x 1600 screen at 200 % would:
# GDK_SCALE=2 under Xvfb, a models folder of international file names (and
# one whose name is not valid UTF-8). It opens one, types non-ASCII text into
# the command field, browses the Files tab (the hint shows a cut name whole)
# and the own file dialog, and
# photographs each step into docs/hidpi-*.png.
# Usage: tools/walk_hidpi.sh [BUILD_DIR] [OUT_DIR]   (needs Xvfb, xdotool, xwd)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
out=$(realpath "${2:-docs}")
work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
cleanup() {
  [[ -n ${app:-} ]] && kill "$app" 2>/dev/null || true
  [[ -n ${xvfb:-} ]] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A portable program directory of its own: the build's files, fresh folders.
cp -r "$build/tarsk" "$build/config" "$build/shader" "$build/fonts" "$work/"
mkdir -p "$work/vox" "$work/export" "$work/palette" "$work/cache"
# The file dialog is the editor's own (no zenity on a fresh machine either).
sed -i "s/file_dialog = 'auto'/file_dialog = 'own'/" "$work/config/config.txt"
model=fuzz/corpus/fuzz_vox/look.vox
for name in "Ärger модель 模型.vox" "Ελληνικό πλοίο.vox" "日本語のモデル.vox" "한국어 모델.vox" \
            "Çiçek şehir ğ.vox" "a model whose name is far too long for its row in the list.vox" \
            $'bad \xff\xfe name.vox'; do
  cp "$model" "$work/vox/$name"
done

Xvfb "$display" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display GDK_SCALE=2
sleep 1
"$work/tarsk" "$work/vox/Ärger модель 模型.vox" >"$work/log.txt" 2>&1 &
app=$!
wid=$(timeout 60 xdotool search --sync --onlyvisible --name Tarsk | head -1)
sleep 4

shot() {
  xwd -root -silent >"$work/shot.xwd"
  python3 tools/xwd2png.py "$work/shot.xwd" "$out/$1"
  echo "wrote $out/$1"
}
# Window-relative clicks in layout units (the scale is 2).
click() { xdotool mousemove --window "$wid" $(($1 * 2)) $(($2 * 2)) click 1; sleep 1; }

shot hidpi-1-opened.png
xdotool key --window "$wid" Tab
xdotool type --delay 120 "echo Grüße, Привет, 模型"
sleep 1
shot hidpi-2-typing.png
xdotool key Escape
sleep 0.5
click "${FILES_TAB_X:-1237}" "${FILES_TAB_Y:-40}"
# Resting on the long name: the hint line shows it whole.
xdotool mousemove --window "$wid" 2400 222
sleep 1
shot hidpi-3-files.png
xdotool key --window "$wid" ctrl+o
sleep 1.5
shot hidpi-4-dialog.png
xdotool key Escape
sleep 0.5
grep -i "error" "$work/log.txt" || true
