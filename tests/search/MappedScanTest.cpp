// The mapped road of the recipe reader against the plain read road, and a file changed
// under a scan by another program.
#include "common/Exception.h"
#include "scan/FileMapping.h"
#include "scan/IndexedTextFile.h"
#include "search/NameCatalog.h"
#include "search/RecipeScan.h"
#include "search/RecordJump.h"
#include "support/RandomRecipes.h"
#include "support/ReferenceLines.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>

using namespace sapidoro;
using sapidoro::test::RandomCollection;
using sapidoro::test::TempDir;
using Strings = std::vector<std::string>;

namespace {

Strings Scan(IndexedTextFile &file, SearchScope scope, std::string_view needle,
             const std::function<void()> &onRecord = {}) {
    Strings got;
    ScanRecipes(
        file, scope, needle, [&](std::string_view name) { got.emplace_back(name); }, onRecord);
    return got;
}

}  // namespace

TEST(MappedRead, LinesAndScansAreThoseOfThePlainRoad) {
    TempDir dir;
    std::mt19937 random(23);
    const SearchScope scopes[] = {SearchScope::Ingredienti, SearchScope::Nome, SearchScope::Persone,
                                  SearchScope::Luogo, SearchScope::Piatto};
    const std::string needles[] = {"sale", "a", "2", "past", ":R", "-P", "\xE8", ""};
    std::size_t mapped = 0, matches = 0;
    for (int round = 0; round < 400; ++round) {
        const std::string bytes = RandomCollection(random);
        const std::string path = dir.write("ricette.txt", bytes);
        const std::size_t blockSize = 1 + random() % 700;
        {
            // Line by line against the plain reference.
            const auto file = IndexedTextFile::MapOrOpen(path, blockSize);
            test::ReferenceLines reference(bytes);
            int lines = 0;
            while (!reference.eof() && !file->eof()) {
                ASSERT_EQ(file->readLine(), reference.readLine()) << round << " line " << lines;
                ++lines;
            }
            // A Ctrl-Z ends the file for the reader only.
            EXPECT_TRUE(file->eof()) << round;
            EXPECT_FALSE(file->shortened());
        }
        const SearchScope scope = scopes[random() % std::size(scopes)];
        const std::string &needle = needles[random() % std::size(needles)];
        IndexedTextFile plain(MakeMemorySource(bytes), blockSize);
        const Strings expected = Scan(plain, scope, needle);
        matches += expected.size();
        const auto file = IndexedTextFile::MapOrOpen(path, blockSize);
        ASSERT_EQ(Scan(*file, scope, needle), expected) << round << " needle " << needle;
        mapped += FileMapping::Open(path) != nullptr;
    }
    // The rounds must exercise the mapped road and the matching.
    EXPECT_GT(mapped, 300u);
    EXPECT_GT(matches, 1000u);
}

TEST(MappedRead, OtherThanARegularFileTheFileIsReadThePlainWay) {
    TempDir dir;
    EXPECT_EQ(FileMapping::Open("/dev/null"), nullptr);
    // A device is not mapped, and the plain road refuses it.
    try {
        IndexedTextFile::MapOrOpen("/dev/null");
        ADD_FAILURE() << "a device was read";
    } catch (const EInOutError &error) {
        EXPECT_EQ(error.message(), "File access denied");
    }
    const std::string empty = dir.write("vuoto.txt", "");
    EXPECT_EQ(FileMapping::Open(empty), nullptr);
    EXPECT_TRUE(IndexedTextFile::MapOrOpen(empty)->eof());
    // A file that cannot be opened fails as on the plain road.
    for (const std::string &path : {dir.file("manca.txt"), std::string()}) {
        std::string mappedError, plainError;
        try {
            IndexedTextFile::MapOrOpen(path);
        } catch (const EInOutError &error) {
            mappedError = error.message();
        }
        try {
            IndexedTextFile plain(path);
        } catch (const EInOutError &error) {
            plainError = error.message();
        }
        EXPECT_EQ(mappedError, plainError);
        EXPECT_EQ(mappedError, "File not found");
    }
    const int before = detail::WatchedMappings();
    {
        const std::string path = dir.write("ricette.txt", std::string(5000, 'x'));
        const auto mapping = FileMapping::Open(path);
        ASSERT_NE(mapping, nullptr);
        EXPECT_EQ(detail::WatchedMappings(), before + 1);
    }
    EXPECT_EQ(detail::WatchedMappings(), before);
}

