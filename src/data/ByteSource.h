#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace sapidoro {

// Where a text file's bytes come from: a file on disk, or memory in tests and fuzzing.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills up to `capacity` bytes; returns 0 at the end. Throws EInOutError on failure.
    virtual std::size_t read(char *buffer, std::size_t capacity) = 0;
    // The whole content in place when the source can show it so (a regular file mapped into
    // memory); empty otherwise, and then `read` is the way in.
    virtual std::string_view mapped() { return {}; }
};

// Opens `path` read-only; throws EInOutError with the runtime text when that fails.
std::unique_ptr<ByteSource> OpenFileSource(const std::string &path);

// `inPlace` makes the source show its bytes through `mapped`, as a mapped file does.
std::unique_ptr<ByteSource> MakeMemorySource(std::string bytes, bool inPlace = false);

}  // namespace sapidoro
