#!/usr/bin/env bash
# The installed program as a user and an administrator meet it:
#   test_install.sh install BUILD SOURCE   cmake --install into a DESTDIR: the
#       exact file list, the desktop file and AppStream metadata validated,
#       the man page rendered, yex-cli on the shipped tables, and the launcher
#       seeding a work folder and starting the program (off screen).
#   test_install.sh package BUILD SOURCE   the .deb from CPack holds exactly
#       the same files under /usr.
set -euo pipefail
mode=$1 build=$2 source=$3
tmp=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

expected() {
  {
    printf '%s\n' usr/bin/yex usr/bin/yex-cli usr/libexec/yex/yex \
      usr/share/applications/org.yex.YEX.desktop usr/share/metainfo/org.yex.YEX.metainfo.xml \
      usr/share/man/man1/yex-cli.1.gz usr/share/man/man1/yex.1.gz usr/share/bash-completion/completions/yex-cli \
      usr/share/doc/yex/copyright usr/share/doc/yex/changelog.gz \
      usr/share/icons/hicolor/scalable/apps/yex.svg
    for size in 16 24 32 48 64 128 256; do echo "usr/share/icons/hicolor/${size}x${size}/apps/yex.png"; done
    for table in "$source"/data/YEX-data/*.yex; do echo "usr/share/yex/YEX-data/${table##*/}"; done
    [ ! -f "$build/python/expected_install.txt" ] || cat "$build/python/expected_install.txt"
  } | sort
}

if [ "$mode" = package ]; then
  (cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >/dev/null)
  deb=$(ls "$tmp"/out/yex_*.deb)
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub(/^\.\//, "", $6); print $6}' | sort >"$tmp/got"
  expected >"$tmp/want"
  diff -u "$tmp/want" "$tmp/got" || fail "the package holds other files than the install"
  dpkg-deb -f "$deb" Package Version Depends Maintainer | tee "$tmp/fields"
  grep -q '^Package: yex$' "$tmp/fields" || fail "package name"
  # fonts-liberation2 also gives yex-cli's charts their text.
  for dep in libqt6widgets6 qt6-qpa-plugins fonts-ipafont-gothic fonts-motoya-l-maruberi fonts-liberation2; do
    grep -q "^Depends: .*$dep" "$tmp/fields" || fail "no dependency on $dep"
  done
  # Debian's own checker: no error and no warning.
  lintian --no-tag-display-limit "$deb" | tee "$tmp/lintian"
  ! grep -q '^[EW]: ' "$tmp/lintian" || fail "lintian reports errors or warnings"
  echo "package: $(basename "$deb"), $(wc -l <"$tmp/got") files"
  exit 0
fi

dest=$tmp/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
(cd "$dest" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) >"$tmp/got"
expected >"$tmp/want"
diff -u "$tmp/want" "$tmp/got" || fail "installed files differ from the expected list"
[ -z "$(find "$dest" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "files outside /usr"

desktop-file-validate "$dest/usr/share/applications/org.yex.YEX.desktop"
appstreamcli validate --no-net "$dest/usr/share/metainfo/org.yex.YEX.metainfo.xml"
for page in "yex-cli cross-section" "yex YEX_WORKDIR"; do
  set -- $page
  man -P cat -l "$dest/usr/share/man/man1/$1.1.gz" 2>"$tmp/man.err" | grep -q "$2" ||
    fail "the man page $1(1) does not render"
  [ ! -s "$tmp/man.err" ] || fail "man $1: $(cat "$tmp/man.err")"
done
grep -q "<project_license>BSD-3-Clause</project_license>" "$dest/usr/share/metainfo/org.yex.YEX.metainfo.xml" ||
  fail "no project licence in the metadata"
zcat "$dest/usr/share/doc/yex/changelog.gz" | cmp -s - "$source/CHANGELOG" || fail "changelog.gz is not CHANGELOG"
bash -n "$dest/usr/share/bash-completion/completions/yex-cli"

cli=$dest/usr/bin/yex-cli
! ldd "$cli" | grep -qi qt || fail "yex-cli links Qt"
[ "$("$cli" --data "$dest/usr/share/yex/YEX-data" list | wc -l)" = 98 ] || fail "yex-cli lists the shipped tables"
(cd "$tmp" && "$cli" list 2>"$tmp/err") && fail "yex-cli without a data folder"
grep -q "looked in $tmp/YEX-data.*shipped tables are in $dest/usr/share/yex/YEX-data" "$tmp/err" ||
  fail "the missing-folder message: $(cat "$tmp/err")"

# The launcher: a fresh home gets its work folder, seeded; the program runs
# there.
# start [WORKDIR]: the launcher with HOME at $tmp/home, and YEX_WORKDIR when
# given; the program must run in WORKDIR (default ~/YEX-work).
start() {
  local work=${1:-$tmp/home/YEX-work}
  env HOME="$tmp/home" ${1:+YEX_WORKDIR="$1"} QT_QPA_PLATFORM=offscreen "$dest/usr/bin/yex" >"$tmp/launch.out" 2>&1 &
  pid=$!
  for _ in $(seq 50); do
    [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$work" ] &&
      [ "$(readlink "/proc/$pid/exe")" = "$dest/usr/libexec/yex/yex" ] && break
    sleep 0.1
  done
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || fail "the program did not stay up: $(cat "$tmp/launch.out")"
  [ "$(readlink "/proc/$pid/exe")" = "$dest/usr/libexec/yex/yex" ] || fail "the launcher did not start the program"
  [ "$(readlink "/proc/$pid/cwd")" = "$work" ] || fail "the program is not in the work folder $work"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
}
mkdir "$tmp/home"
start
[ "$(ls "$tmp/home/YEX-work/YEX-data" | wc -l)" = 98 ] || fail "98 tables seeded"
echo "changed by the user" >>"$tmp/home/YEX-work/YEX-data/C.yex"
cp "$tmp/home/YEX-work/YEX-data/C.yex" "$tmp/changed"
rm "$tmp/home/YEX-work/YEX-data/O.yex" "$tmp/home/YEX-work/YEX-data/H.yex"
ln -s "$tmp/nowhere/H.yex" "$tmp/home/YEX-work/YEX-data/H.yex"  # the user's dangling link
start
cmp -s "$tmp/changed" "$tmp/home/YEX-work/YEX-data/C.yex" || fail "a changed table was overwritten"
[ -L "$tmp/home/YEX-work/YEX-data/H.yex" ] && [ ! -e "$tmp/nowhere" ] || fail "a dangling link was followed or replaced"
cmp -s "$source/data/YEX-data/O.yex" "$tmp/home/YEX-work/YEX-data/O.yex" || fail "a missing table was not seeded"
start "$tmp/elsewhere"
[ "$(ls "$tmp/elsewhere/YEX-data" | wc -l)" = 98 ] || fail "YEX_WORKDIR not seeded"
# No display: a clear message, nothing started.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME=$tmp/home "$dest/usr/bin/yex" 2>"$tmp/err" &&
  fail "started without a display"
grep -q "needs a display" "$tmp/err" || fail "no-display message"
echo "install: $(wc -l <"$tmp/got") files, launcher and metadata checked"
