#include "collection/CollectionWatcher.h"

#include <QFile>
#include <QFileSystemWatcher>

#include <sys/stat.h>

namespace sapidoro {

namespace {

// The watched paths, in the order of their stamps.
constexpr const char *kWatchedNames[] = {"ricette.txt", "ing.txt", "luoghi.txt", "immagini"};

}  // namespace

CollectionWatcher::CollectionWatcher(QObject *parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)) {
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMilliseconds);
    connect(&m_quiet, &QTimer::timeout, this, &CollectionWatcher::settle);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &CollectionWatcher::noticed);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString &path) {
        if (path != m_folder.chopped(1)) m_picturesTouched = true;
        noticed();
    });
}

void CollectionWatcher::watch(const QString &folder) {
    m_quiet.stop();
    if (const QStringList paths = m_watcher->files() + m_watcher->directories(); !paths.isEmpty())
        m_watcher->removePaths(paths);
    m_folder = folder;
    m_picturesTouched = false;
    if (m_folder.isEmpty()) return;
    arm();
    markLoaded(stampsNow());
}

void CollectionWatcher::markLoaded(const Stamps &stamps) {
    m_loaded = stamps;
    m_picturesTouched = false;
}

void CollectionWatcher::retryLater() {
    if (!m_folder.isEmpty()) m_quiet.start();
}

CollectionWatcher::Stamps CollectionWatcher::stampsNow() const {
    Stamps stamps{};
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        const QByteArray path = QFile::encodeName(m_folder + QLatin1String(kWatchedNames[i]));
        struct stat info {};
        if (::stat(path.constData(), &info) != 0) continue;
        stamps[i] = {static_cast<std::uint64_t>(info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino),
                     static_cast<std::uint64_t>(info.st_size),
                     info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec,
                     info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec,
                     static_cast<std::uint32_t>(info.st_mode)};
    }
    return stamps;
}

void CollectionWatcher::arm() {
    // A file renamed over, or removed and written anew, is a new file: it is watched afresh.
    QStringList missing;
    const QStringList files = m_watcher->files(), folders = m_watcher->directories();
    for (const char *name : kWatchedNames) {
        const QString path = m_folder + QLatin1String(name);
        if (!files.contains(path) && !folders.contains(path) && QFile::exists(path))
            missing << path;
    }
    const QString self = m_folder.chopped(1);
    if (!folders.contains(self)) missing << self;
    if (!missing.isEmpty()) m_watcher->addPaths(missing);
}

void CollectionWatcher::noticed() {
    if (m_folder.isEmpty()) return;
    arm();
    m_atNotice = stampsNow();
    m_quiet.start();
}

void CollectionWatcher::settle() {
    arm();
    const Stamps now = stampsNow();
    // Still being written: wait for a quiet period that really is quiet.
    if (now != m_atNotice) {
        m_atNotice = now;
        m_quiet.start();
        return;
    }
    if (now == m_loaded && !m_picturesTouched) return;
    emit changed();
}

}  // namespace sapidoro
