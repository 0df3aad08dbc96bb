#!/usr/bin/env bash
# Builds the Debian package armctl_<version>_amd64.deb from a configured
# build (default build/default): the four programs, their man pages, the
# desktop entry, icon and AppStream metainfo, the README and an example
# action file. Prints the package's path on its last line.
#
# usage: scripts/package.sh [BUILD_DIR] [OUT_DIR]   (defaults build/default and BUILD_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
out=${2:-$build}
[ -f "$build/CMakeCache.txt" ] || { echo "package: $build is not a configured build" >&2; exit 1; }

programs=(armctl armctl-arm armctl-ports armctl-play)
cmake --build "$build" -j "$(nproc)" --target "${programs[@]}" >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package: no project version in $build" >&2; exit 1; }
arch=$(dpkg --print-architecture)
maintainer=${ARMCTL_MAINTAINER:-$(git log -1 --format='%an <%ae>' 2>/dev/null || true)}
[ -n "$maintainer" ] || maintainer="The armctl developers <armctl@example.org>"
# The changelog's date, from the last commit, so that one tree makes one package.
date=$(git log -1 --format=%cD 2>/dev/null || date -R)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/root
DESTDIR=$root cmake --install "$build" --prefix /usr --strip >/dev/null

doc=$root/usr/share/doc/armctl
install -d -m 0755 "$doc/examples"
install -m 0644 README.md "$doc/README.md"
install -m 0644 packaging/deb/copyright "$doc/copyright"
install -m 0644 packaging/deb/wave.txt "$doc/examples/wave.txt"
gzip -9n "$doc/README.md"
cat >"$stage/changelog" <<CHANGES
armctl ($version) unstable; urgency=medium

  * Release $version.

 -- $maintainer  $date
CHANGES
gzip -9n -c "$stage/changelog" >"$doc/changelog.gz"
for page in "$root"/usr/share/man/man1/*.1; do
  gzip -9n "$page"
done
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod 0644 {} +
chmod 0755 "$root"/usr/bin/*

# The libraries the programs need, as dpkg-shlibdeps finds them.
mkdir -p "$stage/src/debian"
printf 'Source: armctl\n\nPackage: armctl\nArchitecture: any\n' >"$stage/src/debian/control"
depends=$(cd "$stage/src" && dpkg-shlibdeps -O "${programs[@]/#/-e$root/usr/bin/}" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')

install -d -m 0755 "$root/DEBIAN"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/md5sums"
size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
{
  echo "Package: armctl"
  echo "Version: $version"
  echo "Architecture: $arch"
  echo "Maintainer: $maintainer"
  echo "Installed-Size: $size"
  echo "Depends: $depends"
  echo "Section: electronics"
  echo "Priority: optional"
  echo "Description: $(cat packaging/deb/description)"
} >"$root/DEBIAN/control"
chmod 0644 "$root/DEBIAN/control"

mkdir -p "$out"
deb=$out/armctl_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
