#pragma once

// libjpeg glue. Every function here is C-style: plain data only, because libjpeg's
// fatal-error exit longjmps back into whichever of them made the failing call. Each
// returns false after such an error, with libjpeg's formatted message in the session.

#include "picture/JpegOptions.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

namespace sapidoro::jpeg {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Reads the compressed data from memory in chunks, as a file source would.
struct MemorySource {
    jpeg_source_mgr pub;
    const JOCTET *data;
    std::size_t size;
    std::size_t position;
};

struct ScanLimit {
    jpeg_progress_mgr pub;
    int maxScans;
};

struct Session {
    jpeg_decompress_struct cinfo;
    ErrorManager error;
    MemorySource source;
    ScanLimit scanLimit;
};

// Bytes the data source hands to libjpeg at most per fill.
inline constexpr std::size_t kChunkSize = 4096;

// Creates the decompression object with its error manager, comment skipper and data source.
bool Open(Session *session, const unsigned char *data, std::size_t size,
          const JpegDecodeLimits *limits);
// Reads the header (an image is required) with the options applied before and after it,
// and computes the output dimensions.
bool ReadHeader(Session *session, const JpegDecodeOptions *options);
bool Start(Session *session);
// Reads one output row into `row`.
bool ReadRow(Session *session, JSAMPROW row);
bool Finish(Session *session);
// Frees the decompression object; safe on a session that was never opened.
void Close(Session *session);

// Sets the decompression parameters for `options`, later table rows overriding earlier ones.
void ApplyOptions(jpeg_decompress_struct *cinfo, const JpegDecodeOptions *options);

}  // namespace sapidoro::jpeg
