#include "picture/JpegDecoder.h"

#include "picture/BmpWriter.h"
#include "picture/JpegErrors.h"
#include "picture/JpegSession.h"

namespace sapidoro {

namespace {

// Destroys the decompression object however decoding ends.
class SessionCloser {
public:
    explicit SessionCloser(jpeg::Session &session) : m_session(session) {}
    ~SessionCloser() { jpeg::Close(&m_session); }
    SessionCloser(const SessionCloser &) = delete;
    SessionCloser &operator=(const SessionCloser &) = delete;

private:
    jpeg::Session &m_session;
};

}  // namespace

QImage DecodeJpeg(std::span<const std::uint8_t> data, const JpegDecodeOptions &options,
                  const JpegProgress &progress, const JpegDecodeLimits &limits) {
    if (data.empty()) return {};

    jpeg::Session session{};
    SessionCloser closer(session);
    const auto check = [&session](bool ok) {
        if (!ok) throw EJPEGException(session.error.message);
    };

    check(jpeg::Open(&session, data.data(), data.size(), &limits));
    check(jpeg::ReadHeader(&session, &options));
    // Sized from the header, before libjpeg allocates its own whole-image buffers.
    BmpWriter writer(session.cinfo, limits.maxBitmapBytes);
    check(jpeg::Start(&session));
    writer.setColourTable(session.cinfo);

    const jpeg_decompress_struct &cinfo = session.cinfo;
    const std::uint64_t height = cinfo.output_height;
    int lastReported = 0;
    while (cinfo.output_scanline < height) {
        check(jpeg::ReadRow(&session, writer.row(cinfo.output_scanline)));
        const int percent = static_cast<int>(std::uint64_t{cinfo.output_scanline} * 100 / height);
        if (percent != lastReported && progress.step > 0 && percent % progress.step == 0) {
            lastReported = percent;
            if (progress.report) progress.report(percent);
        }
    }
    check(jpeg::Finish(&session));

    if (session.error.pub.num_warnings > 0) throw EJPEGException("There are warnings");
    return writer.take();
}

}  // namespace sapidoro
