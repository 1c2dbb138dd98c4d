#pragma once

#include "writer/RecipeFields.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace sapidoro {

// Where one record lies in a spool.
struct SpooledRecord {
    std::uint64_t at = 0;
    std::uint64_t size = 0;
};

// The encoded records of an import, kept between the preview and the save in an unnamed file
// of the temporary folder (gone with the spool, or with the process), so that the foreign file
// is read once and the records are never all held in memory. I/O failures throw EInOutError with an
// Italian message.
class RecordSpool {
public:
    RecordSpool();
    ~RecordSpool();
    RecordSpool(const RecordSpool &) = delete;
    RecordSpool &operator=(const RecordSpool &) = delete;

    // Encodes `recipe` at the end.
    SpooledRecord add(const RecipeFields &recipe);
    // The bytes of a record added; valid until the next call.
    std::string_view read(const SpooledRecord &record);

private:
    void flush();

    int m_fd = -1;
    std::uint64_t m_written = 0;  // bytes in the file
    std::string m_pending;        // bytes added after them
    std::string m_window;         // bytes read, from `m_windowAt` on
    std::uint64_t m_windowAt = 0;
};

}  // namespace sapidoro
