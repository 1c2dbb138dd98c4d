#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <sys/stat.h>

namespace sapidoro {

// What tells one state of a file from another: where it lives, its size, when its bytes last
// changed, and when anything about it last changed (its permissions, say).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;
    bool operator==(const FileIdentity &) const = default;
};

// The identity of a file as `stat` tells it.
FileIdentity IdentityOf(const struct stat &info);

// A read-only mapping of a regular file's bytes, as long as the file was at open, so that
// readers look at the file in place instead of copying it. At least a page of zeros follows
// the file's last byte, so that a reader may look that far past the end.
//
// Another program may shorten the file meanwhile; a page past its new end then faults. A
// process-wide SIGBUS handler maps a page of zeros over the faulting page of a live mapping
// and marks the mapping as shortened, so that the read goes on with zeros instead of a
// crash; readers check `shortened()` before they trust what they read. Faults elsewhere
// go to the handler that was there before.
class FileMapping {
public:
    // Opens `path` (never blocking, as a pipe would) and maps it when it is a non-empty regular
    // file inside its folder; nothing when it is not (a pipe, a device, a link out of the
    // folder, an empty file) or cannot be mapped, and the caller reads it the plain way.
    // Throws EInOutError when it cannot be opened.
    static std::unique_ptr<FileMapping> Open(const std::string &path);
    // Maps the file open on `fd`, which the mapping then owns (it is closed as well when
    // nothing is mapped): a file in memory, say, that has no path in a data folder.
    static std::unique_ptr<FileMapping> OverDescriptor(int fd);

    ~FileMapping();
    FileMapping(const FileMapping &) = delete;
    FileMapping &operator=(const FileMapping &) = delete;

    const char *data() const { return m_data; }
    // The file's size at open; the mapping covers whole pages up to it.
    std::size_t size() const { return m_size; }
    // The file as it was when it was mapped.
    const FileIdentity &identity() const { return m_identity; }
    // True once a page past the file's current end has been read (it read as zeros).
    bool shortened() const;
    // The file's current size, or 0 when it cannot be told.
    std::size_t currentSize() const;

private:
    FileMapping(int fd, const char *data, const FileIdentity &identity, int slot);

    int m_fd;
    const char *m_data;
    std::size_t m_size;
    int m_slot;  // place in the handler's table of live mappings
    FileIdentity m_identity;
};

namespace detail {
// Test hook: the number of mappings the SIGBUS handler watches now.
int WatchedMappings();
}  // namespace detail

}  // namespace sapidoro
