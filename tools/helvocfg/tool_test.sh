#!/usr/bin/env bash
# Runs the built helvocfg on copies of the bundled examples in a fresh folder and checks exit
# statuses, output and written files.   tool_test.sh HELVOCFG EXAMPLES_DIR
. "$(dirname "$0")/test_common.sh" "$@"
cp "$examples"/recorder-v7.cfg "$examples"/recorder-two-board-v6.cfg "$examples"/recorder-v203.cfg . || exit 1

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

# check: clean files, a file with messages, unreadable files. Messages name their file and the line
# (the CRC line is line 1); further lines of a message are indented.
run 0 check recorder-v7.cfg recorder-two-board-v6.cfg recorder-v203.cfg
has out.txt "3 files: 3 ok, 0 with messages, 0 not loaded"
empty err.txt
noch_file odd.cfg $'[ID]\nSETTINGS_VERS=6\nCOLOUR=red\n\n[BOGUS]\nX=1\n\n[END]\n'
run 4 check odd.cfg
line err.txt 'odd.cfg:5: warning: The parameter "COLOUR" is unrecognized and will be ignored.'
line err.txt "odd.cfg:7: warning: The section [BOGUS] is unrecognized."
line err.txt "  The load process is terminating."
run 1 check recorder-v7.cfg missing.cfg odd.cfg
line err.txt "missing.cfg: error: Unable to open File"
has out.txt "3 files: 1 ok, 1 with messages, 1 not loaded"
run 1 check /dev/zero  # read in bounded memory: refused, not aborted
line err.txt "/dev/zero: error: Error reading File"
cp recorder-v7.cfg bad.cfg
printf 'dead' | dd of=bad.cfg conv=notrunc status=none
run 1 show bad.cfg
line err.txt "bad.cfg: error: File has invalid CRC"

# check -j: files loaded at once print exactly what one after the other prints.
jobs=()
for i in $(seq 1 24); do
  case $((i % 4)) in
    0) cp odd.cfg "j$i.cfg" ;;
    1) cp recorder-v7.cfg "j$i.cfg" ;;
    2) cp recorder-two-board-v6.cfg "j$i.cfg" ;;
    3) noch_file "j$i.cfg" $'[ID]\nSETTINGS_VERS=7\nX'"$i"$'=1\n\n[END]\n' ;;
  esac
  jobs+=("j$i.cfg")
done
jobs+=(missing.cfg bad.cfg)
"$tool" check "${jobs[@]}" -j 1 >one.txt 2>&1
one=$?
for n in 4 2; do
  "$tool" check "${jobs[@]}" -j $n >many.txt 2>&1
  [ $? -eq $one ] && cmp -s one.txt many.txt || fail "check -j $n differs from -j 1: $(diff one.txt many.txt | head -5)"
done
has one.txt "26 files: 12 ok, 12 with messages, 2 not loaded"
line one.txt 'j3.cfg:5: warning: The parameter "X3" is unrecognized and will be ignored.'
run 2 check recorder-v7.cfg -j 0
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

# Settings files are 8-bit text: every byte from 0x80 shows as its character, in text and JSON.
python3 - recorder-v7.cfg high.cfg <<'PY'
import re, sys
b = open(sys.argv[1], "rb").read().replace(b"Line 1", bytes(range(0x80, 0x100)))
open(sys.argv[2], "wb").write(re.sub(rb"COMMENTS=[^\r]*", b"COMMENTS=" + bytes(range(0x80, 0x100)), b))
PY
run 0 crc high.cfg --fix
run 0 show high.cfg --json
mv out.txt json.txt
run 0 show high.cfg
python3 - json.txt out.txt <<'PY' || fail "show of 8-bit text"
import json, sys
text = "".join(chr(b) if b in (0x81, 0x8D, 0x8F, 0x90, 0x9D) else bytes([b]).decode("cp1252") for b in range(0x80, 0x100))
d = json.load(open(sys.argv[1], encoding="utf-8"))
assert d["comments"] == text and d["channel_groups"][0]["elements"][0]["name"] == text
assert open(sys.argv[2], encoding="utf-8").read().count(text) >= 3
PY

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
# A failed save names the system's reason.
run 1 convert recorder-v7.cfg "$work/no/such/dir/x.cfg"
line err.txt "$work/no/such/dir/x.cfg: error: the file could not be written (No such file or directory)"
mkdir adir
run 1 convert recorder-v7.cfg adir --to 7
has err.txt "Unable to open the file - no permission to open the file for writing"
line err.txt "adir: error: the file could not be written (Is a directory)"
mkdir small
last="convert recorder-v7.cfg small/x.cfg --to 7 (file size limit 8 KiB)"
(
  trap '' XFSZ
  ulimit -f 8  # a write past 8 KiB fails as on a full disk
  "$tool" convert recorder-v7.cfg small/x.cfg --to 7 >out.txt 2>err.txt </dev/null
) && fail "a save past the file size limit succeeded"
line err.txt "small/x.cfg: error: the file could not be written (File too large)"
[ -z "$(ls -A small)" ] || fail "a failed save left $(ls -A small)"

