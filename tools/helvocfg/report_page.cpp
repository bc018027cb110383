#include "report_page.h"

namespace helvocli {

const char kReportCss[] = R"css(
@page { size: A4; margin: 16mm 14mm 18mm 14mm; }
:root { --ink: #1d1d1f; --rule: #b9b9bd; --muted: #5f6368; --band: #f4f5f7; --accent: #24466e; }
* { box-sizing: border-box; }
html { background: #e9eaec; }
body { font: 10pt/1.35 "Helvetica Neue", Helvetica, Arial, "Liberation Sans", sans-serif; color: var(--ink);
       background: #fff; max-width: 210mm; margin: 0 auto; padding: 14mm 14mm 18mm; }
h1 { font-size: 17pt; margin: 0; color: var(--accent); letter-spacing: .01em; }
h2 { font-size: 12.5pt; margin: 7mm 0 2mm; padding-bottom: 1mm; border-bottom: 1.5px solid var(--accent);
     color: var(--accent); break-after: avoid; }
h3 { font-size: 10.5pt; margin: 4mm 0 1.5mm; break-after: avoid; }
h4 { font-size: 9.5pt; margin: 3mm 0 1mm; color: var(--muted); break-after: avoid; }
.doc-head { display: flex; justify-content: space-between; align-items: flex-end; border-bottom: 3px solid var(--accent);
            padding-bottom: 2mm; margin-bottom: 3mm; }
.doc-head .file { font-family: "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 9pt; color: var(--muted); }
table { border-collapse: collapse; width: 100%; margin: 1mm 0 2mm; font-size: 8.5pt; }
th, td { border-bottom: 1px solid var(--rule); padding: 1.2mm 1.6mm; text-align: left; vertical-align: top; }
th { background: var(--band); font-weight: 600; border-top: 1px solid var(--rule); }
thead { display: table-header-group; }
tr { break-inside: avoid; }
td.num, th.num { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }
tr.idle td { color: var(--muted); }
table.facts { width: auto; min-width: 60%; }
table.facts th { width: 38mm; background: none; border-top: none; font-weight: 600; color: var(--muted); }
.state-valid { color: #1f6f2b; font-weight: 600; }
.state-invalid { color: #a4161a; font-weight: 600; }
.state-unchecked { color: #8a5a00; font-weight: 600; }
code, .expr { font-family: "DejaVu Sans Mono", Menlo, Consolas, monospace; font-size: 8.5pt; }
figure { margin: 2mm 0; text-align: center; }
figure svg { max-width: 100%; height: auto; }
figcaption { font-size: 8pt; color: var(--muted); margin-top: 1mm; }
.legend span { display: inline-block; padding: 0 2mm; margin: 0 1mm; border: 1px solid #555; border-radius: 2mm; }
.missing { border: 1px dashed var(--rule); padding: 6mm; color: var(--muted); background: var(--band); }
.note { color: var(--muted); font-size: 8.5pt; }
.lost p { margin: 0 0 1mm; }
.lost ul { margin: 0 0 1.5mm; padding-left: 5mm; }
.signoff { margin-top: 10mm; break-inside: avoid; }
.signoff td { height: 13mm; }
footer { margin-top: 6mm; font-size: 8pt; color: var(--muted); border-top: 1px solid var(--rule); padding-top: 1.5mm; }
@media print {
  html { background: none; }
  body { max-width: none; padding: 0; font-size: 9.5pt; }
  section.diagram { break-after: page; }
  a { color: inherit; text-decoration: none; }
}
)css";

const char kReportNoDiagram[] =
    "The signal-flow diagram could not be drawn: Graphviz's <code>dot</code> program was not found "
    "or failed. Install Graphviz and produce the report again; <code>helvocfg graph FILE</code> prints "
    "the diagram's source.";

const char kReportSignOff[] = R"html(<section class="signoff"><h2>Sign-off</h2>
<table><thead><tr><th style="width:22%">Role</th><th style="width:30%">Name</th><th style="width:30%">Signature</th><th>Date</th></tr></thead>
<tbody><tr><td>Prepared by</td><td></td><td></td><td></td></tr>
<tr><td>Reviewed by</td><td></td><td></td><td></td></tr>
<tr><td>Approved by</td><td></td><td></td><td></td></tr></tbody></table></section>
)html";

}  // namespace helvocli
