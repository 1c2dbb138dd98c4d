#include "pageprinter/TextOutputFile.h"

#include "common/Exception.h"
#include "common/QtText.h"

#include <QFile>

#include <cerrno>

namespace sapidoro {

TextOutputFile::~TextOutputFile() {
    if (m_file) std::fclose(m_file);
}

void TextOutputFile::Create(const QString &path) {
    Close();
    errno = 0;
    m_file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!m_file) throw EInOutError::fromErrno(errno != 0 ? errno : EINVAL);
}

void TextOutputFile::Write(const QString &text) {
    WriteBytes(ToCp1252(text));
}

void TextOutputFile::WriteBytes(std::string_view bytes) {
    if (!m_file) throw EInOutError::fromErrno(EBADF);
    if (bytes.empty()) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        throw EInOutError::fromErrno(errno != 0 ? errno : EIO);
}

void TextOutputFile::Flush() {
    if (m_file && std::fflush(m_file) != 0) throw EInOutError::fromErrno(errno != 0 ? errno : EIO);
}

void TextOutputFile::Close() {
    if (!m_file) return;
    std::FILE *file = m_file;
    m_file = nullptr;
    if (std::fclose(file) != 0) throw EInOutError::fromErrno(errno != 0 ? errno : EIO);
}

}  // namespace sapidoro
