#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sapidoro {

// Where a text file's bytes come from: a file on disk, or memory in tests and fuzzing.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to `capacity` bytes; returns 0 at the end. Throws EInOutError on failure.
    virtual std::size_t read(char *buffer, std::size_t capacity) = 0;
};

// Opens `path` read-only; throws EInOutError with the runtime text when that fails. Only a
// regular file that lies, links resolved, in the folder the path names is opened; anything
// else is "File access denied" and never read. The file is read with plain reads into the
// caller's buffer, never mapped, and only up to the size it had when opened: a file that
// another program shortens meanwhile just ends early, one that grows ends where it was.
std::unique_ptr<ByteSource> OpenFileSource(const std::string &path);
// The same, serving the file's bytes from `offset` on.
std::unique_ptr<ByteSource> OpenFileSourceFrom(const std::string &path, std::uint64_t offset);

// Serves `bytes`, at most `maxRead` of them per read (fewer than asked, as a pipe may).
std::unique_ptr<ByteSource> MakeMemorySource(std::string bytes,
                                             std::size_t maxRead = static_cast<std::size_t>(-1));

}  // namespace sapidoro
