#include "data/TextFile.h"
#include "scan/IndexedTextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

using namespace sapidoro;

namespace {

std::string RandomBytes(std::mt19937 &random, std::size_t size) {
    static const char alphabet[] = {'\r', '\r', '\n', '\n', ':', 'R', 'R', '-', 'P', 'a', '\x1A'};
    std::string bytes;
    for (std::size_t i = 0; i < size; ++i) {
        // Ctrl-Z is rare, so that most files have something after the first lines.
        char c = alphabet[random() % sizeof alphabet];
        if (c == '\x1A' && random() % 8 != 0) c = 'a';
        bytes.push_back(c);
    }
    return bytes;
}

}  // namespace

TEST(IndexedTextFile, MatchesThePlainReaderOnRandomBytes) {
    std::mt19937 random(20240601);
    const std::string markers[] = {":R", "R", "-P", ":RR", "a\n:"};
    for (int round = 0; round < 4000; ++round) {
        const std::string bytes = RandomBytes(random, random() % 80);
        const std::size_t blockSize = 1 + random() % 9;
        // Half the rounds read fewer bytes than asked, as from a pipe.
        const std::size_t maxRead = round % 2 == 0 ? blockSize : 1 + random() % 4;
        IndexedTextFile file(MakeMemorySource(bytes, maxRead), blockSize);
        // Watched markers are found by jumps, a watched prefix changes nothing.
        const unsigned watch = random() % 4;
        if (watch == 1) file.watchMarkers(":R");
        if (watch == 2) file.watchMarkers(":RR", "-P");
        if (watch == 3) file.watchMarkers("a\n:", "R");
        if (random() % 2) file.watchPrefix(markers[random() % std::size(markers)], random() % 2);
        TextFile reference(MakeMemorySource(bytes));
        for (int op = 0; op < 12; ++op) {
            const std::string &marker = markers[random() % std::size(markers)];
            const unsigned kind = random() % 3;
            SCOPED_TRACE(::testing::Message() << "round " << round << " op " << op << " kind "
                                              << kind << " marker " << marker);
            if (kind == 0) {
                ASSERT_EQ(file.readLine(), reference.readLine());
            } else if (kind == 1) {
                // Reading on by offset finds the same line.
                std::size_t end;
                const std::size_t next = file.lineAfter(0, end);
                ASSERT_EQ(std::string(file.bytes(0, end)), reference.readLine());
                file.advance(next);
            } else {
                ASSERT_EQ(file.skipPastLine(marker), reference.skipPastLine(marker));
            }
            ASSERT_EQ(file.eof(), reference.eof());
        }
        // Each operation consumed what the reference did: the rest of the file is the same.
        while (!reference.eof()) ASSERT_EQ(file.readLine(), reference.readLine()) << round;
        ASSERT_TRUE(file.eof());
    }
}

TEST(IndexedTextFile, FilesAreReadInPlaceWithTheSameRules) {
    test::TempDir dir;
    // A CR at the end of one block with its LF at the start of the next, and a Ctrl-Z.
    const auto path = dir.write("f.txt", "ab\r\ncd\r\n:R\r\nx\ny\r:R\r\n\x1A:R\r\n");
    for (std::size_t block : {1, 2, 3, 4, 5, 64}) {
        IndexedTextFile file(path, block);
        EXPECT_TRUE(file.skipPastLine(":R"));
        EXPECT_EQ(file.readLine(), "x\ny");
        EXPECT_TRUE(file.skipPastLine(":R"));
        EXPECT_TRUE(file.eof());
        EXPECT_FALSE(file.skipPastLine(":R"));
        EXPECT_EQ(file.readLine(), "");
    }
    IndexedTextFile file(path);
    EXPECT_THROW(file.skipPastLine(""), std::invalid_argument);
    EXPECT_THROW(file.skipPastLine("a\rb"), std::invalid_argument);
    // Watching does not make a marker with a CR acceptable.
    file.watchMarkers("b\r:R", ":R");
    EXPECT_THROW(file.skipPastLine("b\r:R"), std::invalid_argument);
    EXPECT_TRUE(file.skipPastLine(":R"));
}

TEST(IndexedTextFile, AMarkerLineStartingRightAtTheBufferedEndIsFound) {
    // In blocks of three bytes the walk over line ends stops exactly where ":R" begins.
    const std::string bytes =
        "a\r\n-Nome\r\nP ==== PASTA\r\n-Preparazione\r\np\r\n:R\r\nx\r\n:R\r\n";
    for (std::size_t block = 1; block <= 8; ++block) {
        IndexedTextFile file(MakeMemorySource(bytes), block);
        file.skipLine();
        EXPECT_TRUE(file.skipPastLine(":R")) << "block " << block;
        EXPECT_EQ(file.readLine(), "x") << "block " << block;
    }
}
