#include "collection/CollectionCopy.h"

#include "collection/CollectionFolder.h"
#include "common/CheckedOpen.h"
#include "common/Exception.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>
#include <vector>

namespace sapidoro {

namespace {

constexpr std::array<const char *, 3> kTextFiles = {"ing.txt", "luoghi.txt", "ricette.txt"};
constexpr char kPictureFolder[] = "immagini";
constexpr char kTempPrefix[] = ".sapidoro-copia-";

std::string Native(const QString &path) {
    return QFile::encodeName(path).toStdString();
}

QString Shown(const std::string &path) {
    return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
}

bool Exists(const std::string &path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// The writer's own rule: the owner's write bit and the process's access both.
bool Writable(const std::string &path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) != 0 &&
           ::access(path.c_str(), W_OK) == 0;
}

[[noreturn]] void Fail(const char *what, const std::string &path) {
    const int error = errno;
    throw Exception(QStringLiteral("La copia della raccolta non è riuscita: %1 \"%2\" (errore di "
                                   "sistema %3). La cartella di destinazione è rimasta com'era.")
                        .arg(QString::fromUtf8(what), Shown(path))
                        .arg(error)
                        .toStdString());
}

// What a copy created so far, removed again unless the copy completes.
class CopyTemps {
public:
    ~CopyTemps() {
        for (auto it = m_paths.rbegin(); it != m_paths.rend(); ++it) ::remove(it->c_str());
    }
    void add(const std::string &path) { m_paths.push_back(path); }
    void keep() { m_paths.clear(); }

private:
    std::vector<std::string> m_paths;
};

void SyncFolder(const std::string &folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) Fail("la cartella non si può aprire:", folder);
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced) Fail("la cartella non si può scrivere su disco:", folder);
}

// Copies one regular file that lies inside `root`; false when it is not such a file.
bool CopyFile(const std::string &source, const std::string &root, const std::string &target,
              CopyTemps &temps) {
    std::uint64_t size = 0;
    const int in = OpenRegularFileInside(source, root, size);
    if (in < 0) {
        if (errno == EACCES) return false;
        Fail("il file non si può leggere:", source);
    }
    ::unlink(target.c_str());  // a temporary of an interrupted copy
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        errno = error;
        Fail("il file non si può creare:", target);
    }
    temps.add(target);
    std::array<char, 1 << 16> buffer;
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const int error = errno;
            ::close(in), ::close(out);
            errno = error;
            Fail("il file non si può leggere:", source);
        }
        if (got == 0) break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, std::size_t(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) {
                const int error = errno;
                ::close(in), ::close(out);
                errno = error;
                Fail("il file non si può scrivere:", target);
            }
            done += put;
        }
    }
    ::close(in);
    const bool synced = ::fsync(out) == 0;
    if (::close(out) != 0 || !synced) Fail("il file non si può scrivere su disco:", target);
    return true;
}

}  // namespace

QString CollectionWriteProblem(const QString &dataFolder) {
    const std::string folder = Native(AsDataFolder(dataFolder));
    const QString shownFolder = Shown(folder);
    if (!Writable(folder))
        return QStringLiteral(
                   "La cartella \"%1\" è di sola lettura: le sue ricette non si "
                   "possono modificare.")
            .arg(shownFolder);
    for (const char *name : {"ricette.txt", "ing.txt"}) {
        const std::string file = folder + name;
        if (Exists(file) && !Writable(file))
            return QStringLiteral(
                       "Il file \"%1\" è di sola lettura: le ricette della cartella "
                       "\"%2\" non si possono modificare.")
                .arg(Shown(file), shownFolder);
    }
    const std::string pictures = folder + kPictureFolder;
    if (Exists(pictures) && !Writable(pictures))
        return QStringLiteral(
                   "La cartella delle immagini \"%1\" è di sola lettura: le ricette "
                   "della cartella \"%2\" non si possono modificare.")
            .arg(Shown(pictures), shownFolder);
    return QString();
}

void CopyCollection(const QString &from, const QString &to) {
    const std::string source = Native(AsDataFolder(from));
    const std::string target = Native(AsDataFolder(to));
    for (const char *name : {"ricette.txt", "ing.txt", "luoghi.txt", kPictureFolder}) {
        if (Exists(target + name))
            throw Exception(QStringLiteral("La cartella \"%1\" contiene già %2: Sapidoro non "
                                           "sovrascrive una raccolta. Scegliere una cartella "
                                           "vuota o nuova.")
                                .arg(Shown(target), QString::fromLatin1(name))
                                .toStdString());
    }
    if (!QDir().mkpath(QFile::decodeName(QByteArray::fromStdString(target))))
        Fail("la cartella non si può creare:", target);

    CopyTemps temps;
    const std::string pictureTemp = target + kTempPrefix + kPictureFolder;
    const bool pictures = Exists(source + kPictureFolder);
    std::vector<std::string> pictureNames;
    if (pictures) {
        QDir(QFile::decodeName(QByteArray::fromStdString(pictureTemp))).removeRecursively();
        if (::mkdir(pictureTemp.c_str(), 0777) != 0)
            Fail("la cartella non si può creare:", pictureTemp);
        temps.add(pictureTemp);
        const QDir folder(QFile::decodeName(QByteArray::fromStdString(source + kPictureFolder)));
        for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            const std::string file = Native(name);
            // A picture that is no regular file inside the collection is never read, nor copied.
            if (CopyFile(source + kPictureFolder + "/" + file, source, pictureTemp + "/" + file,
                         temps))
                pictureNames.push_back(file);
        }
        SyncFolder(pictureTemp);
    }
    std::vector<const char *> copied;
    for (const char *name : kTextFiles) {
        if (!Exists(source + name) && std::string_view(name) != "ricette.txt") continue;
        if (CopyFile(source + name, source, target + kTempPrefix + name, temps))
            copied.push_back(name);
        else
            throw Exception(QStringLiteral("La copia della raccolta non è riuscita: \"%1\" non è "
                                           "un file normale che sta dentro la sua cartella.")
                                .arg(Shown(source + name))
                                .toStdString());
    }
    SyncFolder(target);
    // The recipe file comes last, so that a folder with it holds the whole collection.
    if (pictures && ::rename(pictureTemp.c_str(), (target + kPictureFolder).c_str()) != 0)
        Fail("la cartella non si può rinominare:", pictureTemp);
    if (pictures) {
        temps.add(target + kPictureFolder);
        for (const std::string &name : pictureNames)
            temps.add(target + kPictureFolder + "/" + name);
    }
    for (const char *name : copied) {
        if (::rename((target + kTempPrefix + name).c_str(), (target + name).c_str()) != 0)
            Fail("il file non si può rinominare:", target + kTempPrefix + name);
        temps.add(target + name);
    }
    temps.keep();
    SyncFolder(target);
}

}  // namespace sapidoro
