#include "writer/AtomicSave.h"

#include "common/CheckedOpen.h"
#include "common/Exception.h"
#include "writer/SaveError.h"
#include "writer/SaveSteps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

namespace sapidoro {

namespace {

// Every temporary file of a save begins so; nothing else in a folder is ever removed.
constexpr std::string_view kTempPrefix = ".sapidoro-save-";
constexpr std::size_t kWriteChunk = 8 << 20;
constexpr auto kLockPatience = std::chrono::seconds(10);

std::string FolderPath(const std::string &path) {
    return FolderOf(path);
}

[[noreturn]] void Fail(SaveStep step, int error, const std::string &path) {
    ThrowStepFailure(step, error, FileNameOf(path));
}

void Step(SaveStep step, const std::string &path, int count = 0) {
    if (const int error = InjectedFault(step, count)) Fail(step, error, path);
}

[[noreturn]] void Changed(const std::string &path) {
    throw EFileChanged("Il file " + FileNameOf(path) +
                       " è stato cambiato da un altro programma dopo l'inizio della modifica: "
                       "la modifica non è stata salvata, per non cancellare l'altra. "
                       "La raccolta viene ricaricata.");
}

// The folder's advisory lock, held by every save and by the clean-up of leftovers.
class FolderLock {
public:
    FolderLock(const std::string &folder, bool wait) {
        m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0) return;
        const auto giveUp = std::chrono::steady_clock::now() + kLockPatience;
        for (;;) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
                m_locked = true;
                return;
            }
            if ((errno != EWOULDBLOCK && errno != EINTR) || !wait ||
                std::chrono::steady_clock::now() > giveUp)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ~FolderLock() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    int fd() const { return m_fd; }
    bool locked() const { return m_locked; }

private:
    int m_fd = -1;
    bool m_locked = false;
};

// A file in the folder that goes again unless it was put in place.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() {
        if (m_fd >= 0) ::close(m_fd);
        if (!m_path.empty()) ::unlink(m_path.c_str());
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    void create(const std::string &folder, const std::string &name, const std::string &path) {
        Step(SaveStep::CreateTemp, path);
        std::string pattern = folder + "/" + std::string(kTempPrefix) + name + "-XXXXXX";
        m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (m_fd < 0) Fail(SaveStep::CreateTemp, errno, path);
        m_path = pattern;
    }
    // A free name for a link made later.
    void reserveName(const std::string &folder, const std::string &name) {
        static std::atomic<unsigned> counter{0};
        m_path = folder + "/" + std::string(kTempPrefix) + name + "-" + std::to_string(::getpid()) +
                 "-" + std::to_string(counter++);
        ::unlink(m_path.c_str());
    }
    const std::string &path() const { return m_path; }
    int fd() const { return m_fd; }
    void keep() { m_path.clear(); }

private:
    std::string m_path;
    int m_fd = -1;
};

bool IsLinkOfBackup(const struct stat &file, const std::string &backup) {
    struct stat other;
    return ::lstat(backup.c_str(), &other) == 0 && other.st_dev == file.st_dev &&
           other.st_ino == file.st_ino;
}

bool ReadOnly(const std::string &path, const struct stat &info) {
    // Root may write anything, so the owner's write bit decides as well.
    return (info.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0;
}

// Refuses what a save must not replace (with `replacing`) or read; the file's own `lstat`.
struct stat CheckReplaceable(const std::string &path, bool replacing) {
    const std::string name = FileNameOf(path);
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) Fail(SaveStep::Open, errno, path);
    if (S_ISLNK(info.st_mode))
        throw ESaveRefused("Il file " + name +
                           " è un collegamento simbolico: Sapidoro non lo sostituisce, e la "
                           "modifica non è stata salvata.");
    if (!S_ISREG(info.st_mode))
        throw ESaveRefused(name + " non è un file normale: la modifica non è stata salvata.");
    if (!replacing) return info;
    // A leftover link of an interrupted save, as "~", is the save's own.
    if (info.st_nlink > 1 && !(info.st_nlink == 2 && IsLinkOfBackup(info, path + "~")))
        throw ESaveRefused("Il file " + name + " ha " + std::to_string(info.st_nlink) +
                           " collegamenti fisici, che un salvataggio separerebbe: la modifica "
                           "non è stata salvata.");
    if (ReadOnly(path, info))
        throw ESaveRefused("Il file " + name +
                           " è di sola lettura: la modifica non è stata salvata.");
    const std::string folder = FolderPath(path);
    struct stat folderInfo;
    if (::stat(folder.c_str(), &folderInfo) != 0) Fail(SaveStep::Open, errno, path);
    if (ReadOnly(folder, folderInfo))
        throw ESaveRefused("La cartella di " + name +
                           " è di sola lettura: la modifica non è stata salvata.");
    return info;
}

