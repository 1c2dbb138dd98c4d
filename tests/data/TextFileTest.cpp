#include "common/Exception.h"
#include "data/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace sapidoro;

namespace {

// Reads every line up to the end of the file, with the given block size.
std::vector<std::string> Lines(const std::string &bytes, std::size_t blockSize = 3) {
    TextFile file(MakeMemorySource(bytes), blockSize);
    std::vector<std::string> lines;
    while (!file.eof()) lines.push_back(file.readLine());
    return lines;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(TextFile, LineEndsAreCrWithOptionalLf) {
    EXPECT_EQ(Lines("a\r\nb\rc"), (Strings{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\r\r\nb\r\n"), (Strings{"a", "", "b"}));
    // A lone LF stays in the line; a file of LF line ends is one single line.
    EXPECT_EQ(Lines("one\ntwo\nthree\n"), (Strings{"one\ntwo\nthree\n"}));
    EXPECT_EQ(Lines("a\n\r\n"), (Strings{"a\n"}));
    // An LF after a CR LF pair starts the next line.
    EXPECT_EQ(Lines("a\r\n\nb"), (Strings{"a", "\nb"}));
}

TEST(TextFile, CtrlZEndsTheFile) {
    EXPECT_EQ(Lines("a\r\nb\x1A\r\nc\r\n"), (Strings{"a", "b"}));
    EXPECT_EQ(Lines("\x1A"
                    "abc"),
              Strings{});
    EXPECT_EQ(Lines("a\r\x1A\n"), (Strings{"a"}));
}

TEST(TextFile, ReadingPastTheEndYieldsEmptyLines) {
    TextFile file(MakeMemorySource("x\r\n"), 2);
    EXPECT_FALSE(file.eof());
    EXPECT_EQ(file.readLine(), "x");
    EXPECT_TRUE(file.eof());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(file.readLine(), "");
    EXPECT_TRUE(file.eof());

    TextFile empty(MakeMemorySource(""));
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(empty.readLine(), "");
}

TEST(TextFile, LinesAndLineEndsSpanningBlocks) {
    const std::string bytes = "abcdefgh\r\nij\r\n\r\nklmnopqrstu\rv";
    const Strings expected{"abcdefgh", "ij", "", "klmnopqrstu", "v"};
    for (std::size_t block = 1; block <= bytes.size() + 1; ++block)
        EXPECT_EQ(Lines(bytes, block), expected) << "block size " << block;
    // A CR that ends a block with its LF opening the next one is one line end.
    EXPECT_EQ(Lines("ab\r\ncd", 3), (Strings{"ab", "cd"}));
    EXPECT_EQ(Lines(std::string(100000, 'x') + "\r\ny", 4096).front().size(), 100000u);
}

TEST(TextFile, SkippingALineConsumesItsWholeLineEnd) {
    // The LF of the first line end arrives in the next block, after the line was skipped.
    TextFile file(MakeMemorySource("ab\r\ncd\re"), 2);
    file.skipLine();
    EXPECT_EQ(file.readLine(), "cd");
    file.skipLine();
    EXPECT_TRUE(file.eof());
}

TEST(TextFile, OpeningFailuresCarryTheRuntimeTexts) {
    test::TempDir dir;
    try {
        TextFile file(dir.file("missing.txt"));
        FAIL() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_EQ(e.message(), "File not found");
    }
    try {
        TextFile file(dir.path());  // a folder cannot be read as a text file
        file.readLine();
        FAIL() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_EQ(e.message(), "File access denied");
    }
}
