#!/usr/bin/env bash
# The installed program end to end: stages `cmake --install` under a
# temporary folder, moves the tree (it must be relocatable), makes it
# read-only and runs it with HOME and the XDG folders in the temporary
# folder. Checks that the user's folders take every write and the prefix
# none (by listing and checksum, so that it holds for root too), that the
# thumbnailer writes its picture and nothing else and survives hostile
# files, that 8 concurrent runs of one install give the same outputs as one
# run at a time and leave no temporary files, that the freedesktop files
# pass their validators, and that the Debian package holds exactly the
# installed files and installs and removes cleanly.
#
# usage: install_test.sh BUILD_DIR SOURCE_DIR SECONDS_PER_HOSTILE_FILE
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
limit=$3
tmp=$(mktemp -d "${TMPDIR:-/tmp}/tk_install.XXXXXX")
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
png_size() { od -An -tu4 --endian=big -j16 -N8 "$1" | xargs; }

# --- Stage, move, freeze ----------------------------------------------------
DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/tarsk >/dev/null
mv "$tmp/stage/opt/tarsk" "$tmp/prefix"
prefix=$tmp/prefix
tarsk=$prefix/bin/tarsk
chmod -R a-w "$prefix"
listing() { (cd "$prefix" && find . -printf '%p %m %s\n' | sort && find . -type f -exec md5sum {} + | sort); }
before=$(listing)

export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/config XDG_DATA_HOME=$tmp/home/data XDG_CACHE_HOME=$tmp/home/cache
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME" "$tmp/in" "$tmp/out"
user=$XDG_DATA_HOME/tarsk

# --- The thumbnailer writes its picture and nothing else --------------------
"$build/tarsk" --headless -q -c "size 126 | full" -c "save $tmp/in/full.vox"
"$tarsk" --thumbnail "$tmp/out/t.png" --size 128 "$tmp/in/full.vox" || fail "thumbnail status $?"
[[ "$(png_size "$tmp/out/t.png")" == "128 128" ]] || fail "thumbnail is $(png_size "$tmp/out/t.png")"
written=$(find "$HOME" "$tmp/out" -mindepth 1)
[[ "$written" == "$tmp/out/t.png" ]] || fail "the thumbnailer wrote more than its picture: $written"

# --- A headless save lands in the user's models folder ----------------------
"$tarsk" --headless -q -c "save first.vox" || fail "headless save"
[[ -s $user/vox/first.vox && -s $XDG_CONFIG_HOME/tarsk/config.txt ]] || fail "no save in $user/vox"
rm "$user/vox/first.vox"

# --- 8 concurrent runs: the same outputs as one at a time, no temporaries ---
batch() {  # N OUTFOLDER: a render and three exports of a box of its own
  "$tarsk" --snap "$2/s$1.png" --size 64x48 -q -c "size $(($1 + 4)) 5 3 | zero | full" \
    -c "save b$1.vox" -c "o obj b$1" -c "o qb b$1"
}
mkdir -p "$tmp/together" "$tmp/alone"
pids=()
for n in 1 2 3 4 5 6 7 8; do batch $n "$tmp/together" & pids+=($!); done
for pid in "${pids[@]}"; do wait "$pid" || fail "a concurrent run failed"; done
mv "$user/vox" "$tmp/together/vox" && mkdir "$user/vox"
for n in 1 2 3 4 5 6 7 8; do batch $n "$tmp/alone" || fail "run $n alone"; done
mv "$user/vox" "$tmp/alone/vox" && mkdir "$user/vox"
diff -r "$tmp/together" "$tmp/alone" >/dev/null || fail "concurrent outputs differ from sequential ones"
[[ $(find "$tmp/together/vox" -name 'b*.vox' | wc -l) == 8 ]] || fail "missing saves"
leftovers=$(find "$HOME" "$tmp/together" -name '*.tmp*')
[[ -z "$leftovers" ]] || fail "temporary files left: $leftovers"

# --- Nothing changed under the prefix ---------------------------------------
[[ "$(listing)" == "$before" ]] || fail "the install prefix changed"

