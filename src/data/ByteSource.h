#pragma once

#include <cstddef>
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

// Opens `path` read-only; throws EInOutError with the runtime text when that fails.
std::unique_ptr<ByteSource> OpenFileSource(const std::string &path);

std::unique_ptr<ByteSource> MakeMemorySource(std::string bytes);

}  // namespace sapidoro
