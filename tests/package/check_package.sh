#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb from a build folder into a temporary folder and checks it
# the way a teacher's machine would meet it: the files it installs, the
# control fields, the desktop entry and metainfo through the desktop's own
# validators, and the unpacked program started once with a fresh home folder,
# which must keep its data in ~/.local/share/veltrano and write nothing
# beside itself.
#   check_package.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
id=io.github.veltrano.Veltrano
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
problems=0
fail() {
  echo "FAIL: $*"
  problems=$((problems + 1))
}

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
debs=("$tmp"/out/veltrano_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one veltrano_*.deb, got: ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Files: the program, its desktop entry, metainfo and icons, and nothing
# else (no tests, benchmarks or libraries of the build).
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort >"$tmp/files"
expected=(usr/bin/veltrano
  "usr/share/applications/$id.desktop"
  "usr/share/metainfo/$id.metainfo.xml"
  usr/share/doc/veltrano/copyright
  usr/share/icons/hicolor/scalable/apps/veltrano.svg)
for size in 16 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/veltrano.png")
done
printf '%s\n' "${expected[@]}" | sort >"$tmp/expected"
if ! diff -u "$tmp/expected" "$tmp/files"; then fail "the package's file list differs from the expected one"; fi

# Control fields: computed library dependencies plus what is only loaded at
# run time, the section, and a description in both languages.
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6widgets6 libqt6sql6 libc6 libqt6sql6-sqlite qt6-qpa-plugins qt6-translations-l10n fonts-noto-cjk \
  fonts-arphic-ukai xdg-utils; do
  grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "Section is not education"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
description=$(dpkg-deb -f "$deb" Description)
grep -q "secondary-school teachers" <<<"$description" || fail "no English description"
grep -q "中学教师" <<<"$description" || fail "no Chinese description"

root=$tmp/root
dpkg-deb -x "$deb" "$root"
desktop=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused the metainfo"
for key in 'Name=Veltrano' 'Exec=veltrano' 'TryExec=veltrano' 'Icon=veltrano'; do
  grep -qx "$key" "$desktop" || fail "desktop entry lacks $key"
done
# Exactly one main category, Education: with two, a menu may list the
# program twice. The others are additional categories.
categories=$(sed -n 's/^Categories=//p' "$desktop")
main=$(tr ';' '\n' <<<"$categories" |
  grep -Ex 'AudioVideo|Audio|Video|Development|Education|Game|Graphics|Network|Office|Science|Settings|System|Utility')
[ "$main" = Education ] || fail "desktop entry's main categories are not just Education: $categories"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" ||
  fail "the metainfo's project_license is not GPL-3.0-or-later"
grep -qx 'License: GPL-3.0-or-later' "$root/usr/share/doc/veltrano/copyright" ||
  fail "the copyright file does not name GPL-3.0-or-later"
grep -q '^Name\[zh_CN\]=.*[^ -~]' "$desktop" || fail "desktop entry lacks a Chinese Name[zh_CN]"
grep -q '^Comment\[zh_CN\]=.*[^ -~]' "$desktop" || fail "desktop entry lacks a Chinese Comment[zh_CN]"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"
grep -Eq '<image>https://[^<]+\.png</image>' "$metainfo" || fail "the metainfo has no screenshot address"
for size in 16 24 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/veltrano.png
  file -b "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a ${size}x${size} PNG: $(file -b "$png")"
done

# The unpacked program, started once from a fresh home folder with nothing
# pointing at a data folder: its databases go to ~/.local/share/veltrano and
# nothing is written beside it, although root may write there.
home=$tmp/home
mkdir -p "$home"
touch "$tmp/before"
sleep 1
(cd "$tmp" && env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen \
  timeout 120 "$root/usr/bin/veltrano" --quit-after 1500 >"$tmp/run.log" 2>&1)
status=$?
[ $status -eq 0 ] || { cat "$tmp/run.log"; fail "the installed program ended with status $status"; }
for db in cCj218.mdb cJapy218.mdb cJh218.mdb cZj218.mdb; do
  [ -s "$home/.local/share/veltrano/$db" ] || fail "$db was not created in ~/.local/share/veltrano"
done
written=$(find "$root" -newer "$tmp/before")
[ -z "$written" ] || fail "the program wrote into its install folder: $written"
[ "$(ls "$root/usr/bin")" = veltrano ] || fail "usr/bin holds more than the program: $(ls "$root/usr/bin")"

[ $problems -eq 0 ] && echo "package checks passed"
exit $((problems > 0))
