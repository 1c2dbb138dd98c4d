#pragma once

#include <QString>

namespace sapidoro {

// `one` for a count of 1, else `many`; each holds "%1" where the count goes, so that a text
// agrees in number with its count as Italian wants ("1 ricetta letta", "2 ricette lette").
QString Counted(qint64 count, const char *one, const char *many);

// The news of a finished export or PDF: what was written and where.
QString ExportedText(qint64 recipes, const QString &fileName);
QString PdfSavedText(const QString &fileName);

// The outcome of an import: the recipes and the pictures it added.
QString ImportedText(qint64 recipes, qint64 pictures);

}  // namespace sapidoro