namespace {

constexpr int kRecords = 3000;

std::string RecordOf(int number) {
    return "-Nome\r\nRicetta " + std::to_string(number) +
           "\r\n-Piatto\r\nPrimo\r\n-I\r\nx\r\n-Persone\r\n4\r\n-Luogo\r\nRoma\r\n-Ingredienti\r\n"
           "1 pizzico === sale\r\n200 g === farina\r\n-Preparazione\r\n" +
           std::string(150, 'm') + "\r\n:Ricette\r\n";
}

}  // namespace

// Another program shortens, grows or replaces the file while a scan walks it: the scan
// never crashes; a shortened file ends where it now ends, with every record before the cut
// reported and nothing from past it.
TEST(MappedRead, AFileChangedMidScanGivesACleanResult) {
    TempDir dir;
    std::string bytes = ":Ricette\r\n";
    std::vector<std::size_t> starts;
    for (int r = 0; r < kRecords; ++r) {
        starts.push_back(bytes.size());
        bytes += RecordOf(r);
    }
    Strings all;
    for (int r = 0; r < kRecords; ++r) all.push_back("Ricetta " + std::to_string(r));
    const Strings firstHalf(all.begin(), all.begin() + kRecords / 2);
    const std::string path = dir.file("ricette.txt");

    struct Case {
        const char *what;
        std::function<void()> change;
        Strings expected;
        bool shortened;
    };
    const Case cases[] = {
        {"cut in the middle of a record",
         [&] {
             ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(starts[kRecords / 2] + 12)), 0);
         },
         firstHalf, true},
        {"cut to nothing", [&] { ASSERT_EQ(::truncate(path.c_str(), 0), 0); },
         Strings(all.begin(), all.begin() + 100), true},
        {"grown", [&] { dir.write("ricette.txt", bytes + RecordOf(kRecords)); }, all, false},
        {"replaced",
         [&] {
             const std::string other = dir.write("nuovo.txt", ":Ricette\r\n" + RecordOf(-1));
             ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
         },
         all, false},
    };
    // Both roads: the walk, and the start-up walk's record table.
    for (const bool tabled : {false, true}) {
        for (const SearchScope scope : {SearchScope::Ingredienti, SearchScope::Nome}) {
            for (const Case &change : cases) {
                dir.write("ricette.txt", bytes);
                dir.backdate("ricette.txt");
                const NameCatalog catalog = NameCatalog::List(path);
                int record = 0;
                Strings got;
                const std::string needle = scope == SearchScope::Nome ? "ricetta" : "SALE";
                const auto onMatch = [&](std::string_view name) { got.emplace_back(name); };
                const auto onRecord = [&] {
                    if (++record == 100) change.change();
                };
                if (tabled) {
                    EXPECT_GE(
                        ScanRecipes(path, catalog.records(), scope, needle, onMatch, onRecord),
                        100u);
                    // The table lets go of a file that changed.
                    EXPECT_EQ(catalog.records().mappingOf(path), nullptr) << change.what;
                } else {
                    const auto file = IndexedTextFile::MapOrOpen(path, 4096);
                    ScanRecipes(*file, scope, needle, onMatch, onRecord);
                    EXPECT_EQ(file->shortened(), change.shortened) << change.what;
                }
                // Past the change the scan still sees the file as it was at open, up to the cut.
                EXPECT_EQ(got, change.expected) << change.what << " tabled " << tabled;
            }
        }
    }
    // The start-up listing stops at a cut seen mid-walk the same way; a file cut before it
    // began is simply shorter.
    dir.write("ricette.txt", bytes);
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(starts[10])), 0);
    EXPECT_EQ(NameCatalog::List(path).size(), 10u);
}

