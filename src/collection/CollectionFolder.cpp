#include "collection/CollectionFolder.h"

#include "common/CheckedOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace sapidoro {

namespace {

QString Text(const char *utf8, const QString &path) {
    return QString::fromUtf8(utf8).arg(QDir::toNativeSeparators(path));
}

}  // namespace

QString AsDataFolder(const QString &path) {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

QString CollectionFolderProblem(const QString &path) {
    if (path.isEmpty()) return QString::fromUtf8("Non è stata indicata nessuna cartella.");
    const QFileInfo folder(path);
    if (!folder.exists()) {
        if (folder.isSymLink()) return Text("Il collegamento \"%1\" non porta a nulla.", path);
        return Text("La cartella \"%1\" non esiste.", path);
    }
    if (!folder.isDir()) return Text("\"%1\" non è una cartella.", path);
    const QByteArray native = QFile::encodeName(folder.absoluteFilePath());
    if (::access(native.constData(), R_OK | X_OK) != 0)
        return Text("La cartella \"%1\" non si può leggere: permesso negato.", path);

    const std::string dataFolder = QFile::encodeName(AsDataFolder(path)).toStdString();
    std::uint64_t size = 0;
    const int fd = OpenRegularFileInside(dataFolder + "ricette.txt", dataFolder, size);
    if (fd >= 0) {
        ::close(fd);
        return QString();
    }
    if (errno == ENOENT) return Text("La cartella \"%1\" non contiene il file ricette.txt.", path);
    if (errno == EACCES)
        return Text(
            "Il file ricette.txt della cartella \"%1\" non si può leggere, o non è un file "
            "normale che sta dentro la cartella.",
            path);
    return Text("Il file ricette.txt della cartella \"%1\" non si può aprire.", path);
}

QString ChooseStartFolder(const QString &argument, const QStringList &remembered,
                          const QString &executableFolder) {
    if (!argument.isEmpty()) return AsDataFolder(argument);
    if (!remembered.isEmpty()) return AsDataFolder(remembered.constFirst());
    return AsDataFolder(executableFolder);
}

}  // namespace sapidoro
