#pragma once

#include <QtGlobal>

#include <string>
#include <vector>

class QPlainTextEdit;

namespace sapidoro {

// The lines of a multi-line text box as data texts (Windows-1252), one per paragraph, with
// every character as it stands (a non-breaking space stays one). An empty box has no lines.
std::vector<std::string> BoxLines(const QPlainTextEdit *box);

// Replaces the lines of a multi-line text box. A line (a run between LF bytes) longer than
// the long-text limit plus `allowance` is shown cut, and `BoxLines` gives it back whole
// unless `keepWhole` is false (a box the program never reads back).
void SetBoxLines(QPlainTextEdit *box, const std::vector<std::string> &lines,
                 qsizetype allowance = 0, bool keepWhole = true);

}  // namespace sapidoro
