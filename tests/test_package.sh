#!/usr/bin/env bash
# Builds the Debian package from the build tree (cpack into a temporary folder)
# and checks its files, links, control data, menu entry and icons. As root it
# also installs, upgrades and purges it with dpkg in a scratch root (dpkg
# --root, the maintainer scripts run with DPKG_ROOT); the machine's own /opt,
# /usr, /var and /etc are never written.
# Usage: test_package.sh BUILD_DIR CPACK VERSION
set -euo pipefail

build=$(realpath "$1")
cpack=$2
# The project's version, as CMake passes it.
version=$3
sizes="16 22 24 32 48 64 128 256"
export PATH="$PATH:/usr/sbin:/sbin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
step() { echo "-- $*"; }

for tool in "$cpack" dpkg dpkg-deb objdump strings ldd desktop-file-validate; do
  command -v "$tool" >/dev/null ||
    fail "$tool is missing (./test.sh installs desktop-file-utils; binutils comes with g++)"
done

step "cpack -G DEB"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb="$work/out/tintorel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls -l "$work/out"; fail "cpack made no $(basename "$deb")"; }

step "control data"
field() { dpkg-deb -f "$deb" "$1"; }
expect_field() {
  local value
  value=$(field "$1")
  [ "$value" = "$2" ] || fail "control field $1 is '$value', expected '$2'"
}
expect_field Package tintorel
expect_field Version "$version"
expect_field Architecture "$(dpkg --print-architecture)"
expect_field Section misc
expect_field Priority optional
depends="adduser, libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 11), libqt6core6 (>= 6.4.0), libqt6gui6 (>= 6.1.2), libqt6widgets6 (>= 6.1.2), libfbclient2, firebird3.0-server-core (>= 3.0.11), firebird3.0-server-core (<< 3.1), fonts-liberation2, acl"
expect_field Depends "$depends"
[ -n "$(field Maintainer)" ] || fail "the package names no Maintainer"
description=$(field Description)
grep -q "Farbtonsuche" <<<"$description" || fail "the description has no German text"
grep -q "shade lookup" <<<"$description" || fail "the description has no English text"
dpkg-deb -I "$deb" >"$work/info"
for script in postinst postrm; do
  grep -Eq "^ +[0-9]+ bytes, +[0-9]+ lines +\* +$script " "$work/info" ||
    fail "the control archive has no executable $script"
done