TEST(MappedReadDeathTest, ABusErrorOutsideAMappedDataFileStillEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir dir;
    const std::string watched = dir.write("ricette.txt", std::string(8192, 'x'));
    const std::string unwatched = dir.write("altro.bin", std::string(8192, 'y'));
    // The fault ends the process by its signal, or through the report of a handler that was
    // in place before (a sanitizer's); a read that goes through exits with 0.
    const auto endedByTheFault = [](int status) {
        return WIFSIGNALED(status) ? WTERMSIG(status) == SIGBUS
                                   : WIFEXITED(status) && WEXITSTATUS(status) != 0;
    };
    EXPECT_EXIT(
        {
            // The handler is in place while a data file is mapped.
            const auto mapping = FileMapping::Open(watched);
            const int fd = ::open(unwatched.c_str(), O_RDONLY);
            void *other = ::mmap(nullptr, 8192, PROT_READ, MAP_SHARED, fd, 0);
            if (mapping == nullptr || other == MAP_FAILED ||
                ::ftruncate(::open(unwatched.c_str(), O_WRONLY), 0) != 0)
                std::_Exit(0);
            const char byte =
                static_cast<volatile char *>(other)[4096];  // the page is gone: this read faults
            static_cast<void>(byte);
            std::_Exit(0);
        },
        endedByTheFault, "");
}

namespace {

// Whether `got` holds names of `all` only, in the order of `all`.
bool InOrderWithin(const Strings &got, const Strings &all) {
    auto at = all.begin();
    for (const std::string &name : got) {
        at = std::find(at, all.end(), name);
        if (at == all.end()) return false;
        ++at;
    }
    return true;
}

struct Cut {
    int fd = -1;
    std::size_t read = 0, offset = 0;
};

void CutAtRead(void *context, std::size_t read) {
    const Cut &cut = *static_cast<const Cut *>(context);
    if (read == cut.read) {
        ASSERT_EQ(::ftruncate(cut.fd, static_cast<off_t>(cut.offset)), 0);
    }
}

}  // namespace

// Another program cuts the file just before one of the walk's reads, for each read in turn and
// at every offset of the block below the window's end: lines already handed out then lie past
// the file's new end. The scan stays inside its buffers, ends, and reports records of the file
// as it was, in order, the last one perhaps as the cut left it. The file is one in memory, so
// that the thousands of cuts cost no disk.
TEST(MappedRead, ACutBeforeAnyReadAtAnyOffsetGivesACleanResult) {
    constexpr std::size_t kBlock = 256;
    std::string bytes = ":Ricette\r\n";
    for (int r = 0; bytes.size() < 3 * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)); ++r)
        bytes += RecordOf(r);
    Cut cut;
    detail::SetMappedReadHook(CutAtRead, &cut);
    std::size_t scans = 0, shortened = 0;
    // The name, a line by its position, and the ingredient lines.
    const std::pair<SearchScope, std::string> searches[] = {{SearchScope::Nome, "ricetta"},
                                                            {SearchScope::Luogo, "roma"},
                                                            {SearchScope::Ingredienti, "SALE"}};
    for (const auto &[scope, needle] : searches) {
        IndexedTextFile plain(MakeMemorySource(bytes), kBlock);
        const Strings all = Scan(plain, scope, needle);
        for (cut.read = 1; cut.read * kBlock < bytes.size(); ++cut.read) {
            for (cut.offset = (cut.read - 1) * kBlock; cut.offset < cut.read * kBlock;
                 ++cut.offset) {
                cut.fd = ::memfd_create("ricette.txt", MFD_CLOEXEC);
                ASSERT_EQ(::write(cut.fd, bytes.data(), bytes.size()),
                          static_cast<ssize_t>(bytes.size()));
                const std::shared_ptr<const FileMapping> mapping =
                    FileMapping::OverDescriptor(cut.fd);
                ASSERT_NE(mapping, nullptr);
                const auto file = IndexedTextFile::Over(mapping, kBlock);
                const Strings got = Scan(*file, scope, needle);
                // The last record reported may be the one the cut shortened, as it is now.
                IndexedTextFile cutFile(MakeMemorySource(bytes.substr(0, cut.offset)), kBlock);
                const Strings now = Scan(cutFile, scope, needle);
                const bool lastAsNow = !got.empty() && !now.empty() && got.back() == now.back() &&
                                       InOrderWithin(Strings(got.begin(), got.end() - 1), all);
                ASSERT_TRUE(InOrderWithin(got, all) || lastAsNow)
                    << "read " << cut.read << " cut at " << cut.offset << ": "
                    << testing::PrintToString(got);
                shortened += file->shortened();
                ++scans;
            }
        }
    }
    detail::SetMappedReadHook(nullptr, nullptr);
    // The cuts must reach past a page, where the reader sees the file shortened.
    EXPECT_GT(shortened, scans / 4);
}
