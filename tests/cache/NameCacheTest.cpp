#include "app/Unit1.h"
#include "cache/NameCache.h"
#include "cache/NameCacheCodec.h"
#include "cache/NameCacheUpdater.h"
#include "search/NameCatalog.h"
#include "support/RandomRecipes.h"
#include "support/TempDir.h"
#include "writer/CollectionWriter.h"
#include "writer/WriterSupport.h"

#include <QComboBox>
#include <QFile>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <thread>

namespace sapidoro {
namespace {

using test::TempDir;

constexpr int kRandomCollections = 12;

std::string Recipes(const TempDir &dir) {
    return dir.file("ricette.txt");
}

// The listing a start-up shows: names in order, their first ranks, the record table.
void ExpectSameListing(const NameCatalog &got, const NameCatalog &walked) {
    ASSERT_EQ(got.size(), walked.size());
    EXPECT_EQ(got.displayNames(), walked.displayNames());
    for (std::uint32_t rank = 0; rank < walked.size(); ++rank) {
        ASSERT_EQ(got.name(rank), walked.name(rank)) << rank;
        ASSERT_EQ(got.firstRankOf(rank), walked.firstRankOf(rank)) << rank;
        ASSERT_EQ(got.firstRecordOf(got.name(rank)), walked.firstRecordOf(walked.name(rank)));
    }
    ASSERT_EQ(got.records().size(), walked.records().size());
    EXPECT_EQ(got.records().namesOnlyAtHeads(), walked.records().namesOnlyAtHeads());
    for (std::size_t i = 0; i <= walked.records().size(); ++i)
        ASSERT_EQ(got.records().start(i), walked.records().start(i)) << i;
}

NameCatalog Walked(const std::string &recipes) {
    NameCatalog catalog = NameCatalog::List(recipes);
    return catalog;
}

bool WriteCache(const TempDir &dir) {
    const std::int64_t walkedAt = NameCacheClock();
    NameCatalog catalog = NameCatalog::ListSorted(Recipes(dir));
    return WriteNameCache(NameCachePath(dir.path()), Recipes(dir), catalog, walkedAt);
}

std::unique_ptr<NameCatalog> Cached(const TempDir &dir) {
    auto cached = ReadNameCache(NameCachePath(dir.path()), Recipes(dir));
    if (cached) cached->makeDisplayTexts();
    return cached;
}

std::string ReadAll(const std::string &path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

void WriteAll(const std::string &path, const std::string &bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void SetModified(const std::string &path, const struct timespec &when) {
    const struct timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Collections made once and left to settle together, as a cache is made only of a file
// that has not changed in the last few seconds.
class NameCacheTest : public ::testing::Test {
protected:
    static std::map<std::string, std::unique_ptr<TempDir>> *s_dirs;

    static void SetUpTestSuite() {
        s_dirs = new std::map<std::string, std::unique_ptr<TempDir>>;
        const std::string sample = ReadAll(SAPIDORO_SAMPLE_DATA "ricette.txt");
        // Past twice the bytes whose checksum the cache keeps, that a change between them
        // is told only by the file's identity.
        const std::string large = sample + sample.substr(10) + sample.substr(10);
        for (const char *name : {"same size", "touched", "renamed", "grown", "truncated", "hostile",
                                 "save", "window"}) {
            Dir(name).write("ricette.txt", large);
            Dir(name).write("ing.txt", ReadAll(SAPIDORO_SAMPLE_DATA "ing.txt"));
        }
        std::mt19937 random(34);
        for (int i = 0; i < kRandomCollections; ++i)
            Dir("random" + std::to_string(i))
                .write("ricette.txt", test::RandomCollection(random, i % 2 == 1));
        // A name too long to be shown whole is kept apart from the others.
        Dir("long name")
            .write("ricette.txt", ":Ricette\r\n-Nome\r\n" + std::string(150'000, 'z') +
                                      "\r\n-Piatto\r\nPrimo\r\n:Ricette\r\n" + sample.substr(10) +
                                      sample.substr(10) + sample.substr(10) + sample.substr(10) +
                                      sample.substr(10));
        std::this_thread::sleep_for(std::chrono::seconds(RecordTable::kSettledSeconds + 1));
    }
    static void TearDownTestSuite() {
        delete s_dirs;
        s_dirs = nullptr;
    }
    static TempDir &Dir(const std::string &name) {
        auto &dir = (*s_dirs)[name];
        if (!dir) dir = std::make_unique<TempDir>();
        return *dir;
    }
};

std::map<std::string, std::unique_ptr<TempDir>> *NameCacheTest::s_dirs = nullptr;

TEST_F(NameCacheTest, CacheListsExactlyWhatTheWalkLists) {
    std::vector<std::string> names = {"long name"};
    for (int i = 0; i < kRandomCollections; ++i) names.push_back("random" + std::to_string(i));
    for (const std::string &name : names) {
        SCOPED_TRACE(name);
        const TempDir &dir = Dir(name);
        ASSERT_TRUE(WriteCache(dir));
        const auto cached = Cached(dir);
        ASSERT_NE(cached, nullptr);
        ExpectSameListing(*cached, Walked(Recipes(dir)));
        struct stat cacheInfo, fileInfo;
        ASSERT_EQ(::stat(NameCachePath(dir.path()).c_str(), &cacheInfo), 0);
        ASSERT_EQ(::stat(Recipes(dir).c_str(), &fileInfo), 0);
        EXPECT_LT(cacheInfo.st_size, fileInfo.st_size / 2);
    }
}

TEST_F(NameCacheTest, FileChangedAfterTheCacheIsWalkedAgain) {
    const struct {
        const char *name;
        std::function<void(const std::string &path, const struct timespec &was)> change;
    } cases[] = {
        {"same size",
         [](const std::string &path, const struct timespec &was) {
             std::string bytes = ReadAll(path);
             bytes[bytes.size() / 2] ^= 1;  // far from both ends, that their checksum misses it
             WriteAll(path, bytes);
             SetModified(path, was);
         }},
        {"touched",
         [](const std::string &path, const struct timespec &) {
             ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), nullptr, 0), 0);
         }},
        {"renamed",
         [](const std::string &path, const struct timespec &was) {
             WriteAll(path + ".new", ReadAll(path));
             SetModified(path + ".new", was);
             ASSERT_EQ(::rename((path + ".new").c_str(), path.c_str()), 0);
         }},
        {"grown",
         [](const std::string &path, const struct timespec &was) {
             WriteAll(path, ReadAll(path) + "-Nome\r\nAggiunta\r\n:Ricette\r\n");
             SetModified(path, was);
         }},
        {"truncated",
         [](const std::string &path, const struct timespec &was) {
             ASSERT_EQ(::truncate(path.c_str(), 4000), 0);
             SetModified(path, was);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const TempDir &dir = Dir(c.name);
        ASSERT_TRUE(WriteCache(dir));
        ASSERT_NE(Cached(dir), nullptr);
        struct stat info;
        ASSERT_EQ(::stat(Recipes(dir).c_str(), &info), 0);
        c.change(Recipes(dir), info.st_mtim);
        EXPECT_EQ(Cached(dir), nullptr);
    }
}

TEST_F(NameCacheTest, DamagedOrHostileCacheIsIgnored) {
    const TempDir &dir = Dir("hostile");
    const std::string path = NameCachePath(dir.path());
    ASSERT_TRUE(WriteCache(dir));
    const std::string valid = ReadAll(path);
    const NameCatalog walked = Walked(Recipes(dir));
    const std::size_t count = walked.size();
    // Places in the body, as the cache lays it out: starts, ranks, apart, table.
    const std::size_t header = 160, ranks = header + (count + 1) * 8;
    const std::size_t table = ranks + ((count * 4 + 7) & ~7u) + ((count + 7) & ~7u);
    const auto put = [](std::string &bytes, std::size_t at, std::uint64_t value) {
        std::memcpy(bytes.data() + at, &value, sizeof value);
    };
    const struct {
        const char *name;
        std::function<void(std::string &)> spoil;
        bool resealed;  // its checksums made to match, that only its checks find it
    } cases[] = {
        {"truncated", [](std::string &b) { b.resize(b.size() / 2); }, false},
        {"random bytes",
         [](std::string &b) {
             std::mt19937 random(7);
             for (char &c : b) c = static_cast<char>(random());
         },
         false},
        {"checksum wrong", [](std::string &b) { b[b.size() - 20] ^= 4; }, false},
        {"other version", [&](std::string &b) { put(b, 8, 2); }, true},
        {"record past the file", [&](std::string &b) { put(b, table + 8, 1u << 30); }, true},
        {"name past its block", [&](std::string &b) { put(b, header + 8, 1u << 30); }, true},
        {"rank past the list", [&](std::string &b) { put(b, ranks, 0xFFFFFFF0u); }, true},
        {"rank twice",
         [&](std::string &b) { std::memcpy(b.data() + ranks, b.data() + ranks + 4, 4); }, true},
        {"long name of a short one", [&](std::string &b) { put(b, 104, 1); }, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = valid;
        c.spoil(bytes);
        if (c.resealed) NameCacheCodec::Seal(bytes);
        WriteAll(path, bytes);
        EXPECT_EQ(Cached(dir), nullptr);
    }
    // A link to a valid cache, and a pipe that nothing writes, are not read.
    WriteAll(path + ".real", valid);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::symlink((path + ".real").c_str(), path.c_str()), 0);
    EXPECT_EQ(Cached(dir), nullptr);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(Cached(dir), nullptr);
    // The window started beside it lists what the walk lists.
    TForm1 form(dir.qpath(), nullptr);
    EXPECT_EQ(form.findChild<QComboBox *>(QStringLiteral("Nome"))->count(),
              static_cast<int>(count));
    ASSERT_EQ(::unlink(path.c_str()), 0);
    WriteAll(path, valid);
    ASSERT_NE(Cached(dir), nullptr);
}

TEST_F(NameCacheTest, SaveMakesTheCacheAnewForTheNewFile) {
    const TempDir &dir = Dir("save");
    NameCacheUpdater updater;
    updater.update(dir.path(), NameCachePath(dir.path()));
    updater.waitIdle();
    ASSERT_NE(Cached(dir), nullptr);
    const NameCatalog before = Walked(Recipes(dir));
    AppendRecipes(dir.path(), {test::SampleRecipe("Zuppa Del Giorno")});
    EXPECT_EQ(Cached(dir), nullptr);
    updater.update(dir.path(), NameCachePath(dir.path()));
    updater.waitIdle();
    const auto cached = Cached(dir);
    ASSERT_NE(cached, nullptr);
    ExpectSameListing(*cached, Walked(Recipes(dir)));
    EXPECT_EQ(cached->size(), before.size() + 1);
}

TEST_F(NameCacheTest, WindowMakesTheCacheOnceShownAndStartsFromIt) {
    const TempDir &dir = Dir("window");
    const QString path = QFile::decodeName(QByteArray::fromStdString(NameCachePath(dir.path())));
    {
        TForm1 form(dir.qpath(), nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), 20000);
    }
    ASSERT_NE(Cached(dir), nullptr);
    TForm1 form(dir.qpath(), nullptr);
    auto *names = form.findChild<QComboBox *>(QStringLiteral("Nome"));
    const NameCatalog walked = Walked(Recipes(dir));
    ASSERT_EQ(names->count(), static_cast<int>(walked.size()));
    for (int i = 0; i < names->count(); ++i)
        EXPECT_EQ(names->itemText(i), walked.displayNames()[i]);
}

}  // namespace
}  // namespace sapidoro
