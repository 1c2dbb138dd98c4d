#include "menu/MenuStore.h"

#include "common/Cp1252.h"
#include "common/UserFolders.h"
#include "writer/AtomicSave.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace sapidoro {

namespace {

const std::string kTitleLine = "# Sapidoro - menu della settimana, versione 1";
const std::string kFolderPrefix = "Raccolta: ";

[[noreturn]] void Fail(const QString &what, const QString &path, const QString &reason) {
    throw Exception(QStringLiteral("%1 \"%2\": %3")
                        .arg(what, QDir::toNativeSeparators(path), reason)
                        .toStdString());
}

[[noreturn]] void Damaged(std::size_t lineNumber, const std::string &reason) {
    throw EMenuPlanDamaged("riga " + std::to_string(lineNumber) + ": " + reason);
}

// A header that names the folder on one line, whatever its name holds.
std::string OneLine(std::string text) {
    for (char &c : text) {
        if (c == '\n' || c == '\r') c = '?';
    }
    return text;
}

std::string FolderText(const std::string &collectionFolder) {
    return OneLine(QFile::decodeName(QByteArray::fromStdString(collectionFolder)).toStdString());
}

QDate ParseIsoDate(std::string_view text) {
    // Exactly YYYY-MM-DD, so that a sorted file sorts by date as text too.
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return {};
    int parts[3] = {0, 0, 0};
    const std::string_view fields[3] = {text.substr(0, 4), text.substr(5, 2), text.substr(8, 2)};
    for (int i = 0; i < 3; ++i) {
        for (const char c : fields[i]) {
            if (c < '0' || c > '9') return {};
        }
        std::from_chars(fields[i].data(), fields[i].data() + fields[i].size(), parts[i]);
    }
    const QDate date(parts[0], parts[1], parts[2]);
    return date.isValid() ? date : QDate();
}

std::optional<int> ParsePersons(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int persons = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        persons = persons * 10 + (c - '0');
    }
    if (persons < kMinMenuPersons || persons > kMaxMenuPersons) return std::nullopt;
    return persons;
}

void ReadEntryLine(std::string_view line, std::size_t lineNumber, MenuPlan &plan) {
    std::string_view fields[3];
    for (std::string_view &field : fields) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) Damaged(lineNumber, "la riga non ha quattro campi");
        field = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    const QDate date = ParseIsoDate(fields[0]);
    if (!date.isValid()) Damaged(lineNumber, "la data non è valida");
    const std::optional<Meal> meal =
        MealNamed(QString::fromUtf8(fields[1].data(), qsizetype(fields[1].size())));
    if (!meal) Damaged(lineNumber, "il pasto non è Colazione, Pranzo, Merenda o Cena");
    const std::optional<int> persons = ParsePersons(fields[2]);
    if (!persons) Damaged(lineNumber, "le persone non sono un numero da 1 a 100");
    if (line.empty()) Damaged(lineNumber, "manca il nome della ricetta");
    std::string recipe = Utf8ToCp1252(line);
    // Every character of a name must have its Windows-1252 byte, as the collection's names do.
    if (Cp1252ToUtf8(recipe) != line) Damaged(lineNumber, "il nome della ricetta non è valido");
    plan.Add({date, *meal}, std::move(recipe), *persons);
}

}  // namespace

QString MenuPlanPath(const std::string &collectionFolder) {
    QString folder = QFile::decodeName(QByteArray::fromStdString(collectionFolder));
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/'))) folder.chop(1);
    QString name = QFileInfo(folder).fileName().left(40);
    // The file's name is only a help to the eye; the hash tells collections apart.
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    }
    if (name.isEmpty()) name = QStringLiteral("raccolta");
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return UserDataFolder() + QStringLiteral("/menu/") + name + QLatin1Char('-') +
           QString::fromLatin1(hash) + QStringLiteral(".txt");
}

std::string WriteMenuPlan(const MenuPlan &plan, const std::string &collectionFolder) {
    std::string out = kTitleLine + '\n' + kFolderPrefix + FolderText(collectionFolder) + '\n';
    for (const MenuEntry &entry : plan.AllEntries()) {
        out += entry.cell.date.toString(Qt::ISODate).toStdString();
        out += '\t';
        out += MealName(entry.cell.meal).toStdString();
        out += '\t';
        out += std::to_string(entry.item.persons);
        out += '\t';
        out += Cp1252ToUtf8(entry.item.recipe);
        out += '\n';
    }
    return out;
}

