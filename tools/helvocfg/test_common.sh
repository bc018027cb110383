# What the tool's test scripts share; sourced as `. test_common.sh HELVOCFG EXAMPLES_DIR`.
# Sets tool and examples, moves into a fresh folder removed on exit, fixes the settings store, time
# and time zone, and defines the checks. A script ends with `finish NAME`.
set -u
tool=$(realpath "$1")
examples=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export HELVO_SETTINGS_FILE="$work/settings.reg" SOURCE_DATE_EPOCH=1764806400 TZ=UTC

failures=0
last=""
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# run EXPECTED_STATUS ARGS...: runs the tool with stdin closed; its output is in out.txt and err.txt.
run() {
  local want=$1
  shift
  last="$*"
  "$tool" "$@" >out.txt 2>err.txt </dev/null
  local got=$?
  [ "$got" -eq "$want" ] || fail "helvocfg $* exited $got, expected $want; stderr: $(cat err.txt)"
}
has() { grep -qF -- "$2" "$1" || fail "$1 lacks '$2' (helvocfg ${last})"; }
lacks() { ! grep -qF -- "$2" "$1" || fail "$1 has '$2' (helvocfg ${last})"; }
line() { grep -qxF -- "$2" "$1" || fail "$1 lacks the line '$2' (helvocfg ${last})"; }
empty() { [ ! -s "$1" ] || fail "$1 is not empty: $(head -3 "$1")"; }
same() { cmp -s "$1" "$2" || fail "$1 differs from $2 (helvocfg ${last})"; }
count() { grep -oF -- "$2" "$1" | wc -l; }
expect_out() { [ "$(cat out.txt)" = "$1" ] || fail "helvocfg $last printed: $(cat out.txt)"; }
# A settings file with an unchecked CRC field: noch_file NAME BODY
noch_file() { printf 'noch\r\n\r\n%s' "$(printf '%s' "$2" | sed 's/$/\r/')" >"$1"; }
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
  echo "all $1 checks passed"
}
