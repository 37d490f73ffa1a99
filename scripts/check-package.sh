#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, unpacks it as an installation,
# and runs the installed programs on the demo set:
#   scripts/check-package.sh BUILD_DIR
# Nothing is installed on this machine; the package's dependencies are checked against the
# packages installed here.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

# Package: built with its dependencies from the libraries the programs link.
(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null) || fail "cpack failed"
deb=$(ls "$work"/out/qtk7720x_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 liblzma5 libqt6core6 libqt6gui6 libqt6widgets6 libavcodec \
  libswscale; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
# Every dependency is a package that exists and is installed here, where the programs run.
for dependency in $(tr ',' '\n' <<<"$depends" | sed 's/[|(].*//; s/ //g'); do
  dpkg-query -W -f='${Status}' "$dependency" 2>/dev/null | grep -q "install ok installed" ||
    fail "dependency $dependency is not an installed package"
done

apt-get install --simulate -qq "$deb" >/dev/null || fail "apt would not install $deb"

root="$work/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/qtktool usr/bin/qtkcli usr/bin/dfv_k7720x \
  usr/share/applications/org.qtk7720x.qtktool.desktop \
  usr/share/icons/hicolor/scalable/apps/org.qtk7720x.qtktool.svg \
  usr/share/metainfo/org.qtk7720x.qtktool.metainfo.xml \
  usr/share/man/man1/qtkcli.1.gz usr/share/man/man1/dfv_k7720x.1.gz \
  usr/share/man/man1/qtktool.1.gz; do
  [[ -f $root/$file ]] || fail "the package lacks /$file"
done
appstreamcli validate --no-net "$root/usr/share/metainfo/org.qtk7720x.qtktool.metainfo.xml" \
  >/dev/null || fail "metainfo does not validate"
desktop-file-validate "$root/usr/share/applications/org.qtk7720x.qtktool.desktop" ||
  fail "desktop entry does not validate"
man -l "$root/usr/share/man/man1/qtkcli.1.gz" 2>/dev/null | grep -q "export-settings" ||
  fail "the qtkcli man page does not render"

bin="$root/usr/bin"
demo="$work/demo folder"
"$build/src/demo/qtkdemo" "$demo" >/dev/null
cd "$demo"

# qtkcli: the demo image opens with its description and password.
"$bin/qtkcli" --version | grep -qx "qtkcli [0-9.]*" || fail "qtkcli --version"
loaded=$("$bin/qtkcli" load demo_k7720x.bin --config QTK_K7720X.ini --password 1234)
[[ $(head -1 <<<"$loaded") == "Config ver: 2.0" ]] || fail "qtkcli load: $loaded"
[[ $(grep -c " checked$" <<<"$loaded") == 8 ]] || fail "qtkcli load chunks: $loaded"
if "$bin/qtkcli" load demo_k7720x.bin --config QTK_K7720X.ini --password 9999 2>"$work/err"; then
  fail "a wrong password was accepted"
fi
[[ $(cat "$work/err") == "The password is wrong, please try again!" ]] || fail "$(cat "$work/err")"

# dfv_k7720x, installed elsewhere, works on the demo folder's files and updates the image.
printf '[File0]\r\nFile=demo_program_list.txt\r\n[File1]\r\nFile=demo_k7720x.bin\r\n' \
  >dfv_k7720x.ini
built=$("$bin/dfv_k7720x" --directory "$demo")
expected='Start of searching Chinese Ch...
End of searching Chinese Ch...
Start of building default value...
End of building default value...
Start of update binary code...
End of update binary code...
Finished!'
[[ $built == "$expected" ]] || fail "dfv_k7720x printed: $built"
for file in m_6615_df.bin unzipped_m_6615_df.bin user_db.bin OUT.bin chout.txt; do
  [[ -s $file || $file == chout.txt ]] || fail "dfv_k7720x left no $file"
done
[[ $(head -c 4 m_6615_df.bin | od -An -tx1 | tr -d ' ') == 6c000080 ]] ||
  fail "m_6615_df.bin is not LZMA-compressed"
[[ $("$bin/qtkcli" chunks OUT.bin | grep -c " checked$") == 8 ]] || fail "OUT.bin chunks"

# The databases go into a saved image that loads again.
"$bin/qtkcli" save demo_k7720x.bin --config QTK_K7720X.ini --password 1234 \
  --replace 0x03FC0100=m_6615_df.bin --replace 0x04FB0100=user_db.bin \
  --replace 0x02FD0100=demo_logo.m2v -o saved.bin 2>"$work/err" || fail "save: $(cat "$work/err")"
[[ $(cat "$work/err") == "Success to save the file." ]] || fail "save said: $(cat "$work/err")"
[[ -f saved.bin.ota ]] || fail "no OTA file beside the saved image"
saved=$("$bin/qtkcli" load saved.bin --config QTK_K7720X.ini --password 1234 --json)
size=$(stat -c %s m_6615_df.bin)
grep -q "\"length\": $((size + 112))," <<<"$saved" || fail "default database chunk length"
# The loaded image is never written.
"$build/src/demo/qtkdemo" "$work/original" >/dev/null
cmp -s demo_k7720x.bin "$work/original/demo_k7720x.bin" || fail "the loaded image was changed"

# qtktool starts and waits in its Load Firmware dialog.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$bin/qtktool" >/dev/null 2>&1 || status=$?
[[ $status == 124 ]] || fail "qtktool ended with status $status instead of waiting"

echo "check-package: $(basename "$deb") installs and runs"
