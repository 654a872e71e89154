#!/bin/sh
# Builds the Debian package from a build folder and checks what it holds
# and what it depends on: check_package.sh <build folder> <program> <id>
set -eu
build=$1 program=$2 id=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
failed=0

# The entries that matter; the install test checks the layout in full.
listing=$(dpkg-deb -c "$deb")
for entry in "./usr/bin/$program" ./usr/share/tralvesco/Languages/Chinese-Trad.lng \
  ./usr/share/tralvesco/KorvalineSys.DLL "./usr/share/applications/$id.desktop" \
  "./usr/share/metainfo/$id.metainfo.xml" "./usr/share/icons/hicolor/256x256/apps/$id.png"; do
  if ! printf '%s\n' "$listing" | awk '{print $6}' | grep -qxF "$entry"; then
    echo "missing from the package: $entry"
    failed=1
  fi
done

# Computed from the binary's libraries, plus the plug-ins named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  libcurl4 libgumbo1 libqt6svg6 qt6-qpa-plugins; do
  if ! printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qxF "$dependency"; then
    echo "not among the dependencies: $dependency"
    failed=1
  fi
done

if [ "$failed" -ne 0 ]; then
  echo "Depends: $depends"
  exit 1
fi
echo "$(basename "$deb"); Depends: $depends"
