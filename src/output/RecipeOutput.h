#pragma once

#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QTextDocument;

namespace sapidoro {

// The text of the print buffer for the labelled recipe entries (Windows-1252 bytes): one
// paragraph per entry.
QString RecipeBufferText(const std::vector<std::string> &entries);

// The lines of a document as its layout wraps them at its text width, paragraph after
// paragraph; an empty paragraph is one empty line.
QStringList WrappedLines(const QTextDocument &document);

// The clipboard form of the lines: plain text, the lines separated by CR LF.
QString ClipboardText(const QStringList &lines);

// A copy of the buffer ready for Qt's rich-text printing: the same text and font, wrapped at
// `wrapWidth` as the buffer wraps it (narrower when the page is), cut into pages of `pageSize`,
// the printable area measured in the buffer's own pixels.
std::unique_ptr<QTextDocument> PrintableCopy(const QTextDocument &buffer, double wrapWidth,
                                             QSizeF pageSize);

}  // namespace sapidoro