void WriteAll(int fd, std::string_view bytes, int &writes, const std::string &path) {
    while (!bytes.empty()) {
        Step(SaveStep::Write, path, writes++);
        const ssize_t written = ::write(fd, bytes.data(), std::min(bytes.size(), kWriteChunk));
        if (written < 0) {
            if (errno == EINTR) continue;
            Fail(SaveStep::Write, errno, path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void SyncFile(int fd, SaveStep step, const std::string &path) {
    Step(step, path);
    if (::fsync(fd) != 0) Fail(step, errno, path);
}

// A second name for the old version, to become its "~" once the new file is in place (a
// copy where the file system has no links).
void LinkOldVersion(const SavedFile &old, const std::string &folder, const std::string &path,
                    TempFile &link) {
    link.reserveName(folder, FileNameOf(path) + "~");
    Step(SaveStep::Backup, path);
    if (::link(path.c_str(), link.path().c_str()) == 0) return;
    if (errno != EPERM && errno != ENOTSUP && errno != EMLINK) Fail(SaveStep::Backup, errno, path);
    link.keep();
    link.create(folder, FileNameOf(path) + "~", path);
    int writes = 0;
    WriteAll(link.fd(), old.bytes, writes, path);
    SyncFile(link.fd(), SaveStep::Backup, path);
}

// After the new file went in place but could not be made durable: the old one goes back.
void RollBack(const std::string &folder, const std::string &path, int folderFd) {
    TempFile link;
    link.reserveName(folder, FileNameOf(path));
    const std::string backup = path + "~";
    if (::link(backup.c_str(), link.path().c_str()) != 0) return;
    if (::rename(link.path().c_str(), path.c_str()) == 0) link.keep();
    ::fsync(folderFd);
}

FileIdentity LstatIdentity(const std::string &path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) return {};
    return IdentityOf(info);
}

}  // namespace

std::string FileNameOf(const std::string &path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileIdentity CurrentIdentity(const std::string &path) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) throw EInOutError::fromErrno(errno);
    return IdentityOf(info);
}

std::shared_ptr<SavedFile> ReadForSave(const std::string &path, bool replacing) {
    const struct stat info = CheckReplaceable(path, replacing);
    auto file = std::make_shared<SavedFile>();
    file->path = path;
    file->mode = info.st_mode & 07777;
    Step(SaveStep::Open, path);
    try {
        file->mapping = FileMapping::Open(path);
    } catch (const EInOutError &error) {
        Fail(SaveStep::Open, error.errorCode(), path);
    }
    if (file->mapping) {
        file->identity = file->mapping->identity();
        file->bytes = std::string_view(file->mapping->data(), file->mapping->size());
    } else {
        std::uint64_t size = 0;
        const int fd = OpenRegularFileInside(path, FolderPath(path), size);
        if (fd < 0) Fail(SaveStep::Open, errno, path);
        struct stat opened;
        ::fstat(fd, &opened);
        file->identity = IdentityOf(opened);
        file->copy.resize(static_cast<std::size_t>(size));
        std::size_t got = 0;
        while (got < file->copy.size()) {
            const ssize_t n = ::read(fd, file->copy.data() + got, file->copy.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                const int error = n < 0 ? errno : EIO;
                ::close(fd);
                Fail(SaveStep::Open, error, path);
            }
            got += static_cast<std::size_t>(n);
        }
        ::close(fd);
        file->bytes = file->copy;
    }
    if (file->identity.device != static_cast<std::uint64_t>(info.st_dev) ||
        file->identity.inode != static_cast<std::uint64_t>(info.st_ino))
        Changed(path);
    return file;
}

SaveResult SaveFile(const std::string &path, const FileIdentity *expected,
                    const SavePlanner &planner) {
    const std::string folder = FolderPath(path);
    const std::string name = FileNameOf(path);
    Step(SaveStep::Lock, path);
    FolderLock lock(folder, true);
    if (lock.fd() < 0) Fail(SaveStep::Lock, errno, path);
    if (!lock.locked())
        throw ESaveRefused(
            "Un'altra finestra di Sapidoro sta salvando la raccolta: la modifica "
            "non è stata salvata. Riprovare tra poco.");

    const std::shared_ptr<const SavedFile> old = ReadForSave(path, true);
    if (expected != nullptr && *expected != old->identity) Changed(path);
    const SavePlan plan = planner(*old);
    // The file and its "~" stay as they are, so that the last real change can still be undone.
    if (plan.unchanged) return {path, old->identity, {}, false};

    TempFile temp;
    temp.create(folder, name, path);
    std::string_view before, after;
    if (plan.source) {
        before = plan.source->bytes;
    } else {
        before = old->bytes.substr(0, plan.from);
        after = old->bytes.substr(plan.to);
    }
    std::uint64_t total = before.size() + plan.insert.size() + after.size();
    // Claiming the space first makes a full disk fail before a byte is written.
    if (!plan.produce && total > 0 &&
        ::fallocate(temp.fd(), 0, 0, static_cast<off_t>(total)) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS && errno != EINVAL)
        Fail(SaveStep::Write, errno, path);
    int writes = 0;
    WriteAll(temp.fd(), before, writes, path);
    if (plan.produce)
        plan.produce([&](std::string_view bytes) {
            WriteAll(temp.fd(), bytes, writes, path);
            total += bytes.size();
        });
    else
        WriteAll(temp.fd(), plan.insert, writes, path);
    WriteAll(temp.fd(), after, writes, path);
    SyncFile(temp.fd(), SaveStep::Sync, path);

    Step(SaveStep::Permissions, path);
    if (::fchmod(temp.fd(), old->mode) != 0) Fail(SaveStep::Permissions, errno, path);

    Step(SaveStep::ReadBack, path);
    struct stat written;
    if (::fstat(temp.fd(), &written) != 0 || static_cast<std::uint64_t>(written.st_size) != total)
        Fail(SaveStep::ReadBack, EIO, path);
    if (plan.verify) plan.verify(temp.path());

    // Another program may have changed the file meanwhile without asking for the lock.
    if ((old->mapping && old->mapping->shortened()) || LstatIdentity(path) != old->identity)
        Changed(path);
    TempFile oldVersion;
    LinkOldVersion(*old, folder, path, oldVersion);
    Step(SaveStep::Rename, path);
    if (::rename(temp.path().c_str(), path.c_str()) != 0) Fail(SaveStep::Rename, errno, path);
    temp.keep();
    int backupFailure = InjectedFault(SaveStep::Backup, 1);
    if (backupFailure == 0 && ::rename(oldVersion.path().c_str(), (path + "~").c_str()) != 0)
        backupFailure = errno;
    if (backupFailure != 0) {
        // Without its "~" the change could not be undone: the old version goes back.
        if (::rename(oldVersion.path().c_str(), path.c_str()) == 0) oldVersion.keep();
        ::fsync(lock.fd());
        Fail(SaveStep::Backup, backupFailure, path);
    }
    oldVersion.keep();
    int failure = InjectedFault(SaveStep::SyncFolder, 0);
    if (failure == 0 && ::fsync(lock.fd()) != 0) failure = errno;
    if (failure != 0) {
        RollBack(folder, path, lock.fd());
        Fail(SaveStep::SyncFolder, failure, path);
    }
    return {path, LstatIdentity(path), LstatIdentity(path + "~")};
}

void RemoveLeftoverTemps(const std::string &folder) {
    const std::string dir =
        folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
    // A save running now holds the lock; its files are not leftovers.
    const FolderLock lock(dir, false);
    if (!lock.locked()) return;
    DIR *entries = ::opendir(dir.c_str());
    if (entries == nullptr) return;
    while (const dirent *entry = ::readdir(entries)) {
        const std::string_view entryName(entry->d_name);
        if (entryName.substr(0, kTempPrefix.size()) != kTempPrefix) continue;
        struct stat info;
        if (::fstatat(::dirfd(entries), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode))
            ::unlinkat(::dirfd(entries), entry->d_name, 0);
    }
    ::closedir(entries);
}

}  // namespace sapidoro
