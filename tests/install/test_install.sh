#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs a scripted session with
# the installed shell; its output must equal install_session.expected, and
# the printed report must be there. Usage: test_install.sh BUILD_DIR
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in bin/merenda bin/merenda-costs lib/merenda/PKG_XEV01700.so share/applications/merenda.desktop \
         share/icons/hicolor/scalable/apps/merenda.svg share/merenda/reports/XEV017; do
  [[ -e "$work/prefix/$f" ]] || { echo "not installed: $f" >&2; exit 1; }
done
# Nothing of the build tree may be needed: run from elsewhere, with a fresh user.
cd "$work"
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
"$work/prefix/bin/merenda" --script "$here/install_session.script" --out "$work/out" >"$work/got" 2>"$work/err" || {
  cat "$work/err" >&2; exit 1; }
if ! diff -u "$here/install_session.expected" "$work/got"; then
  cat "$work/err" >&2
  exit 1
fi
[[ -s "$work/out/print-1.pdf" ]] || { echo "no report printed" >&2; exit 1; }
