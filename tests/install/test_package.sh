#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks it: lintian
# reports no error; the binaries are stripped; the manual pages, the
# copyright file and the changelog are in; it depends on Qt's translations,
# the fonts the screens and reports use and the package of every SQL driver
# the program loads (DRIVER_PROGRAM lists them, engine_driver_packages.cpp);
# the description has a body. Without lintian installed (scripts/setup
# installs it) only the rest is checked.
# Usage: test_package.sh BUILD_DIR DRIVER_PROGRAM
set -euo pipefail
build=$(cd "$1" && pwd)
drivers_program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/pkg/*.deb | head -n1)
[[ -f "$deb" ]] || fail "no package built"

depends=$(dpkg-deb -f "$deb" Depends)
for wanted in qt6-translations-l10n fonts-dejavu-core fonts-liberation libqt6svg6; do
  grep -qw -- "$wanted" <<<"$depends" || fail "Depends lacks $wanted: $depends"
done
# Each engine's Qt driver is loaded at run time: no library dependency names it.
drivers=$(QT_QPA_PLATFORM=offscreen "$drivers_program") || fail "the program's SQL drivers could not be listed"
[[ $(wc -l <<<"$drivers") -ge 3 ]] || fail "fewer engines than expected: $drivers"
while read -r driver file package; do
  grep -qw -- "$package" <<<"$depends" || fail "Depends lacks $package, which holds the driver $driver ($file): $depends"
done <<<"$drivers"
description=$(dpkg-deb -f "$deb" Description)
[[ $(wc -l <<<"$description") -ge 3 ]] || fail "no extended description: $description"

dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/merenda usr/bin/merenda-costs usr/share/man/man1/merenda.1.gz \
         usr/share/man/man1/merenda-costs.1.gz usr/share/doc/merenda/copyright \
         usr/share/doc/merenda/changelog.gz; do
  [[ -e "$work/root/$f" ]] || fail "not in the package: $f"
done
while IFS= read -r -d '' elf; do
  if readelf -S "$elf" 2>/dev/null | grep -q '\.debug_info\|\.symtab'; then fail "not stripped: ${elf#$work/root/}"; fi
done < <(find "$work/root" -type f \( -name '*.so*' -o -path '*/bin/*' \) -print0)
# The manual pages read in Portuguese and render without warnings.
zcat "$work/root/usr/share/man/man1/merenda-costs.1.gz" | grep -q "servidor de custos" || fail "merenda-costs(1)"
for page in merenda merenda-costs; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "$page(1): $warnings"
done

if ! command -v lintian >/dev/null; then
  echo "lintian is not installed: the package's other checks passed"
  exit 0
fi
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || {
  cat "$work/lintian.log" >&2; fail "lintian reports errors"; }
cat "$work/lintian.log"
echo "package $(basename "$deb") passes lintian"
