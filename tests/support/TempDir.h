#pragma once

#include <QTemporaryDir>

#include <string>

namespace sapidoro::test {

// A data folder in a temporary directory, filled from literal bytes.
class TempDir {
public:
    TempDir();
    // The folder path, ending with "/".
    const std::string &path() const { return m_path; }
    QString qpath() const { return QString::fromStdString(m_path); }
    std::string file(const std::string &name) const { return m_path + name; }
    // Writes `bytes` exactly as given (no line-end conversion) and returns the file path.
    std::string write(const std::string &name, const std::string &bytes) const;
    std::string read(const std::string &name) const;
    // Sets the file's modification time `seconds` back from now, as for a file written
    // earlier; returns the file path.
    std::string backdate(const std::string &name, int seconds = 3600) const;

private:
    QTemporaryDir m_dir;
    std::string m_path;
};

// Joins lines with CR LF, ending the last one too.
std::string CrLf(std::initializer_list<std::string> lines);

}  // namespace sapidoro::test
