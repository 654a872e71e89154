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

# Exactly these files, nothing forgotten and nothing extra.
{
  echo "./usr/bin/$program"
  for name in Languages/English.lng Languages/Chinese-Simp.lng Languages/Chinese-Trad.lng \
    aero.she KorvalineSys.DLL; do
    echo "./usr/share/tralvesco/$name"
  done
  echo "./usr/share/applications/$id.desktop"
  echo "./usr/share/metainfo/$id.metainfo.xml"
  echo "./usr/share/icons/hicolor/scalable/apps/$id.svg"
  for size in 16 22 24 32 48 64 128 256; do
    echo "./usr/share/icons/hicolor/${size}x$size/apps/$id.png"
  done
} | sort >"$out/expected"
dpkg-deb -c "$deb" | awk '/^-/ {print $6}' | sort >"$out/packed"
if ! diff -u "$out/expected" "$out/packed"; then
  echo "the package's files differ from the expected ones (- expected, + packed)"
  failed=1
fi
# The program is executable for everyone.
if ! dpkg-deb -c "$deb" | grep -q "^-rwxr-xr-x .* \./usr/bin/$program\$"; then
  echo "not executable: /usr/bin/$program"
  failed=1
fi

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
echo "$(basename "$deb"): $(wc -l <"$out/packed") files; Depends: $depends"
