#!/bin/sh
# The systemd user units of scheduled runs pass systemd-analyze verify, the
# service calling the built program where systemd's search path would find
# the installed one.
set -eu
source_dir=$1
program=$2
command -v systemd-analyze >/dev/null || { echo "systemd-analyze is not installed"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
sed "s|^ExecStart=merenda-report |ExecStart=$program |" "$source_dir/dist/systemd/merenda-report.service" >"$dir/merenda-report.service"
grep -q "^ExecStart=$program --due" "$dir/merenda-report.service"
cp "$source_dir/dist/systemd/merenda-report.timer" "$dir/"
cd "$dir"
out=$(systemd-analyze verify --man=no merenda-report.timer merenda-report.service 2>&1) || { echo "$out"; exit 1; }
# verify only warns about some mistakes: none is allowed.
[ -z "$out" ] || { echo "$out"; exit 1; }
