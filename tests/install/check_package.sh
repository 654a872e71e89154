#!/bin/sh
# Builds the Debian package from a build folder and checks what it holds
# and what it depends on: check_package.sh <build folder> <program> <id>
set -eu
build=$1 program=$2 id=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Twice, with the caller's SOURCE_DATE_EPOCH set aside: the package's own
# fixed times have to make the two the same bytes.
for run in 1 2; do
  (cd "$build" && env -u SOURCE_DATE_EPOCH cpack -G DEB -B "$out/$run" >"$out/cpack.log" 2>&1) ||
    { cat "$out/cpack.log"; exit 1; }
done
deb=$(ls "$out"/1/*.deb)
failed=0
if ! cmp "$deb" "$out/2/$(basename "$deb")"; then
  echo "two packings of the same build differ"
  failed=1
fi
dbgsym=$(ls "$out"/1/*-dbgsym_*.ddeb 2>/dev/null || true)
if [ -z "$dbgsym" ] || ! dpkg-deb -c "$dbgsym" | grep -q '/usr/lib/debug/.build-id/.*\.debug$'; then
  echo "no -dbgsym package with the program's debug information"
  failed=1
fi

# The entries that matter; the install test checks the layout in full.
listing=$(dpkg-deb -c "$deb")
for entry in "./usr/bin/$program" ./usr/share/tralvesco/Languages/Chinese-Trad.lng \
  ./usr/share/tralvesco/KorvalineSys.DLL "./usr/share/applications/$id.desktop" \
  ./usr/share/doc/tralvesco/copyright ./usr/share/doc/tralvesco/changelog.Debian.gz \
  "./usr/share/man/man1/$program.1.gz" \
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

# libcurl and its tree of TLS, Kerberos and LDAP libraries are opened at the
# first translation: the program itself must not name it, only the package.
if readelf -d "$build/bin/$program" | grep -q 'NEEDED.*libcurl'; then
  echo "the program loads libcurl at start-up"
  failed=1
fi

# A CJK font the user may already have, any of them.
fonts="fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei | fonts-arphic-uming"
if ! printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//' | grep -qxF "$fonts"; then
  echo "no CJK font among the dependencies: $fonts"
  failed=1
fi

# Debian's own checks: no error and no warning (infos are listed, not fatal).
if command -v lintian >/dev/null 2>&1; then
  lintian --info --display-info "$deb" >"$out/lintian.log" 2>&1 || true
  if grep -E '^[EW]: ' "$out/lintian.log"; then
    failed=1
  fi
else
  echo "lintian is missing (scripts/setup.sh installs it)"
  failed=1
fi

if [ "$failed" -ne 0 ]; then
  echo "Depends: $depends"
  exit 1
fi
echo "$(basename "$deb"); Depends: $depends"
