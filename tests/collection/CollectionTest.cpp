#include "collection/CollectionCopy.h"
#include "collection/CollectionFolder.h"
#include "collection/CollectionWatcher.h"
#include "collection/RecentCollections.h"
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

TEST(StartFolderChoice, ArgumentThenLastRememberedThenExecutables) {
    TempDir argument, remembered, gone, executable;
    remembered.write("ricette.txt", ":Ricette\r\n");
    gone.write("ricette.txt", ":Ricette\r\n");
    const QString goneFolder = gone.qpath();
    std::filesystem::remove(gone.file("ricette.txt"));
    const QString exe = executable.qpath().chopped(1);  // as the application gives it
    struct Case {
        QString argument;
        QStringList remembered;
        QString expected;
    };
    const Case cases[] = {
        {argument.qpath(), {remembered.qpath()}, argument.qpath()},
        {QString(), {remembered.qpath()}, remembered.qpath()},
        // The last folder opened, even without its recipe file: the start-up asks about it.
        {QString(), {goneFolder, remembered.qpath()}, goneFolder},
        {QString(), {goneFolder}, goneFolder},
        {QString(), {}, executable.qpath()},
        // Relative and unclean paths are made absolute, with one final separator.
        {QStringLiteral("."), {}, QDir::currentPath() + QLatin1Char('/')},
        {argument.qpath() + QStringLiteral("./x/.."), {}, argument.qpath()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ChooseStartFolder(c.argument, c.remembered, exe), c.expected)
            << c.argument.toStdString() << " / " << c.remembered.join(u',').toStdString();
}

TEST(RecentCollectionsTest, LastFiveMostRecentFirstInTheTestsOwnConfigFolder) {
    const QSettings settings(QStringLiteral("Sapidoro"), QStringLiteral("Sapidoro"));
    const QString config = QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"));
    ASSERT_FALSE(config.isEmpty());
    EXPECT_EQ(settings.fileName(), config + QStringLiteral("/Sapidoro/Sapidoro.conf"));

    TempDir folders[7];
    for (const TempDir &folder : folders) RememberCollection(folder.qpath());
    RememberCollection(folders[3].qpath().chopped(1));  // the same folder, written otherwise
    QStringList expected{folders[3].qpath(), folders[6].qpath(), folders[5].qpath(),
                         folders[4].qpath(), folders[2].qpath()};
    EXPECT_EQ(RecentCollections(), expected);
    EXPECT_TRUE(QFile::exists(settings.fileName()));

    // A folder that went away is no longer offered.
    QDir(folders[6].qpath()).removeRecursively();
    expected.removeAt(1);
    EXPECT_EQ(RecentCollections(), expected);
}

TEST(CollectionWatcherTest, ChangesComeOnceAfterAQuietPeriod) {
    TempDir dir;
    dir.write("ricette.txt", ":Ricette\r\n");
    CollectionWatcher watcher;
    watcher.watch(dir.qpath());
    QSignalSpy changed(&watcher, &CollectionWatcher::changed);

    // A writer rewriting the file every 10 ms for a second: no reload while it writes.
    QElapsedTimer writing;
    writing.start();
    for (int i = 0; writing.elapsed() < 1000; ++i) {
        dir.write("ricette.txt", ":Ricette\r\n" + std::to_string(i));
        QTest::qWait(10);
    }
    EXPECT_EQ(changed.count(), 0);
    // Then one, once the file has been left alone.
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 3000);
    QTest::qWait(2 * CollectionWatcher::kQuietMilliseconds);
    EXPECT_EQ(changed.count(), 1);

    // The state loaded then is taken as shown: no further reload without a change. A file
    // renamed over the old one is still followed afterwards, and so is a picture.
    watcher.markLoaded(watcher.stampsNow());
    QTest::qWait(2 * CollectionWatcher::kQuietMilliseconds);
    EXPECT_EQ(changed.count(), 1);
    dir.write("nuovo", ":Ricette\r\nx");
    std::filesystem::rename(dir.file("nuovo"), dir.file("ricette.txt"));
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 2, 3000);
    watcher.markLoaded(watcher.stampsNow());
    dir.write("ricette.txt", ":Ricette\r\ny");
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 3, 3000);
    watcher.markLoaded(watcher.stampsNow());
    dir.write("immagini/a.jpg", "x");
    QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 4, 3000);
    // A file of someone else's in the folder is no change of the collection.
    watcher.markLoaded(watcher.stampsNow());
    dir.write("ricette.txt.swp", "x");
    QTest::qWait(3 * CollectionWatcher::kQuietMilliseconds);
    EXPECT_EQ(changed.count(), 4);
}

// Whatever the writer would refuse to replace makes the collection read-only, for root too:
// the owner's write bit counts as the writer counts it.
TEST(CollectionWriteProblemTest, NamesWhatCannotBeWritten) {
    const struct {
        const char *path;  // made read-only; empty: nothing
        const char *named;
    } cases[] = {{"", nullptr},
                 {".", "La cartella"},
                 {"ricette.txt", "ricette.txt\" è di sola lettura"},
                 {"ing.txt", "ing.txt\" è di sola lettura"},
                 {"immagini", "immagini\" è di sola lettura"}};
    for (const auto &c : cases) {
        TempDir dir;
        dir.write("ricette.txt", ":Ricette\r\n");
        dir.write("ing.txt", "");
        QDir().mkdir(dir.qpath() + QStringLiteral("immagini"));
        const std::string path = dir.file(c.path);
        if (*c.path) ::chmod(path.c_str(), 0555);
        const QString problem = CollectionWriteProblem(dir.qpath());
        if (*c.path) ::chmod(path.c_str(), 0755);
        if (c.named == nullptr)
            EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        else
            EXPECT_TRUE(problem.contains(QString::fromUtf8(c.named))) << problem.toStdString();
    }
}

}  // namespace