step "file list"
dpkg-deb -c "$deb" >"$work/contents"
awk '$2 != "root/root" { print }' "$work/contents" >"$work/not-root"
[ ! -s "$work/not-root" ] || { cat "$work/not-root"; fail "files not owned by root/root"; }
# Permissions, path and link target of every entry.
awk '{ line = $1 " " $6; for (i = 7; i <= NF; ++i) line = line " " $i; print line }' \
  "$work/contents" | sort >"$work/actual"
{
  d=drwxr-xr-x
  echo "$d ./opt/"
  echo "$d ./opt/tintorel/"
  echo "lrwxrwxrwx ./opt/tintorel/Daten -> /var/lib/tintorel/Daten"
  echo "lrwxrwxrwx ./opt/tintorel/log -> /var/log/tintorel"
  echo "-rwxr-xr-x ./opt/tintorel/tintorel"
  echo "-rwxr-xr-x ./opt/tintorel/tintorel-demo"
  fb=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)/firebird/3.0
  echo "$d ./opt/tintorel/firebird/"
  echo "-rw-r--r-- ./opt/tintorel/firebird/firebird.conf"
  for entry in plugins plugins.conf firebird.msg UDF; do
    echo "lrwxrwxrwx ./opt/tintorel/firebird/$entry -> $fb/$entry"
  done
  echo "lrwxrwxrwx ./opt/tintorel/firebird/lock -> /var/lib/tintorel/lock"
  echo "$d ./opt/tintorel/firebird/intl/"
  echo "lrwxrwxrwx ./opt/tintorel/firebird/intl/fbintl.conf -> $fb/intl/fbintl.conf"
  echo "-rw-r--r-- ./opt/tintorel/firebird/intl/libfbintl.so"
  echo "$d ./etc/"
  echo "$d ./etc/logrotate.d/"
  echo "-rw-r--r-- ./etc/logrotate.d/tintorel"
  echo "$d ./usr/share/doc/"
  echo "$d ./usr/share/doc/tintorel/"
  echo "-rw-r--r-- ./usr/share/doc/tintorel/copyright"
  echo "-rw-r--r-- ./usr/share/doc/tintorel/changelog.gz"
  echo "$d ./usr/share/man/"
  echo "$d ./usr/share/man/man1/"
  echo "-rw-r--r-- ./usr/share/man/man1/tintorel.1.gz"
  echo "-rw-r--r-- ./usr/share/man/man1/tintorel-demo.1.gz"
  echo "$d ./usr/share/lintian/"
  echo "$d ./usr/share/lintian/overrides/"
  echo "-rw-r--r-- ./usr/share/lintian/overrides/tintorel"
  echo "$d ./usr/share/metainfo/"
  echo "-rw-r--r-- ./usr/share/metainfo/invalid.tintorel.Tintorel.metainfo.xml"
  echo "$d ./usr/"
  echo "$d ./usr/bin/"
  echo "lrwxrwxrwx ./usr/bin/tintorel -> /opt/tintorel/tintorel"
  echo "$d ./usr/share/"
  echo "$d ./usr/share/applications/"
  echo "-rw-r--r-- ./usr/share/applications/tintorel.desktop"
  echo "$d ./usr/share/icons/"
  echo "$d ./usr/share/icons/hicolor/"
  for size in $sizes scalable; do
    [ "$size" = scalable ] && dir=scalable || dir=${size}x$size
    echo "$d ./usr/share/icons/hicolor/$dir/"
    echo "$d ./usr/share/icons/hicolor/$dir/apps/"
  done
  for size in $sizes; do
    echo "-rw-r--r-- ./usr/share/icons/hicolor/${size}x$size/apps/tintorel.png"
  done
  echo "-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/tintorel.svg"
} | sort >"$work/expected"
diff -u "$work/expected" "$work/actual" >"$work/list.diff" ||
  { cat "$work/list.diff"; fail "the package's file list differs from the expected one (- expected, + actual)"; }

step "links"
x="$work/x"
dpkg-deb -x "$deb" "$x"
expect_link() {
  local target
  target=$(readlink "$x$1") || fail "$1 is not a link"
  [ "$target" = "$2" ] || fail "$1 points to '$target', expected '$2'"
}
expect_link /usr/bin/tintorel /opt/tintorel/tintorel
expect_link /opt/tintorel/Daten /var/lib/tintorel/Daten
expect_link /opt/tintorel/log /var/log/tintorel

step "shared libraries against Depends"
# The packages that own the libraries the binaries link (dpkg's own record)
# must be exactly the shared library part of Depends.
owner() {
  local path=$1 real found
  real=$(realpath "$path")
  # dpkg records a library under /lib or /usr/lib, whichever its package uses.
  for candidate in "$path" "$real" "/usr${path#/usr}" "${path#/usr}" "/usr${real#/usr}" "${real#/usr}"; do
    if found=$(dpkg -S "$candidate" 2>/dev/null); then
      echo "${found%%:*}"
      return 0
    fi
  done
  fail "no package owns $path"
}
: >"$work/linked"
for binary in "$x/opt/tintorel/tintorel" "$x/opt/tintorel/tintorel-demo"; do
  for lib in $(objdump -p "$binary" | awk '$1 == "NEEDED" { print $2 }'); do
    path=$(ldd "$binary" | awk -v l="$lib" '$1 == l && $2 == "=>" { print $3 }')
    [ -n "$path" ] || fail "$(basename "$binary") needs $lib, which is not found"
    owner "$path" >>"$work/linked"
  done