# --- Hostile files: no crash, no hang, no picture on failure ----------------
hostile=$tmp/hostile
mkdir -p "$hostile/folder.vox"
: >"$hostile/empty.vox"
mkfifo "$hostile/fifo.vox"
ln -s /dev/zero "$hostile/zero.vox"
head -c 40 "$tmp/in/full.vox" >"$hostile/truncated.vox"
head -c 4000000 "$tmp/in/full.vox" >"$hostile/half.vox"
{ printf 'VOX '; head -c 4096 /dev/urandom; } >"$hostile/noise.vox"
poke() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }  # FILE OFFSET BYTES
cp "$tmp/in/full.vox" "$hostile/flipped.vox"
poke "$hostile/flipped.vox" 12 '\xff\xff\xff\x7f'
# A valid start whose voxel chunk claims 200 MB of (zero) voxels.
cp "$tmp/in/full.vox" "$hostile/huge.vox"
truncate -s 200M "$hostile/huge.vox"
poke "$hostile/huge.vox" 16 '\xec\xff\x7f\x0c'
poke "$hostile/huge.vox" 48 '\xc8\xff\x7f\x0c'
poke "$hostile/huge.vox" 56 '\xf1\xff\x1f\x03'
shopt -s nullglob
for file in "$src"/fuzz/corpus/*/* "$src"/tests/data/*/bad/* "$hostile"/*; do
  out=$tmp/out/hostile.png
  start=$(date +%s%N)
  status=0
  # The limit holds for the processor time the thumbnailer spends (its
  # own, whatever else the machine runs); the clock, which catches a
  # thumbnailer waiting on something, gets three times as long.
  TIMEFORMAT='%3U %3S'
  { time timeout 10 "$tarsk" --thumbnail "$out" --size 64 "$file" >/dev/null 2>&1 || status=$?; } 2>"$tmp/cpu"
  ms=$((($(date +%s%N) - start) / 1000000))
  cpu_ms=$(awk '{printf "%d", ($1 + $2) * 1000}' "$tmp/cpu")
  ((status < 124)) || fail "thumbnail of $file: status $status"
  ((cpu_ms < limit * 1000)) || fail "thumbnail of $file took $cpu_ms ms of processor time"
  ((ms < 3 * limit * 1000)) || fail "thumbnail of $file took $ms ms"
  if ((status != 0)) && [[ -e $out ]]; then fail "a failed thumbnail left a picture: $file"; fi
  rm -f "$out"
done

# --- The freedesktop files pass their validators ----------------------------
desktop-file-validate "$prefix/share/applications/org.ombrel.Tarsk.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.ombrel.Tarsk.metainfo.xml" >/dev/null ||
  fail "metainfo does not validate"
version=$("$tarsk" --version | cut -d' ' -f2)
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/org.ombrel.Tarsk.metainfo.xml" ||
  fail "the metainfo's releases miss $version"
mkdir -p "$tmp/mime/packages"
cp "$prefix/share/mime/packages/tarsk.xml" "$tmp/mime/packages/"
update-mime-database "$tmp/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q ':model/x-vox:\*\.vox$' "$tmp/mime/globs2" && [[ -s $tmp/mime/model/x-vox.xml ]] &&
  grep -q 'VOX ' "$tmp/mime/magic" || fail "the file type did not register"
grep -q '^Exec=tarsk --thumbnail %o --size %s %i$' "$prefix/share/thumbnailers/tarsk.thumbnailer" ||
  fail "thumbnailer entry"

# --- The package: the installed files, nothing else; installs and removes ---
cpack --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >/dev/null
deb=$(echo "$tmp"/pkg/tarsk_"$version"_*.deb)
[[ -f $deb ]] || fail "no package for version $version"
packed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./usr||' | sort)
installed=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\.||' | sort)
[[ "$packed" == "$installed" ]] || fail "package contents differ: $(diff <(echo "$packed") <(echo "$installed"))"
mkdir -p "$tmp/root/var/lib/dpkg/info" "$tmp/root/var/lib/dpkg/updates"
: >"$tmp/root/var/lib/dpkg/status"
dpkg --root="$tmp/root" --force-depends --force-not-root --force-script-chrootless -i "$deb" >/dev/null 2>&1 ||
  fail "dpkg -i"
[[ -x $tmp/root/usr/bin/tarsk ]] || fail "dpkg -i installed no binary"
dpkg --root="$tmp/root" --force-depends --force-not-root --force-script-chrootless -r tarsk >/dev/null 2>&1 ||
  fail "dpkg -r"
[[ -z "$(find "$tmp/root" -mindepth 1 -not -path "$tmp/root/var*")" ]] || fail "dpkg -r left files"
echo "install test passed"
