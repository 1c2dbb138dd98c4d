#include "scan/FileMapping.h"

#include "common/CheckedOpen.h"
#include "common/Exception.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

namespace sapidoro {

namespace {

// The live mappings the SIGBUS handler may mend; plain atomics, so that the handler reads
// them safely.
struct WatchedRange {
    std::atomic<bool> taken{false};
    std::atomic<std::uintptr_t> begin{0}, end{0};
    std::atomic<bool> shortened{false};
};
constexpr int kWatchSlots = 64;
WatchedRange g_watched[kWatchSlots];
struct sigaction g_previous;

std::uintptr_t PageSize() {
    static const std::uintptr_t size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

void PassOn(int signal, siginfo_t *info, void *context) {
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) g_previous.sa_sigaction(signal, info, context);
        return;
    }
    if (g_previous.sa_handler == SIG_IGN) return;
    if (g_previous.sa_handler == SIG_DFL) {
        // Returning faults again, now with the default action: the process ends as it would
        // have without this handler.
        struct sigaction plain = {};
        plain.sa_handler = SIG_DFL;
        ::sigemptyset(&plain.sa_mask);
        ::sigaction(SIGBUS, &plain, nullptr);
        return;
    }
    g_previous.sa_handler(signal);
}

void OnBusError(int signal, siginfo_t *info, void *context) {
    const int savedErrno = errno;
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (WatchedRange &range : g_watched) {
        if (at < range.begin.load(std::memory_order_acquire) ||
            at >= range.end.load(std::memory_order_acquire))
            continue;
        // The file ends before this page now: zeros take its place and the read goes on.
        void *page = reinterpret_cast<void *>(at & ~(PageSize() - 1));
        if (::mmap(page, PageSize(), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) ==
            MAP_FAILED)
            break;
        range.shortened.store(true, std::memory_order_release);
        errno = savedErrno;
        return;
    }
    errno = savedErrno;
    PassOn(signal, info, context);
}

void InstallHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        PageSize();
        struct sigaction action = {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
        ::sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &g_previous);
    });
}

// The file's whole pages and the page of zeros after them.
std::size_t MappedLength(std::size_t size) {
    return ((size + PageSize() - 1) & ~(PageSize() - 1)) + PageSize();
}

int ClaimSlot() {
    for (int slot = 0; slot < kWatchSlots; ++slot) {
        bool expected = false;
        if (g_watched[slot].taken.compare_exchange_strong(expected, true)) return slot;
    }
    return -1;
}

}  // namespace

FileIdentity IdentityOf(const struct stat &info) {
    return {static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            static_cast<std::int64_t>(info.st_mtim.tv_sec),
            static_cast<std::int64_t>(info.st_mtim.tv_nsec),
            static_cast<std::int64_t>(info.st_ctim.tv_sec),
            static_cast<std::int64_t>(info.st_ctim.tv_nsec)};
}

std::unique_ptr<FileMapping> FileMapping::Open(const std::string &path) {
    if (path.empty()) throw EInOutError("File not found", ENOENT);
    if (path.find('\0') != std::string::npos) throw EInOutError("Invalid filename", EINVAL);
    // Only a regular file inside its folder is mapped; whatever else stands there is left to
    // the plain road, which refuses it with its own message.
    std::uint64_t checkedSize = 0;
    const int fd = OpenRegularFileInside(path, FolderOf(path), checkedSize);
    if (fd < 0 && errno == EACCES) return nullptr;
    if (fd < 0) throw EInOutError::fromErrno(errno);
    return OverDescriptor(fd);
}

std::unique_ptr<FileMapping> FileMapping::OverDescriptor(int fd) {
    struct stat info;
    const bool mappable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
                          static_cast<std::uintmax_t>(info.st_size) < SIZE_MAX / 2;
    const int slot = mappable ? ClaimSlot() : -1;
    if (slot < 0) {
        ::close(fd);
        return nullptr;
    }
    InstallHandler();
    const auto size = static_cast<std::size_t>(info.st_size);
    // A page of zeros follows the file's pages, so that readers may look past its end.
    void *reserved =
        ::mmap(nullptr, MappedLength(size), PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    void *data = reserved == MAP_FAILED
                     ? MAP_FAILED
                     : ::mmap(reserved, size, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0);
    if (data == MAP_FAILED) {
        if (reserved != MAP_FAILED) ::munmap(reserved, MappedLength(size));
        g_watched[slot].taken.store(false);
        ::close(fd);
        return nullptr;
    }
    // The readers go from the first byte to the last.
    ::madvise(data, size, MADV_SEQUENTIAL);
    return std::unique_ptr<FileMapping>(
        new FileMapping(fd, static_cast<const char *>(data), IdentityOf(info), slot));
}

FileMapping::FileMapping(int fd, const char *data, const FileIdentity &identity, int slot)
    : m_fd(fd), m_data(data), m_size(identity.size), m_slot(slot), m_identity(identity) {
    const std::size_t size = m_size;
    WatchedRange &range = g_watched[slot];
    range.shortened.store(false);
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    range.end.store(begin + ((size + PageSize() - 1) & ~(PageSize() - 1)),
                    std::memory_order_release);
    range.begin.store(begin, std::memory_order_release);
}

FileMapping::~FileMapping() {
    WatchedRange &range = g_watched[m_slot];
    range.begin.store(0, std::memory_order_release);
    range.end.store(0, std::memory_order_release);
    // The zero pages mapped over it go with the rest.
    ::munmap(const_cast<char *>(m_data), MappedLength(m_size));
    ::close(m_fd);
    range.taken.store(false, std::memory_order_release);
}

bool FileMapping::shortened() const {
    return g_watched[m_slot].shortened.load(std::memory_order_acquire);
}

std::size_t FileMapping::currentSize() const {
    struct stat info;
    if (::fstat(m_fd, &info) != 0 || info.st_size < 0) return 0;
    return static_cast<std::size_t>(info.st_size);
}

namespace detail {
int WatchedMappings() {
    int count = 0;
    for (const WatchedRange &range : g_watched) count += range.begin.load() != 0;
    return count;
}
}  // namespace detail

}  // namespace sapidoro