done
sort -u "$work/linked" >"$work/linked.sorted"
tr ',' '\n' <<<"$depends" | sed 's/(.*//; s/ //g' | grep -v -x -e adduser -e libfbclient2 \
  -e firebird3.0-server-core -e fonts-liberation2 -e acl | sort -u >"$work/depends.sorted"
diff -u "$work/depends.sorted" "$work/linked.sorted" >"$work/libs.diff" ||
  { cat "$work/libs.diff"; fail "the library part of Depends differs from the linked libraries' packages (- Depends, + linked)"; }
# The client library is loaded by name at run time, and the embedded engine
# is its plugin.
strings -a -el "$x/opt/tintorel/tintorel" | grep -x "libfbclient.so.2" >/dev/null ||
  fail "the program does not name libfbclient.so.2"
[ "$(dpkg -S '*/libfbclient.so.2' | cut -d: -f1 | sort -u)" = libfbclient2 ] ||
  fail "libfbclient.so.2 does not come from libfbclient2 alone"
[ "$(dpkg -S '*/plugins/libEngine12.so' | cut -d: -f1 | sort -u)" = firebird3.0-server-core ] ||
  fail "the embedded engine libEngine12.so does not come from firebird3.0-server-core alone"

step "menu entry"
desktop="$x/usr/share/applications/tintorel.desktop"
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate rejects the entry: $report"
[ -z "$report" ] || fail "desktop-file-validate reports: $report"
for line in "Exec=tintorel" "Icon=tintorel" "Categories=Office;" "Type=Application"; do
  grep -qx "$line" "$desktop" || fail "the menu entry has no line $line"
done
grep -q "^Name=." "$desktop" || fail "the menu entry has no Name"
grep -q "^Comment=." "$desktop" || fail "the menu entry has no Comment"

