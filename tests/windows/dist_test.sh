#!/usr/bin/env bash
# The Windows distribution, used as a user would under Wine: the portable
# zip unpacks to a program folder that keeps its models inside; the
# installer, run silently in a fresh Wine prefix, installs per user (program
# folder, Start-menu entry, the .vox association), and the installed copy
# keeps its models in Documents\Tarsk; the uninstaller removes what was
# installed and keeps the user's models and settings.
#
# usage: dist_test.sh DIST_FOLDER WINE_RUN   (DIST_FOLDER: make windows-dist's)
set -euo pipefail
dist=$(cd "$1" && pwd) wine_run=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
zip=$(ls "$dist"/tarsk-*-win64.zip 2>/dev/null | head -n 1)
setup=$(ls "$dist"/tarsk-*-win64-setup.exe 2>/dev/null | head -n 1)
[[ -n $zip && -n $setup ]] || fail "no zip or installer in $dist (make windows-dist)"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tk_dist.XXXXXX")
# A Wine prefix of its own, and a home of its own: Wine links the user's
# Documents to $HOME.
export WINEPREFIX=$tmp/prefix HOME=$tmp/home
mkdir -p "$HOME"
trap '"$wine_run" wineboot --shutdown >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
"$wine_run" wineboot --init >/dev/null 2>&1 || fail "Wine cannot start"

# --- The portable zip -------------------------------------------------------
(cd "$tmp" && unzip -q "$zip")
"$wine_run" "$tmp/Tarsk/tarsk.com" --headless -q -c "save portable.vox" || fail "portable save ($?)"
[[ -s $tmp/Tarsk/vox/portable.vox ]] || fail "the portable copy saved outside its folder"

# --- Install ----------------------------------------------------------------
"$wine_run" "$setup" /S || fail "installer status $?"
user=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
program=$user/AppData/Local/Programs/Tarsk
for f in tarsk.exe tarsk.com uninstall.exe installed config/config.txt; do
  [[ -f $program/$f ]] || fail "installed folder lacks $f"
done
[[ -n $(find "$user" -name 'Tarsk.lnk' -path '*Start Menu*') ]] || fail "no Start-menu entry"
"$wine_run" reg query 'HKCU\Software\Classes\Tarsk.Model\shell\open\command' /ve | grep -qF 'tarsk.exe" "%1"' \
  || fail "no .vox open command"
"$wine_run" reg query 'HKCU\Software\Classes\.vox' /ve | grep -q 'Tarsk.Model' || fail ".vox not associated"

# --- The installed copy keeps the user's files outside its folder ----------
"$wine_run" "$program/tarsk.com" --headless -q -c "save mine.vox" || fail "installed save ($?)"
model=$(find -L "$user" -name mine.vox -path '*Tarsk*' | head -n 1)
[[ -n $model && $model != "$program"/* ]] || fail "the installed copy saved into its program folder: ${model:-nothing}"

# --- Uninstall (in place, so the command waits for it) ----------------------
"$wine_run" "$program/uninstall.exe" /S "_?=$("$wine_run" winepath -w "$program" | tr -d '\r')" || fail "uninstaller status $?"
rm -f "$program/uninstall.exe"  # run in place, it cannot delete itself
[[ ! -e $program/tarsk.exe && ! -e $program/config ]] || fail "the uninstaller left the program"
[[ -f $model ]] || fail "the uninstaller removed the user's model"
! "$wine_run" reg query 'HKCU\Software\Classes\Tarsk.Model' >/dev/null 2>&1 || fail "the uninstaller left the association"
echo "zip, installer and uninstaller: ok"
