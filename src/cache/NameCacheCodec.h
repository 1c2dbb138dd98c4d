#pragma once

#include "scan/FileMapping.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace sapidoro {

class NameCatalog;

// The bytes of a name cache: a header that names the file and the format, then the
// listing's parts, each bounds-checked on the way back.
class NameCacheCodec {
public:
    static constexpr std::uint32_t kFormatVersion = 1;
    static constexpr std::size_t kEdgeBytes = 64 * 1024;

    // What a cache says of the file it was made from.
    struct Source {
        FileIdentity identity;
        std::uint64_t edgeChecksum = 0;
        std::int64_t walkedSeconds = 0;
    };

    // The cache of `catalog` (sorted, before its display texts) for the file `source` tells.
    static std::string Encode(const NameCatalog &catalog, const Source &source);
    // The source a cache names; nothing when its header is not whole and sound.
    static std::optional<Source> SourceOf(std::string_view cache);
    // The listing a cache holds, its table over `mapping`; nothing when any part of it is
    // out of bounds or inconsistent, or its checksum is wrong.
    static std::unique_ptr<NameCatalog> Decode(std::string_view cache,
                                               std::shared_ptr<const FileMapping> mapping);

    // Sets the checksums of a cache's body and header to match what they hold.
    static void Seal(std::string &cache);

    // The checksum of the first and last `kEdgeBytes` of a file's bytes.
    static std::uint64_t EdgeChecksum(std::string_view file);
    // A fast 64-bit checksum.
    static std::uint64_t Checksum(std::string_view bytes, std::uint64_t seed = 0);
};

}  // namespace sapidoro
