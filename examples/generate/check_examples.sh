#!/usr/bin/env bash
# Fails when the bundled examples differ from what the generator and the library write today.
#   check_examples.sh GENERATOR EXAMPLES_DIR
set -u
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$1" "$out" >/dev/null || exit 1
status=0
for f in recorder-v7.cfg recorder-two-board-v6.cfg recorder-v203.cfg; do
  cmp "$out/$f" "$2/$f" || { echo "examples/$f is out of date: run the generator" >&2; status=1; }
done
exit $status
