#!/usr/bin/env bash
# Builds the Debian package from a configured build, checks it with lintian
# (no error) and appstreamcli, installs it with dpkg, runs what it installed
# (armctl --version, armctl-play --dry-run on the example file, the virtual
# arm headless for a moment) and removes it again.
#
# usage: scripts/package-test.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

work=$(mktemp -d)
installed=
cleanup() {
  if [ -n "$installed" ]; then
    "${sudo_cmd[@]}" dpkg -r armctl >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

deb=$(scripts/package.sh "$build" "$work" | tail -n 1)
echo "package: $deb"
lintian --fail-on error "$deb"
dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$work" ./usr/share/metainfo
appstreamcli validate --no-net "$work"/usr/share/metainfo/*.metainfo.xml

if dpkg-query -W -f='${Status}' armctl 2>/dev/null | grep -q "install ok installed"; then
  echo "package-test: armctl is installed already; not touching it" >&2
  exit 1
fi
"${sudo_cmd[@]}" dpkg -i "$deb" >/dev/null
installed=1

for program in armctl armctl-arm armctl-ports armctl-play; do
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || { echo "package-test: $program is not /usr/bin/$program" >&2; exit 1; }
  # grep -q leaves at its first match; read through process substitution,
  # a writer that meets the closed pipe does not fail the check.
  grep -qx "$program [0-9][0-9.]*" < <("$program" --version) || { echo "package-test: $program --version" >&2; exit 1; }
  grep -qx "/usr/share/man/man1/$program.1.gz" < <(dpkg -L armctl) || { echo "package-test: no man page for $program" >&2; exit 1; }
done
plan=$(armctl-play --dry-run --speed 20 /usr/share/doc/armctl/examples/wave.txt)
# Its first and last lines, without pipes: under pipefail, head leaving
# before echo has written everything fails the check now and then.
first=${plan%%$'\n'*}
last=${plan##*$'\n'}
[[ $first == *"pass 1/1  row   1  80a100b80c120d" ]] || { echo "$plan" >&2; exit 1; }
[[ $last == *"0.250 s  end" ]] || { echo "$plan" >&2; exit 1; }

# The virtual arm runs headless until stopped; it ends on SIGTERM with
# 128 + 15, and timeout reports 124 when it had to stop it.
status=0
XDG_CONFIG_HOME=$work/config HOME=$work timeout -s TERM 2 armctl-arm --headless --com 9 \
  >"$work/arm.out" 2>"$work/arm.err" || status=$?
if [ "$status" -ne 124 ]; then
  echo "package-test: armctl-arm --headless ended with $status before its time" >&2
  cat "$work/arm.err" >&2
  exit 1
fi
grep -q '"summary"' "$work/arm.out" || { echo "package-test: no summary from armctl-arm" >&2; exit 1; }

"${sudo_cmd[@]}" dpkg -r armctl >/dev/null
installed=
[ ! -e /usr/bin/armctl-play ] || { echo "package-test: dpkg -r left /usr/bin/armctl-play" >&2; exit 1; }
echo "package-test: passed"
