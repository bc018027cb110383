#!/usr/bin/env bash
# Reports and diagrams of every bundled example, with and without Graphviz's dot on the PATH, and of
# a file whose names need escaping.   report_test.sh HELVOCFG EXAMPLES_DIR
. "$(dirname "$0")/test_common.sh" "$@"

for source in "$examples"/*.cfg; do
  name=$(basename "$source" .cfg)
  cp "$source" "$name.cfg"
  "$tool" report "$name.cfg" -o "$name.html" 2>err.txt || fail "report $name exited $?: $(cat err.txt)"
  [ ! -s err.txt ] || fail "report $name printed: $(cat err.txt)"
  "$tool" graph "$name.cfg" >"$name.dot" || fail "graph $name exited $?"
  dot -Tsvg "$name.dot" >/dev/null || fail "dot refuses the graph of $name"
  functions=$(sed -n 's/.*data-functions="\([0-9]*\)".*/\1/p' "$name.html")
  [ -n "$functions" ] || fail "$name.html has no diagram figure"
  # One box per function, in the DOT text and in the drawing.
  [ "$(count "$name.dot" 'class="function"')" = "$functions" ] || fail "$name.dot: not $functions function nodes"
  [ "$(count "$name.html" 'class="node function"')" = "$functions" ] || fail "$name.html: not $functions function nodes"
  for part in '<svg' 'Channels and functions' 'Saving at an older version' 'Lint findings' 'Sign-off'; do
    has "$name.html" "$part"
  done
  # Self-contained: no script, nothing fetched.
  lacks "$name.html" '<script'
  lacks "$name.html" 'src='
  lacks "$name.html" '@import'
  lacks "$name.html" '<link'
done

# The logic function as an expression, detectors with their Notify action, what version 6 loses.
has recorder-v7.html 'Line 1:Va:Bus side[HiLev] OR Line 1:Vb:Bus side[HiLev] OR Line 1:Vc:Bus side[HiLev]'
has recorder-v7.html 'Action 1, Notify'
has recorder-v7.html 'The following detectors are affected:</p><ul><li>Line 1:Ia[HiLev]</li></ul>'
has recorder-v203.html '1&ndash;7</td><td>Cannot be saved at this version'
has recorder-v203.html '<td>Line 1 Va</td><td>Line 1:Va:Bus side</td>'

# Without dot the report says so in place of the diagram and has everything else.
PATH=/nonexistent "$tool" report recorder-v7.cfg -o nodot.html || fail "report without dot exited $?"
has nodot.html 'id="no-diagram"'
lacks nodot.html '<svg'
has nodot.html 'Line 1:Va:Bus side[HiLev] OR'
has nodot.html 'Meter group'

# The default output name, standard output, and a file that cannot be read.
"$tool" report recorder.cfg -o - | tail -1 | grep -qx '</html>' || fail "report -o - printed no page"
"$tool" report recorder.cfg && [ -s recorder.html ] || fail "report without -o wrote no recorder.html"
"$tool" report missing.cfg -o missing.html 2>err.txt && fail "report of a missing file succeeded"
has err.txt "missing.cfg"

# A file whose CRC does not match is refused unless asked for, and then marked in red.
sed 's/^COMMENTS=Riverside/COMMENTS=Riverbank/' recorder-v7.cfg >badcrc.cfg
"$tool" report badcrc.cfg -o badcrc.html 2>err.txt && fail "report of a file with a wrong CRC succeeded"
"$tool" report badcrc.cfg -o badcrc.html --no-crc-check || fail "report --no-crc-check exited $?"
has badcrc.html '<span class="state-invalid">invalid</span>'

# Names are HTML-escaped and decoded from Windows-1252; a logic operator the recorder does not know
# is shown as such and found by lint.
sed "s/^NAME=Line 1\r\$/NAME=<i>L\&1<\/i>\xE9\r/; s/^ELEMENT=Line 1\r\$/ELEMENT=<i>L\&1<\/i>\xE9\r/;
     s/^OPER1=2\r\$/OPER1=42\r/" recorder-v7.cfg >escaped.cfg
"$tool" crc escaped.cfg --fix >/dev/null
"$tool" report escaped.cfg -o escaped.html || fail "report of escaped.cfg exited $?"
has escaped.html '&lt;i&gt;L&amp;1&lt;/i&gt;é'
lacks escaped.html '<i>L&'
has escaped.html 'Bus side[HiLev] INVALID '
has escaped.html '<code>invalid-logic</code>'
LC_ALL=C grep -qaP '\xE9' escaped.html && fail "escaped.html holds an undecoded byte"

finish "report"
