#include "picture/JpegSession.h"

#include <algorithm>
#include <cstring>

#include <jerror.h>

namespace sapidoro::jpeg {

namespace {

// Supplied in place of missing data, so that a truncated file still ends.
const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};

ErrorManager *Errors(j_common_ptr cinfo) {
    return reinterpret_cast<ErrorManager *>(cinfo->err);
}
MemorySource *Source(j_decompress_ptr cinfo) {
    return reinterpret_cast<MemorySource *>(cinfo->src);
}

// libjpeg's message, with bytes in the program's hexadecimal notation ("$ff", not "0xff").
void FormatLibraryMessage(j_common_ptr cinfo, char *out) {
    const jpeg_error_mgr *err = cinfo->err;
    const int code = err->msg_code;
    const char *format =
        code > 0 && code <= err->last_jpeg_message ? err->jpeg_message_table[code] : nullptr;
    if (format == nullptr || std::strstr(format, "0x%") == nullptr) {
        (*err->format_message)(cinfo, out);
        return;
    }
    char dollar[JMSG_LENGTH_MAX];
    std::size_t n = 0;
    for (const char *p = format; *p != '\0' && n + 1 < sizeof dollar; ++p) {
        if (p[0] == '0' && p[1] == 'x' && p[2] == '%') {
            dollar[n++] = '$';
            ++p;
        } else {
            dollar[n++] = *p;
        }
    }
    dollar[n] = '\0';
    const int *i = err->msg_parm.i;
    std::snprintf(out, JMSG_LENGTH_MAX, dollar, i[0], i[1], i[2], i[3], i[4], i[5], i[6], i[7]);
}

extern "C" void ExitWithMessage(j_common_ptr cinfo) {
    ErrorManager *errors = Errors(cinfo);
    FormatLibraryMessage(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings are only counted; the caller reports them as one error after decoding.
extern "C" void DiscardMessage(j_common_ptr) {}

extern "C" void LimitScans(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    const auto *limit = reinterpret_cast<ScanLimit *>(cinfo->progress);
    const int scan = reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number;
    if (scan <= limit->maxScans) return;
    ErrorManager *errors = Errors(cinfo);
    std::snprintf(errors->message, sizeof errors->message, "JPEG file has more than %d scans",
                  limit->maxScans);
    std::longjmp(errors->jump, 1);
}

extern "C" void InitSource(j_decompress_ptr) {}
extern "C" void TermSource(j_decompress_ptr) {}

extern "C" boolean FillInputBuffer(j_decompress_ptr cinfo) {
    MemorySource *source = Source(cinfo);
    if (source->position >= source->size) {
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->pub.next_input_byte = kEndOfImage;
        source->pub.bytes_in_buffer = sizeof kEndOfImage;
        return TRUE;
    }
    const std::size_t chunk = std::min(kChunkSize, source->size - source->position);
    source->pub.next_input_byte = source->data + source->position;
    source->pub.bytes_in_buffer = chunk;
    source->position += chunk;
    return TRUE;
}

extern "C" void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    MemorySource *source = Source(cinfo);
    auto remaining = static_cast<unsigned long>(count);
    while (remaining > source->pub.bytes_in_buffer) {
        remaining -= source->pub.bytes_in_buffer;
        const bool exhausted = source->position >= source->size;
        FillInputBuffer(cinfo);
        // Past the end there is nothing to skip: leave the supplied end marker whole.
        if (exhausted) return;
    }
    source->pub.next_input_byte += remaining;
    source->pub.bytes_in_buffer -= remaining;
}

int NextByte(j_decompress_ptr cinfo) {
    jpeg_source_mgr *source = cinfo->src;
    if (source->bytes_in_buffer == 0) (*source->fill_input_buffer)(cinfo);
    --source->bytes_in_buffer;
    return *source->next_input_byte++;
}

// A comment marker carries nothing for the picture: skip its length less the length field.
extern "C" boolean SkipComment(j_decompress_ptr cinfo) {
    const int high = NextByte(cinfo);
    const long length = high * 256L + NextByte(cinfo);
    if (length > 2) (*cinfo->src->skip_input_data)(cinfo, length - 2);
    return TRUE;
}

}  // namespace

void ApplyOptions(jpeg_decompress_struct *cinfo, const JpegDecodeOptions *options) {
    switch (options->numOfColors) {
        case TNumOfColors::_16:
            cinfo->quantize_colors = TRUE;
            cinfo->desired_number_of_colors = 16;
            break;
        case TNumOfColors::_256:
            cinfo->quantize_colors = TRUE;
            cinfo->desired_number_of_colors = 256;
            break;
        case TNumOfColors::TrueColor:
            break;
    }
    switch (options->dctMethod) {
        case TDCTMethod::Integ:
            cinfo->dct_method = JDCT_ISLOW;
            break;
        case TDCTMethod::FastInteg:
            cinfo->dct_method = JDCT_IFAST;
            break;
        case TDCTMethod::FloatingPoint:
            cinfo->dct_method = JDCT_FLOAT;
            break;
    }
    switch (options->dither) {
        case TDither::None:
            cinfo->dither_mode = JDITHER_NONE;
            break;
        case TDither::FS:
            cinfo->dither_mode = JDITHER_FS;
            break;
        case TDither::Ordered:
            cinfo->dither_mode = JDITHER_ORDERED;
            break;
    }
    if (options->fastProcessing) {
        cinfo->two_pass_quantize = FALSE;
        cinfo->dither_mode = JDITHER_ORDERED;
        cinfo->dct_method = JDCT_IFAST;
        cinfo->do_fancy_upsampling = FALSE;
    }
    if (options->grayScale) cinfo->out_color_space = JCS_GRAYSCALE;
    if (options->noSmooth) cinfo->do_fancy_upsampling = FALSE;
    if (options->onePass) cinfo->two_pass_quantize = FALSE;
}

bool Open(Session *session, const unsigned char *data, std::size_t size,
          const JpegDecodeLimits *limits) {
    jpeg_decompress_struct *cinfo = &session->cinfo;
    cinfo->err = jpeg_std_error(&session->error.pub);
    session->error.pub.error_exit = ExitWithMessage;
    session->error.pub.output_message = DiscardMessage;
    session->error.pub.trace_level = 0;
    if (setjmp(session->error.jump)) return false;
    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = static_cast<long>(limits->maxLibraryBytes);

    session->scanLimit.pub.progress_monitor = LimitScans;
    session->scanLimit.maxScans = limits->maxScans;
    cinfo->progress = &session->scanLimit.pub;

    jpeg_set_marker_processor(cinfo, JPEG_COM, SkipComment);

    MemorySource *source = &session->source;
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.next_input_byte = nullptr;
    source->pub.bytes_in_buffer = 0;
    source->data = data;
    source->size = size;
    source->position = 0;
    cinfo->src = &source->pub;
    return true;
}

bool ReadHeader(Session *session, const JpegDecodeOptions *options) {
    if (setjmp(session->error.jump)) return false;
    ApplyOptions(&session->cinfo, options);
    jpeg_read_header(&session->cinfo, TRUE);
    // Reading the header reset the parameters to libjpeg's defaults.
    ApplyOptions(&session->cinfo, options);
    jpeg_calc_output_dimensions(&session->cinfo);
    return true;
}

bool Start(Session *session) {
    if (setjmp(session->error.jump)) return false;
    jpeg_start_decompress(&session->cinfo);
    return true;
}

bool ReadRow(Session *session, JSAMPROW row) {
    if (setjmp(session->error.jump)) return false;
    JSAMPROW rows[1] = {row};
    if (jpeg_read_scanlines(&session->cinfo, rows, 1) != 1) {
        std::snprintf(session->error.message, sizeof session->error.message,
                      "JPEG decoder returned no row");
        return false;
    }
    return true;
}

bool Finish(Session *session) {
    if (setjmp(session->error.jump)) return false;
    jpeg_finish_decompress(&session->cinfo);
    return true;
}

void Close(Session *session) {
    jpeg_destroy_decompress(&session->cinfo);
}

}  // namespace sapidoro::jpeg
