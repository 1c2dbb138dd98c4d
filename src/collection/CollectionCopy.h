#pragma once

#include <QString>

namespace sapidoro {

// Why the collection in `dataFolder` cannot be written, as an Italian sentence that names the
// folder or file; empty when it can. A file or folder without its owner's write permission
// counts as read-only even for root, as the writer refuses it.
QString CollectionWriteProblem(const QString &dataFolder);

// Copies the collection of `from` (ricette.txt, ing.txt, luoghi.txt and the pictures' folder)
// into `to`, which is created when missing. A `to` that holds any of them already is refused.
// Every file is written under a temporary name and synced, then renamed into place, the
// recipe file last; a failure leaves `to` as it was. Throws Exception (Italian) naming the file.
void CopyCollection(const QString &from, const QString &to);

}  // namespace sapidoro