# A write after a load that showed messages (settings were dropped) is refused unless forced.
cp odd.cfg keep.cfg
run 4 convert keep.cfg keep.cfg
cmp -s keep.cfg odd.cfg || fail "convert wrote a file whose load showed messages"
has err.txt "keep.cfg:7: warning: The section [BOGUS] is unrecognized."
line err.txt "keep.cfg: error: loading showed 2 messages, so the file may have lost settings: nothing written (--force writes what was read)"
run 4 convert keep.cfg other.cfg --to 7 --yes
[ ! -e other.cfg ] || fail "a refused conversion wrote its file"
run 0 convert keep.cfg keep.cfg --force
has keep.cfg "SETTINGS_VERS=6"

# A save at the file's own version that deletes is confirmed like any other.
python3 -c 'import sys; b=open("recorder-v7.cfg","rb").read(); open("nomod.cfg","wb").write(b.replace(b"INPUT_MODULE=815201", b"INPUT_MODULE=999999", 1))'
run 0 crc nomod.cfg --fix
run 3 convert nomod.cfg nomod2.cfg
[ ! -e nomod2.cfg ] || fail "an unconfirmed save at the own version wrote its file"
has err.txt "no valid Module Type or scale"
line err.txt "  Line 1:Va:Bus side"
run 0 convert nomod.cfg nomod2.cfg --yes
run 0 check nomod2.cfg

# new: the library's defaults at the host's limit, or as asked.
run 0 new fresh.cfg
run 0 show fresh.cfg
has out.txt "setting version   203"
run 1 new fresh.cfg --generation 4
line err.txt "fresh.cfg: error: the file exists: nothing written (--force replaces it)"
run 0 new fresh.cfg --generation 4 --force
run 0 show fresh.cfg --json
python3 -c 'import json,sys; d=json.load(open("out.txt")); sys.exit(not (d["generation"] == 4 and d["analog_channels"] == 36))' ||
  fail "new --generation 4"
run 0 new old.cfg --generation 2 --to 6 --frequency 50
run 0 show old.cfg --json
python3 -c 'import json,sys; d=json.load(open("out.txt")); sys.exit(not (d["boards"] == 2 and d["system_frequency"] == 50))' ||
  fail "new --generation 2 --frequency 50"
# Without --to an older generation gets the newest version that holds it; the frequency is the host's.
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\DQF\\HELVO Voduvez Eroza]\r\n"DefaultSysFreq"=dword:00000032\r\n' >settings.reg
for g in 1 2; do
  run 0 new "g$g.cfg" --generation $g
  run 0 show "g$g.cfg" --json
  python3 -c 'import json,sys; d=json.load(open("out.txt")); sys.exit(not (d["setting_version"] == 7 and d["generation"] == '$g' and d["system_frequency"] == 50))' ||
    fail "new --generation $g"
done
rm settings.reg
for args in "--frequency 55" "--generation 5" "--generation 3 --to 5" "--generation 1 --to 201" "--generation 2 --to 203"; do
  run 2 new x.cfg $args
done
[ ! -e x.cfg ] || fail "a refused new wrote its file"

# crc: reports both (exit 4 when they differ); --fix changes only the four CRC characters of a real
# CRC line and keeps the unchecked mark unless forced.
run 4 crc bad.cfg
has out.txt "stored   dead"
run 0 crc bad.cfg --fix
cmp -s bad.cfg recorder-v7.cfg || fail "crc --fix changed more than the CRC"
run 0 crc recorder-v7.cfg --fix
cmp -s recorder-v7.cfg "$examples"/recorder-v7.cfg || fail "crc --fix rewrote a valid file"
run 1 crc missing.cfg
cp odd.cfg mark.cfg
run 0 crc mark.cfg --fix
cmp -s mark.cfg odd.cfg || fail "crc --fix replaced an unchecked mark"
run 0 crc mark.cfg --fix --force
run 0 crc mark.cfg
[ "$(head -c 4 mark.cfg)" != noch ] || fail "crc --fix --force kept the unchecked mark"
printf 'abcd\nnot a settings file\r\n' >plain.txt
cp plain.txt plain.orig
run 4 crc plain.txt
run 1 crc plain.txt --fix
cmp -s plain.txt plain.orig || fail "crc --fix wrote into a file without a CRC line"
has err.txt "plain.txt: error: the first line is not four characters"

# Usage.
run 2
run 2 show
run 2 show recorder-v7.cfg --bogus
run 2 scan recorder-v7.cfg
run 0 --help
has out.txt "convert"
run 0 --version

finish "helvocfg tool"
