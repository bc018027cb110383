#!/usr/bin/env bash
# Opens the report of an example in headless Chromium: the page loads without a console message,
# the diagram has a box for every function, and a screenshot is kept for a person to look at.
#   report_browser_test.sh HELVOCFG EXAMPLES_DIR OUTPUT_DIR
# Exits 77 (skipped) when Chromium is not installed.
set -u
tool=$(realpath "$1")
examples=$(realpath "$2")
out=$(realpath "$3")
browser=${CHROMIUM:-/usr/bin/chromium}
if [ ! -x "$browser" ]; then
  echo "SKIP: $browser is not installed (scripts/install-deps.sh installs it)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HELVO_SETTINGS_FILE="$work/settings.reg" TZ=UTC

page="$out/report-example.html"
"$tool" report "$examples/recorder-v203.cfg" -o "$page" || { echo "FAIL: report exited $?"; exit 1; }
chrome() {
  mkdir -p "$work/profile-$1"
  shift
  timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile-$1" "$@" "file://$page"
}
chrome dom --enable-logging=stderr --v=0 --virtual-time-budget=5000 --dump-dom >"$work/dom.html" 2>"$work/log.txt" ||
  { echo "FAIL: chromium exited $?"; cat "$work/log.txt"; exit 1; }
chrome shot --screenshot="$out/report-screenshot.png" --window-size=1280,2000 >/dev/null 2>&1 ||
  { echo "FAIL: chromium could not take the screenshot"; exit 1; }

failures=0
if grep -E 'CONSOLE|Uncaught|Failed to load resource' "$work/log.txt"; then
  echo "FAIL: the page logged console messages"
  failures=1
fi
functions=$(sed -n 's/.*data-functions="\([0-9]*\)".*/\1/p' "$work/dom.html")
listed=$("$tool" graph "$examples/recorder-v203.cfg" | grep -c 'class="function"')
drawn=$(grep -oE '<g id="node[0-9]+" class="node function">' "$work/dom.html" | wc -l)
if [ -z "$functions" ] || [ "$functions" != "$listed" ] || [ "$drawn" != "$listed" ]; then
  echo "FAIL: $listed functions listed, $drawn drawn, the figure says ${functions:-nothing}"
  failures=1
fi
[ -s "$out/report-screenshot.png" ] || { echo "FAIL: no screenshot"; failures=1; }
[ "$failures" -eq 0 ] || exit 1
echo "browser test passed: $drawn function boxes; screenshot $out/report-screenshot.png"
