#pragma once

#include <string>
#include <vector>

class QPlainTextEdit;

namespace sapidoro {

// The lines of a multi-line text box as data texts (Windows-1252), one per paragraph, with
// every character as it stands (a non-breaking space stays one). An empty box has no lines.
std::vector<std::string> BoxLines(const QPlainTextEdit *box);

// Replaces the lines of a multi-line text box.
void SetBoxLines(QPlainTextEdit *box, const std::vector<std::string> &lines);

}  // namespace sapidoro
