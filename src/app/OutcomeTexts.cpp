#include "app/OutcomeTexts.h"

#include <QDir>

namespace sapidoro {

QString Counted(qint64 count, const char *one, const char *many) {
    return QString::fromUtf8(count == 1 ? one : many).arg(count);
}

QString ExportedText(qint64 recipes, const QString &fileName) {
    return Counted(recipes, "Esportata %1 ricetta in ", "Esportate %1 ricette in ") +
           QDir::toNativeSeparators(fileName);
}

QString PdfSavedText(const QString &fileName) {
    return QStringLiteral("PDF salvato in ") + QDir::toNativeSeparators(fileName);
}

QString ImportedText(qint64 recipes, qint64 pictures) {
    QString text = Counted(recipes, "Importata %1 ricetta.", "Importate %1 ricette.");
    if (pictures > 0)
        text +=
            QLatin1Char(' ') + Counted(pictures, "%1 immagine copiata.", "%1 immagini copiate.");
    return text;
}

}  // namespace sapidoro
