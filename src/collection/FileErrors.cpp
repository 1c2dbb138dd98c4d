#include "collection/FileErrors.h"

#include <QDir>
#include <QFile>

#include <cerrno>

namespace sapidoro {

std::string FileErrorText(const EInOutError &error, const std::string &path) {
    const QString file =
        QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
    QString text;
    switch (error.errorCode()) {
        case ENOENT:
        case ENOTDIR:
            text = QStringLiteral("Il file \"%1\" non esiste.").arg(file);
            break;
        case EACCES:
        case EPERM:
            text = QStringLiteral(
                       "Il file \"%1\" non si può leggere: l'accesso è negato, oppure non è un "
                       "file normale che sta dentro la cartella della raccolta.")
                       .arg(file);
            break;
        case EISDIR:
            text = QStringLiteral("\"%1\" è una cartella, non un file.").arg(file);
            break;
        case EINVAL:
        case ENAMETOOLONG:
            text = QStringLiteral("Il nome del file \"%1\" non è valido.").arg(file);
            break;
        default:
            text = QStringLiteral("Errore di lettura del file \"%1\" (errore di sistema %2).")
                       .arg(file)
                       .arg(error.errorCode());
    }
    return text.toStdString();
}

}  // namespace sapidoro