MenuPlan ReadMenuPlan(std::string_view bytes, std::string *collectionFolder) {
    if (bytes.size() > kMaxMenuPlanBytes) throw EMenuPlanDamaged("il file è troppo grande");
    if (bytes.find('\0') != std::string_view::npos)
        throw EMenuPlanDamaged("il file non è di testo");
    MenuPlan plan;
    std::size_t lineNumber = 0;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++lineNumber;
        if (line.size() > kMaxMenuPlanLineBytes) Damaged(lineNumber, "la riga è troppo lunga");
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (lineNumber == 1) {
            if (line != kTitleLine) Damaged(1, "non è un menu di Sapidoro");
        } else if (lineNumber == 2) {
            if (!line.starts_with(kFolderPrefix)) Damaged(2, "manca la raccolta");
            if (collectionFolder) *collectionFolder = line.substr(kFolderPrefix.size());
        } else if (!line.empty()) {
            ReadEntryLine(line, lineNumber, plan);
        }
    }
    if (lineNumber < 2) throw EMenuPlanDamaged("il file è incompleto");
    return plan;
}

LoadedMenuPlan LoadMenuPlan(const QString &path) {
    LoadedMenuPlan loaded;
    const std::string name = QFile::encodeName(path).toStdString();
    struct stat info;
    if (::lstat(name.c_str(), &info) != 0) {
        if (errno == ENOENT) return loaded;
        Fail(QStringLiteral("Impossibile leggere il menu"), path,
             QString::fromLocal8Bit(std::strerror(errno)));
    }
    // A link, a folder, a pipe or a device in its place would mislead or block the reader.
    if (S_ISLNK(info.st_mode)) {
        loaded.damage = QStringLiteral("è un collegamento, non un file ordinario");
        return loaded;
    }
    if (!S_ISREG(info.st_mode)) {
        loaded.damage = QStringLiteral("non è un file ordinario");
        return loaded;
    }
    if (static_cast<std::uint64_t>(info.st_size) > kMaxMenuPlanBytes) {
        loaded.damage = QStringLiteral("il file è troppo grande");
        return loaded;
    }
    const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        Fail(QStringLiteral("Impossibile leggere il menu"), path,
             QString::fromLocal8Bit(std::strerror(errno)));
    std::string bytes;
    struct stat opened;
    // What was opened is checked again: something swapped in after the look is not read.
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        loaded.damage = QStringLiteral("non è un file ordinario");
        return loaded;
    }
    // Room for the size it has now; a file that grows meanwhile is read up to the cap only.
    bytes.resize(
        std::min<std::size_t>(static_cast<std::size_t>(opened.st_size), kMaxMenuPlanBytes) + 1);
    std::size_t got = 0;
    int error = 0;
    while (got <= kMaxMenuPlanBytes) {
        if (got == bytes.size()) bytes.resize(std::min(bytes.size() * 2, kMaxMenuPlanBytes + 1));
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (error != 0)
        Fail(QStringLiteral("Impossibile leggere il menu"), path,
             QString::fromLocal8Bit(std::strerror(error)));
    bytes.resize(got);
    try {
        loaded.plan = ReadMenuPlan(bytes);
    } catch (const EMenuPlanDamaged &damaged) {
        loaded.damage = QString::fromStdString(damaged.message());
    } catch (const EMenuPlan &invalid) {
        loaded.damage = QString::fromStdString(invalid.message());
    }
    return loaded;
}

QString KeepDamagedMenuPlan(const QString &path) {
    const QString base = path + QStringLiteral(".danneggiato");
    QString aside = base;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n) {
        aside = base + QLatin1Char('-') + QString::number(n);
    }
    // The entry itself is renamed, whatever it is: a link is not followed.
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(path).toStdString(),
                            QFile::encodeName(aside).toStdString(), error);
    if (error) {
        Fail(QStringLiteral("Impossibile conservare il menu danneggiato"), path,
             QStringLiteral("il file non si può rinominare"));
    }
    return aside;
}

void SaveMenuPlan(const QString &path, const MenuPlan &plan, const std::string &collectionFolder) {
    const QString what = QStringLiteral("Impossibile salvare il menu");
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        Fail(what, path, QStringLiteral("la cartella non si può creare"));
    }
    const std::string name = QFile::encodeName(path).toStdString();
    // The atomic save replaces a file: a first save starts from an empty one.
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
    } else if (errno != EEXIST) {
        Fail(what, path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    std::string bytes = WriteMenuPlan(plan, collectionFolder);
    // A save killed before its rename leaves its temporary file; the next one clears it.
    RemoveLeftoverTemps(QFile::encodeName(QFileInfo(path).absolutePath()).toStdString());
    try {
        SaveFile(name, nullptr, [&](const SavedFile &old) {
            SavePlan save;
            save.unchanged = old.bytes == bytes;
            save.from = 0;
            save.to = old.bytes.size();
            save.insert = std::move(bytes);
            return save;
        });
    } catch (const std::exception &error) {
        Fail(what, path, QString::fromUtf8(error.what()));
    }
}

QString MenuPlanDamagedMessage(const QString &damage) {
    return QStringLiteral(
               "Il menu salvato non si può leggere (%1). Il file viene conservato "
               "accanto con il suffisso \".danneggiato\" e il menu riparte vuoto")
        .arg(damage);
}

}  // namespace sapidoro
