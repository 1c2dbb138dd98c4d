#include "SampleData.h"

#include <gtest/gtest.h>

#include <string>

using sapidoro::test::ReadBytes;
using sapidoro::test::SampleFile;

namespace {

// The first byte that breaks the text conventions of the sample files, or an empty text:
// every line ends in CR LF, no Ctrl-Z cuts the file short, only Windows-1252 characters.
std::string FirstFault(const std::string &bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        const std::string at = " at byte " + std::to_string(i);
        if (byte == '\r' && next != '\n') return "lone CR" + at;
        if (byte == '\n' && (i == 0 || bytes[i - 1] != '\r')) return "lone LF" + at;
        if (byte < 32 && byte != '\r' && byte != '\n') return "control byte" + at;
        if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D)
            return "byte undefined in Windows-1252" + at;
        // An "Ã" before a UTF-8 continuation byte betrays text saved as UTF-8.
        if (byte == 0xC3 && (next & 0xC0) == 0x80) return "UTF-8 sequence" + at;
    }
    return {};
}

void ExpectCrLfText(const std::string &name) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadBytes(SampleFile(name));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(FirstFault(bytes), "");
}

}  // namespace

TEST(SampleFiles, AreWindows1252TextWithCrLfLineEnds) {
    ExpectCrLfText("ricette.txt");
    ExpectCrLfText("ing.txt");
    ExpectCrLfText("luoghi.txt");
}

TEST(SampleFiles, RecipeFileHoldsTheItalianAccentsAsSingleBytes) {
    const std::string bytes = ReadBytes(SampleFile("ricette.txt"));
    // à è é ì ò ù in Windows-1252.
    for (const char accent : {'\xE0', '\xE8', '\xE9', '\xEC', '\xF2', '\xF9'})
        EXPECT_NE(bytes.find(accent), std::string::npos)
            << "missing byte 0x" << std::hex << (static_cast<int>(accent) & 0xFF);
}

TEST(SampleFiles, RecipeFileStartsAndEndsWithTheSeparatorLine) {
    const std::string bytes = ReadBytes(SampleFile("ricette.txt"));
    EXPECT_EQ(bytes.rfind(":Ricette\r\n-Nome\r\n", 0), 0u);
    // Nothing after the last record's separator line, not even an empty line.
    const std::string end = "\r\n:Ricette\r\n";
    ASSERT_GE(bytes.size(), end.size());
    EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
}
