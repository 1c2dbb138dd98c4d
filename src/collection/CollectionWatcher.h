#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>

class QFileSystemWatcher;

namespace sapidoro {

// Follows a collection's folder on disk: the three text files, the pictures' folder and the
// folder itself (where editors rename a new file over the old one). Each notice restarts a
// quiet period; once nothing has changed for that long, and the files differ from those last
// loaded, `changed` is emitted once, however many notices came before.
class CollectionWatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int kQuietMilliseconds = 300;

    explicit CollectionWatcher(QObject *parent = nullptr);

    // Identity, size and times of one watched path; all zero when it is missing.
    struct Stamp {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modified = 0, statusChanged = 0;
        std::uint32_t mode = 0;
        bool operator==(const Stamp &) const = default;
    };
    using Stamps = std::array<Stamp, 4>;

    // Starts following `folder` (ending with "/"), its present state taken as loaded; an
    // empty folder stops following.
    void watch(const QString &folder);
    const QString &folder() const { return m_folder; }
    // The state of the files now; taken before a reload reads them, so that a change made
    // while it reads is not mistaken for the one it read.
    Stamps stampsNow() const;
    // The files as they were at `stamps` are the ones on show.
    void markLoaded(const Stamps &stamps);
    // Asks again after a quiet period, when the change could not be taken now.
    void retryLater();

signals:
    void changed();

private:
    void noticed();
    void settle();
    void arm();

    QFileSystemWatcher *m_watcher = nullptr;
    QTimer m_quiet;
    QString m_folder;
    Stamps m_loaded{};
    Stamps m_atNotice{};
    bool m_picturesTouched = false;
};

}  // namespace sapidoro
