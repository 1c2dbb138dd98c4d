#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The encodings a foreign recipe file may come in.
enum class SourceEncoding { Utf8, Cp1252, Cp437 };

// Guesses the encoding from the start of a file: valid UTF-8 with a multi-byte character (or a
// byte-order mark) is UTF-8; otherwise accented letters are looked for where Italian and
// Western words put them, in the positions each DOS and Windows code page gives them.
SourceEncoding DetectEncoding(std::string_view sample);

// The encoding's name for messages.
const char *EncodingName(SourceEncoding encoding);

// Converts text of one encoding to Windows-1252, noting the characters that have no byte
// there (they become '?'). Invalid UTF-8 bytes are read as Windows-1252.
class Cp1252Converter {
public:
    explicit Cp1252Converter(SourceEncoding encoding);

    std::string convert(std::string_view text);
    void convertInto(std::string_view text, std::string &out);
    // The text converted: `text` itself when it needs no change, else converted into `scratch`.
    std::string_view convertView(std::string_view text, std::string &scratch);

    // The distinct characters met since the last `takeUnwritable`, in order of meeting.
    std::vector<char32_t> takeUnwritable();

private:
    void noteUnwritable(char32_t codePoint);
    void convertUtf8(std::string_view text, std::string &out);

    SourceEncoding m_encoding;
    std::vector<char32_t> m_unwritable;
};

// Decodes one UTF-8 sequence at `text[i]`: returns its code point and advances `i`, or returns
// -1 (and advances by one byte) for an invalid or cut-short sequence.
std::int32_t DecodeUtf8(std::string_view text, std::size_t &i);

// "«c» (U+XXXX)" in UTF-8, for messages.
std::string DescribeCharacter(char32_t codePoint);

}  // namespace sapidoro
