#!/usr/bin/env bash
# Runs the built helvocfg's get, set, diff, lint and JSON forms on copies of the bundled examples in a
# fresh folder and checks exit statuses, output, and that refusals write nothing.
#   review_test.sh HELVOCFG EXAMPLES_DIR
. "$(dirname "$0")/test_common.sh" "$@"
cp "$examples"/*.cfg . || exit 1

# get: values in the order asked, as a save writes them; unknown selectors are usage errors.
run 0 get recorder-v7.cfg ANALOG_INPUT1-1/H_MAG_T ANALOG_INPUT1-1/DESC WATTS/VARS1-1/V_INDEX
expect_out $'90\nBus side\n0'
run 2 get recorder-v7.cfg NOPE1-1/DESC
has err.txt "no section [NOPE1-1]"
run 2 get recorder-v7.cfg ANALOG_INPUT1-1/NOPE
has err.txt "no key NOPE in [ANALOG_INPUT1-1]"
run 2 get recorder-v7.cfg ANALOG_INPUT1-1

# set then get gives the value; only the set lines and the CRC line change; diff lists exactly them.
cp recorder-v7.cfg a.cfg
run 0 set a.cfg ANALOG_INPUT1-1/H_MAG_T=85 'ANALOG_INPUT1-2/DESC=Bus side é' METERING_GROUP1/INDEX2=10
run 0 get a.cfg ANALOG_INPUT1-1/H_MAG_T ANALOG_INPUT1-2/DESC METERING_GROUP1/INDEX2
expect_out $'85\nBus side é\n10'
grep -qa $'DESC=Bus side \xe9\r$' a.cfg || fail "the value is not stored as 8-bit text"
changed=$(diff <(tail -n +2 recorder-v7.cfg) <(tail -n +2 a.cfg) | grep -c '^>')
[ "$changed" = 3 ] || fail "set changed $changed lines, expected 3"
run 0 crc a.cfg
# So in a file folded from two channel groups, whose sections a save of it read back would reorder.
run 0 convert recorder-two-board-v6.cfg folded.cfg --to 203 --yes
cp folded.cfg f.cfg
run 0 set f.cfg ID/SERIAL_NUM=MV-7 --yes
changed=$(diff <(tail -n +2 folded.cfg) <(tail -n +2 f.cfg) | grep -c '^[<>]')
[ "$changed" = 2 ] || fail "set on a folded file changed $changed lines, expected 2"
run 1 diff recorder-v7.cfg a.cfg
expect_out '[ANALOG_INPUT1-1] Line 1:Va:Bus side
  H_MAG_T: 90 -> 85
[ANALOG_INPUT1-2] Line 1:Vb:Bus side é
  DESC: Bus side -> Bus side é
[METERING_GROUP1] Line 1 voltages
  INDEX2: Line 1:VbMag:Bus side -> Line 1:VcMag:Bus side'
run 1 diff recorder-v7.cfg a.cfg --json
python3 - out.txt <<'PY' || fail "diff --json document"
import json, sys
d = json.load(open(sys.argv[1]))
c = d["changes"]
assert [(x["section"], x["key"]) for x in c] == [("ANALOG_INPUT1-1", "H_MAG_T"), ("ANALOG_INPUT1-2", "DESC"), ("METERING_GROUP1", "INDEX2")], c
assert c[1]["new"] == "Bus side é" and c[2]["old"] == "Line 1:VbMag:Bus side", c
PY
run 0 diff recorder-v7.cfg recorder-v7.cfg
expect_out ''
run 2 diff recorder-v7.cfg missing.cfg

# A meter reference a save left out can be set; the count it changes must be set with it.
cp a.cfg b.cfg
run 2 set b.cfg METERING_GROUP1/INDEX4=15
has err.txt "[METERING_GROUP1] COUNT would read 4"
same b.cfg a.cfg
run 0 set b.cfg METERING_GROUP1/INDEX4=15 METERING_GROUP1/COUNT=4
run 0 get b.cfg METERING_GROUP1/INDEX4 METERING_GROUP1/COUNT
expect_out $'15\n4'

# --dry-run prints what diff would print and writes nothing.
cp a.cfg before.cfg
run 0 set a.cfg ANALOG_INPUT1-1/H_MAG_T=95 --dry-run
expect_out $'[ANALOG_INPUT1-1] Line 1:Va:Bus side\n  H_MAG_T: 85 -> 95'
same a.cfg before.cfg

# Refusals: exit 2 and nothing written.
for bad in ANALOG_INPUT1-1/H_MAG_T=abc LOGIC1-1/NOTINP1=300 METERING_GROUP1/INDEX1=99999 \
  'ANALOG_INPUT1-1/DESC=€ and ✓' ELEMENT1-1/NAME=Renamed ID/NUM_BANKS=2 NOPE1-1/DESC=x ANALOG_INPUT1-1/NOPE=1 ANALOG_INPUT1-1; do
  run 2 set a.cfg "$bad"
  same a.cfg before.cfg
done
# A file that loads with a message is refused (exit 4) unless --force.
printf 'noch\r\n\r\n[ID]\r\nSETTINGS_VERS=6\r\nSYSTEM_FREQUENCY=60\r\nCOLOUR=red\r\n\r\n[END]\r\n' >odd.cfg
cp odd.cfg odd-before.cfg
run 4 set odd.cfg ID/SERIAL_NUM=X1
same odd.cfg odd-before.cfg
run 0 set odd.cfg ID/SERIAL_NUM=X1 --force
run 0 get odd.cfg ID/SERIAL_NUM
expect_out X1
# What a save at the file's own version deletes is confirmed as convert confirms it.
sed 's/^SETTINGS_VERS=7/SETTINGS_VERS=3/; 1s/^..../noch/' recorder-v7.cfg >v3.cfg
cp v3.cfg v3-before.cfg
# Loading names each key that version 3 does not hold; a save needs --force for those, and --yes for
# what the scan lists.
run 4 set v3.cfg ID/SERIAL_NUM=X2
grep -q '^v3.cfg:36: warning: The parameter "SEC_UNIT" is not held by Setting Files of version 3' err.txt ||
  fail "no warning for a key of a later version: $(head -3 err.txt)"
run 3 set v3.cfg ID/SERIAL_NUM=X2 --force
same v3.cfg v3-before.cfg
run 0 set v3.cfg ID/SERIAL_NUM=X2 --force --yes
run 0 get v3.cfg ID/SERIAL_NUM
expect_out X2

# A copy converted to an older version and back differs by exactly what the scan listed.
run 0 scan recorder-v7.cfg --to 4 --json
python3 - out.txt <<'PY' || fail "scan --json document"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["version"] == 4 and "Station DC:DC:Battery" in d["lines"] and "Line 1:PF" in d["lines"], d
# A value version 4 has no line for is named too.
assert "[LIMITS] REC_ALARM: 2 -> 0" in d["lines"], d
PY
run 0 convert recorder-v7.cfg v4.cfg --to 4 --yes
run 0 convert v4.cfg back.cfg --to 7 --yes
run 1 diff recorder-v7.cfg back.cfg
expect_out '- [ANALOG_INPUT1-10] Station DC:DC:Battery
- [PFDET1-1] Line 1:PF
[LIMITS]
  REC_ALARM: 2 -> 0'

# lint: the examples are clean; findings are FILE:LINE lines with their rule; unreadable files exit 1.
run 0 lint recorder.cfg recorder-v7.cfg recorder-two-board-v6.cfg recorder-v203.cfg
expect_out ''
sed 's/^INDEX2=5\r$/INDEX2=9999\r/; 1s/^..../noch/' recorder-v7.cfg >dangling.cfg
run 4 lint dangling.cfg
line=$(grep -n '^INDEX2=9999' dangling.cfg | cut -d: -f1)
expect_out "dangling.cfg:$line: warning: [METERING_GROUP1] INDEX2: index 9999 names nothing [dangling-reference]"
run 4 lint dangling.cfg recorder-v7.cfg --json
python3 - out.txt "$line" <<'PY' || fail "lint --json document"
import json, sys
d = json.load(open(sys.argv[1]))
f = d["files"][0]["findings"][0]
assert f == {"rule": "dangling-reference", "section": "METERING_GROUP1", "key": "INDEX2", "line": int(sys.argv[2]), "text": "index 9999 names nothing"}, f
assert d["files"][1]["result"] == "clean"
PY
run 1 lint missing.cfg

# show --values and show --json: every key with its value, references by name.
run 0 show recorder-v7.cfg --values
has out.txt "[ANALOG_INPUT1-1] Line 1:Va:Bus side"
has out.txt "  H_MAG_T: 90"
has out.txt "  INDEX2: Line 1:VbMag:Bus side"
run 0 show recorder-v203.cfg --json
python3 - out.txt <<'PY' || fail "show --json schema 2"
import json, sys
d = json.load(open(sys.argv[1]))
assert d["schema"] == 2
f = d["channel_groups"][0]["elements"][0]["functions"][0]
assert f["section"] == "ANALOG_INPUT1-1" and f["keys"]["TYPE"] == "Va", f
assert d["meter_groups"][0]["keys"]["NAME"] == "Line 1 voltages"
assert d["pmu"]["phasors"][0]["keys"]["INP_INDEX"] == "Line 1:Va:Bus side", d["pmu"]["phasors"][0]
assert d["trend"]["section"] == "EXTENDED_TREND" and d["cdr"]["section"] == "CDR"
assert [r["section"] for r in d["records"]][:2] == ["ID", "LIMITS"], d["records"]
assert d["channel_groups"][0]["section"] == "CH_GRP1-1"
PY

# check --json: each file's result and its messages with where they arose.
run 4 check recorder-v7.cfg odd-before.cfg --json
python3 - out.txt <<'PY' || fail "check --json document"
import json, sys
d = json.load(open(sys.argv[1]))
a, b = d["files"]
assert a["result"] == "ok" and a["messages"] == []
m = b["messages"][0]
assert b["result"] == "messages" and m["kind"] == "warning" and m["line"] == 6 and m["section"] == "ID", m
assert "COLOUR" in m["text"]
PY

finish "review tool"
