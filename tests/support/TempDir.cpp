#include "support/TempDir.h"

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sapidoro::test {

TempDir::TempDir() : m_path(m_dir.path().toStdString() + "/") {
    if (!m_dir.isValid()) throw std::runtime_error("cannot create a temporary directory");
}

std::string TempDir::write(const std::string &name, const std::string &bytes) const {
    const std::string full = file(name);
    const auto slash = name.rfind('/');
    if (slash != std::string::npos)
        QDir().mkpath(QString::fromStdString(file(name.substr(0, slash))));
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full);
    return full;
}

std::string TempDir::backdate(const std::string &name, int seconds) const {
    const std::string full = file(name);
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    const struct timespec times[2] = {now, {now.tv_sec - seconds, now.tv_nsec}};
    if (::utimensat(AT_FDCWD, full.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot backdate " + full);
    return full;
}

std::string TempDir::read(const std::string &name) const {
    std::ifstream in(file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string CrLf(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string &line : lines) out += line + "\r\n";
    return out;
}

}  // namespace sapidoro::test
