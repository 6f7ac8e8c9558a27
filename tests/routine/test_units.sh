#!/bin/sh
# The systemd user units of scheduled runs, as installed (the service filled
# with the program's path), pass systemd-analyze verify.
set -eu
source_dir=$1
program=$2
command -v systemd-analyze >/dev/null || { echo "systemd-analyze is not installed"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sed "s|@MERENDA_REPORT@|$program|" "$source_dir/dist/systemd/merenda-report.service.in" >"$dir/merenda-report.service"
cp "$source_dir/dist/systemd/merenda-report.timer" "$dir/"
cd "$dir"
out=$(systemd-analyze verify --man=no merenda-report.timer merenda-report.service 2>&1) || { echo "$out"; exit 1; }
# verify only warns about some mistakes: none is allowed.
[ -z "$out" ] || { echo "$out"; exit 1; }