step "icons"
for size in $sizes; do
  png="$x/usr/share/icons/hicolor/${size}x$size/apps/tintorel.png"
  # PNG signature, then the IHDR chunk: width and height, 4 bytes each.
  [ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is no PNG"
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$png")
  [ "$width x $height" = "$size x $size" ] || fail "$png is $width x $height, expected $size x $size"
done
grep -q "<svg" "$x/usr/share/icons/hicolor/scalable/apps/tintorel.svg" || fail "the scalable icon is no SVG"

if [ "$(id -u)" -ne 0 ]; then
  echo "-- install, upgrade and purge in a scratch root skipped: they need root"
  echo "test_package: passed (without install)"
  exit 0
fi

step "install into a scratch root"
root="$work/root"
mkdir -p "$root/etc" "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers" "$root/var/log"
printf 'root:x:0:\n' >"$root/etc/group"
printf 'root:*::\n' >"$root/etc/gshadow"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
host_before=$(cat /etc/group /etc/gshadow | md5sum)
run_dpkg() {
  # The dependencies live on the machine, not in the scratch root.
  dpkg --root="$root" --force-script-chrootless --force-depends "$@" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log"; fail "dpkg $*"; }
}
status() { dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status} ${Version}' tintorel 2>/dev/null || true; }
group_id() { awk -F: '$1 == "tintorel" { print $3 }' "$root/etc/group"; }
expect_data_folders() {
  local dir
  for dir in /var/lib/tintorel/Daten /var/log/tintorel; do
    [ -d "$root$dir" ] || fail "$dir is missing"
    [ "$(stat -c '%a %u %g' "$root$dir")" = "2775 0 $1" ] ||
      fail "$dir is $(stat -c '%a %u:%g' "$root$dir"), expected 2775 root:tintorel ($1)"
  done
}

run_dpkg -i "$deb"
[ "$(status)" = "install ok installed $version" ] || fail "after install dpkg says '$(status)'"
gid=$(group_id)
[ -n "$gid" ] || fail "the postinst made no group tintorel"
[ "$gid" -lt 1000 ] || fail "the group tintorel ($gid) is no system group"
expect_data_folders "$gid"
[ "$(stat -c '%a %u %g' "$root/var/lib/tintorel/lock")" = "2770 0 $gid" ] ||
  fail "/var/lib/tintorel/lock is $(stat -c '%a %u:%g' "$root/var/lib/tintorel/lock"), expected 2770 root:tintorel"
[ -x "$root/opt/tintorel/tintorel" ] || fail "/opt/tintorel/tintorel is not installed"
[ "$(readlink "$root/usr/bin/tintorel")" = /opt/tintorel/tintorel ] || fail "/usr/bin/tintorel is not installed"
# Answered on the terminal, without a display.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/opt/tintorel/tintorel" --version)" = "Tintorel QELM MIX  Version $version" ] ||
  fail "tintorel --version does not give the version caption"
env -u DISPLAY -u WAYLAND_DISPLAY "$root/opt/tintorel/tintorel" --help | grep -q -- "--version" ||
  fail "tintorel --help does not list its options"

step "upgrade keeps the data"
printf 'database\n' >"$root/var/lib/tintorel/Daten/QELMPREISE.fdb"
chmod 660 "$root/var/lib/tintorel/Daten/QELMPREISE.fdb"
printf 'log\n' >"$root/var/log/tintorel/log_20240101.txt"
[ "$(stat -c %g "$root/var/lib/tintorel/Daten/QELMPREISE.fdb")" = "$gid" ] ||
  fail "a file made in Daten does not get the group tintorel (setgid)"
dpkg-deb -R "$deb" "$work/next"
sed -i "s/^Version: .*/Version: ${version}.1/" "$work/next/DEBIAN/control"
dpkg-deb --root-owner-group -b "$work/next" "$work/tintorel_${version}.1.deb" >/dev/null
run_dpkg -i "$work/tintorel_${version}.1.deb"
[ "$(status)" = "install ok installed ${version}.1" ] || fail "after the upgrade dpkg says '$(status)'"
[ "$(group_id)" = "$gid" ] || fail "the upgrade changed the group"
expect_data_folders "$gid"
[ "$(cat "$root/var/lib/tintorel/Daten/QELMPREISE.fdb")" = database ] || fail "the upgrade changed the database"
[ "$(stat -c '%a %g' "$root/var/lib/tintorel/Daten/QELMPREISE.fdb")" = "660 $gid" ] ||
  fail "the upgrade changed the database's mode or group"

step "purge keeps the data and its group"
run_dpkg -P tintorel
[ -z "$(status)" ] || [ "$(status)" = "unknown ok not-installed " ] || fail "after purge dpkg says '$(status)'"
for gone in /opt/tintorel /usr/bin/tintorel /usr/share/applications/tintorel.desktop; do
  if [ -e "$root$gone" ] || [ -L "$root$gone" ]; then fail "purge left $gone"; fi
done
[ "$(cat "$root/var/lib/tintorel/Daten/QELMPREISE.fdb" 2>/dev/null)" = database ] || fail "purge removed the database"
[ -f "$root/var/log/tintorel/log_20240101.txt" ] || fail "purge removed the log"
[ "$(group_id)" = "$gid" ] || fail "purge removed the group of the kept data"

step "reinstall, then purge without data removes the folders and the group"
run_dpkg -i "$deb"
[ "$(group_id)" = "$gid" ] || fail "the reinstall did not reuse the group tintorel"
rm "$root/var/lib/tintorel/Daten/QELMPREISE.fdb" "$root/var/log/tintorel/log_20240101.txt"
run_dpkg -P tintorel
if [ -e "$root/var/lib/tintorel" ] || [ -e "$root/var/log/tintorel" ]; then fail "purge left empty data folders"; fi
[ -z "$(group_id)" ] || fail "purge without data left the group tintorel"

[ "$(cat /etc/group /etc/gshadow | md5sum)" = "$host_before" ] || fail "the machine's own /etc/group or /etc/gshadow changed"
echo "test_package: passed"
