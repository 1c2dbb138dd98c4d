#pragma once

#include <QString>

#include <cstdio>
#include <string_view>

namespace sapidoro {

// The text file of the print-to-file road: Windows-1252 bytes, written as given. Failures
// raise EInOutError with the runtime's text.
class TextOutputFile {
public:
    TextOutputFile() = default;
    TextOutputFile(const TextOutputFile &) = delete;
    TextOutputFile &operator=(const TextOutputFile &) = delete;
    ~TextOutputFile();

    // Creates the file, overwriting an existing one.
    void Create(const QString &path);
    void Write(const QString &text);
    void WriteBytes(std::string_view bytes);
    void Flush();
    void Close();
    bool IsOpen() const { return m_file != nullptr; }

private:
    std::FILE *m_file = nullptr;
};

}  // namespace sapidoro
