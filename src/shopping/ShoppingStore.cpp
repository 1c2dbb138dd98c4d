#include "shopping/ShoppingStore.h"

#include "common/UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>

namespace sapidoro {

namespace {

[[noreturn]] void Fail(const QString &what, const QString &path, const QString &reason) {
    throw Exception(QStringLiteral("%1 \"%2\": %3")
                        .arg(what, QDir::toNativeSeparators(path), reason)
                        .toStdString());
}

}  // namespace

const QString kShoppingListName = QStringLiteral("lista-della-spesa.txt");

QString ShoppingListPath() {
    return UserDataFolder() + QLatin1Char('/') + kShoppingListName;
}

bool MoveOldShoppingList() {
    const QString path = ShoppingListPath();
    const QString old = OldUserDataFolder() + QLatin1Char('/') + kShoppingListName;
    // A list already in the new folder is the newer one: the old one is left where it is.
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink() || !QFileInfo(old).isFile())
        return false;
    const QString what = QStringLiteral("Impossibile spostare la lista della spesa");
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        Fail(what, path, QStringLiteral("la cartella non si può creare"));
    if (QFile::rename(old, path)) return true;
    // Another file system: a full copy first, the old one removed only once it is there.
    if (!QFile::copy(old, path)) Fail(what, old, QStringLiteral("il file non si può copiare"));
    QFile::remove(old);
    return true;
}

LoadedShoppingList LoadShoppingList(const QString &path) {
    LoadedShoppingList loaded;
    std::error_code error;
    const auto status = std::filesystem::status(QFile::encodeName(path).toStdString(), error);
    if (!std::filesystem::exists(status)) return loaded;
    // A folder, a pipe or a device in its place would block or mislead the reader.
    if (!std::filesystem::is_regular_file(status)) {
        loaded.damage = QStringLiteral("non è un file ordinario");
        return loaded;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("Impossibile leggere la lista della spesa"), path, file.errorString());
    const QByteArray bytes = file.read(qint64{kMaxShoppingListBytes} + 1);
    try {
        loaded.list = ReadShoppingList(std::string_view(bytes.constData(), bytes.size()));
    } catch (const EShoppingListDamaged &damaged) {
        loaded.damage = QString::fromStdString(damaged.message());
    }
    return loaded;
}

QString KeepDamagedShoppingList(const QString &path) {
    const QString base = path + QStringLiteral(".danneggiata");
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n) {
        aside = base + QLatin1Char('-') + QString::number(n);
    }
    if (!QFile::rename(path, aside)) {
        Fail(QStringLiteral("Impossibile conservare la lista della spesa danneggiata"), path,
             QStringLiteral("il file non si può rinominare"));
    }
    return aside;
}

void SaveShoppingList(const QString &path, const ShoppingList &list) {
    const QString what = QStringLiteral("Impossibile salvare la lista della spesa");
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        Fail(what, path, QStringLiteral("la cartella non si può creare"));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) Fail(what, path, file.errorString());
    const std::string bytes = WriteShoppingList(list);
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        Fail(what, path, file.errorString());
    }
    if (!file.commit()) Fail(what, path, file.errorString());
}

}  // namespace sapidoro
