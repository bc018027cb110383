#!/usr/bin/env bash
# Runs the built helvocfg on copies of the bundled examples in a fresh folder and checks exit
# statuses, output and written files.   tool_test.sh HELVOCFG EXAMPLES_DIR
set -u
tool=$(realpath "$1")
examples=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
cp "$examples"/recorder-v7.cfg "$examples"/recorder-two-board-v6.cfg "$examples"/recorder-v203.cfg . || exit 1
export HELVO_SETTINGS_FILE="$work/settings.reg" SOURCE_DATE_EPOCH=1764806400 TZ=UTC

failures=0
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
has() { grep -qF -- "$2" "$1" || fail "$1 lacks '$2' (helvocfg ${last:-})"; }
line() { grep -qxF -- "$2" "$1" || fail "$1 lacks the line '$2' (helvocfg ${last:-})"; }
empty() { [ ! -s "$1" ] || fail "$1 is not empty: $(head -3 "$1")"; }
# A settings file with an unchecked CRC field: noch_file NAME BODY
noch_file() { printf 'noch\r\n\r\n%s' "$(printf '%s' "$2" | sed 's/$/\r/')" >"$1"; }

# The README's main job: a readable summary, nothing on stderr.
run 0 show recorder-v7.cfg
has out.txt "setting version   7"
has out.txt "CRC               valid"
has out.txt "fault_locator    1  Line 1:FLoc"
has out.txt "Avg       Line 1:Watts"
empty err.txt

# The JSON document parses and carries the PMU and CDR definitions.
run 0 show recorder-v203.cfg --json
python3 - out.txt <<'PY' || fail "show --json document"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["setting_version"] == 203 and d["generation"] == 3, d["setting_version"]
assert d["crc"]["state"] == "valid"
assert [p["name"] for p in d["pmu"]["phasors"]][3] == "Line 1 V1"
assert len(d["cdr"]["channels"]) == 6 and d["trend"]["entries"][0]["option"] == "Avg"
assert d["channel_groups"][0]["elements"][0]["functions"][0]["kind"] == "analog"
PY

# check: clean files, a file with messages, unreadable files; messages keep their line breaks.
run 0 check recorder-v7.cfg recorder-two-board-v6.cfg recorder-v203.cfg
has out.txt "3 files: 3 ok, 0 with messages, 0 not loaded"
empty err.txt
noch_file odd.cfg $'[ID]\nSETTINGS_VERS=6\nCOLOUR=red\n\n[BOGUS]\nX=1\n\n[END]\n'
run 4 check odd.cfg
has err.txt 'warning: The parameter "COLOUR" is unrecognized and will be ignored.'
line err.txt "warning: The section [BOGUS] is unrecognized."
line err.txt "The load process is terminating."
run 1 check recorder-v7.cfg missing.cfg odd.cfg
has err.txt "error: missing.cfg: Unable to open File"
has out.txt "3 files: 1 ok, 1 with messages, 1 not loaded"
cp recorder-v7.cfg bad.cfg
printf 'dead' | dd of=bad.cfg conv=notrunc status=none
run 1 show bad.cfg
has err.txt "error: bad.cfg: File has invalid CRC"
run 0 show bad.cfg --no-crc-check
has out.txt "CRC               invalid (stored dead, computed"

run 0 check bad.cfg --no-crc-check
run 0 show recorder-two-board-v6.cfg --json
python3 - out.txt <<'PY' || fail "show --json of the two-board recorder"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["boards"] == 2 and d["system_frequency"] == 50 and d["trend"]["entries"][0]["meter"] == "Bus 2:VaMag"
assert [e["name"] for e in d["channel_groups"][1]["elements"]] == ["Bus 2", "Cap Bank"]
PY

# A file marked as a one-time new file is shown without being deleted.
noch_file new.cfg $'[ID]\nSETTINGS_VERS=7\nNEWFILE=1\n\n[END]\n'
run 0 show new.cfg
[ -f new.cfg ] || fail "show deleted a file marked NEWFILE=1"
has out.txt "CRC               unchecked (stored noch"

# scan prints the dialog's lines; nothing when nothing is lost.
run 0 scan recorder-v7.cfg --to 3
has out.txt "Power Factor Detectors are not supported in Setting Files with versions"
has out.txt "Line 1:PF"
run 0 scan recorder-v7.cfg --to 7
empty out.txt
run 0 scan recorder-v203.cfg --to 6
has out.txt "DownwardConversionError"

# convert: same version keeps the file byte for byte; another version needs confirmation.
run 0 convert recorder-v7.cfg same.cfg
cmp -s same.cfg recorder-v7.cfg || fail "convert at the file's own version changed it"
run 3 convert recorder-v7.cfg v3.cfg --to 3
[ ! -e v3.cfg ] || fail "an unconfirmed conversion wrote its file"
has err.txt "Line 1:PF"
run 0 convert recorder-v7.cfg v3.cfg --to 3 --yes
has err.txt "Station DC:DC:Battery"
run 0 show v3.cfg
has out.txt "setting version   3"
# On a terminal the user answers the prompt (script(1) gives the tool one).
if command -v script >/dev/null; then
  printf 'y\n' | script -qec "'$tool' convert recorder-v7.cfg yes.cfg --to 3" /dev/null >out.txt
  [ $? -eq 0 ] && [ -f yes.cfg ] || fail "answering y on a terminal did not convert"
  has out.txt "Continue? [y/N]"
  printf 'n\n' | script -qec "'$tool' convert recorder-v7.cfg no.cfg --to 3" /dev/null >out.txt
  [ $? -eq 3 ] && [ ! -e no.cfg ] || fail "answering n on a terminal converted"
fi
cp recorder-two-board-v6.cfg inplace.cfg
run 0 convert inplace.cfg inplace.cfg --to 203 --yes
run 0 show inplace.cfg
has out.txt "Bus 2:2:Vseq"
for args in "--to 150" "--to 204" "--to 0"; do
  run 2 convert recorder-v7.cfg x.cfg $args --yes
done
run 2 convert recorder-v203.cfg x.cfg --to 6 --yes
[ ! -e x.cfg ] || fail "a refused conversion wrote its file"
run 1 convert recorder-v7.cfg "$work/no/such/dir/x.cfg"

# new: the library's defaults at the host's limit, or as asked.
run 0 new fresh.cfg
run 0 show fresh.cfg
has out.txt "setting version   203"
run 0 new old.cfg --generation 2 --to 6 --frequency 50
run 0 show old.cfg --json
python3 -c 'import json,sys; d=json.load(open("out.txt")); sys.exit(not (d["boards"] == 2 and d["system_frequency"] == 50))' ||
  fail "new --generation 2 --frequency 50"
run 2 new x.cfg --frequency 55
run 2 new x.cfg --generation 5
run 2 new x.cfg --generation 3 --to 5

# crc: reports both; --fix changes only the four CRC characters.
run 0 crc bad.cfg
has out.txt "stored   dead"
run 0 crc bad.cfg --fix
cmp -s bad.cfg recorder-v7.cfg || fail "crc --fix changed more than the CRC"
run 0 crc recorder-v7.cfg --fix
cmp -s recorder-v7.cfg "$examples"/recorder-v7.cfg || fail "crc --fix rewrote a valid file"
run 1 crc missing.cfg

# Usage.
run 2
run 2 show
run 2 show recorder-v7.cfg --bogus
run 2 scan recorder-v7.cfg
run 0 --help
has out.txt "convert"
run 0 --version

[ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "all helvocfg tool checks passed"
