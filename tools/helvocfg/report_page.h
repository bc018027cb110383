// The fixed parts of the HTML settings report: the style sheet and the texts around the tables.
#pragma once

namespace helvocli {

// Inline CSS for screen and A4 print; no fonts or images from outside the page.
extern const char kReportCss[];
// Shown in place of the diagram when Graphviz's dot could not be run.
extern const char kReportNoDiagram[];
// The sign-off block at the end of the page.
extern const char kReportSignOff[];

}  // namespace helvocli
