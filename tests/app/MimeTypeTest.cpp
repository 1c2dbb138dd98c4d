// The package's MIME type for MealMaster files, in a MIME database built as the package's
// installation builds it (the system's types and ours in one cache), read through Qt as the
// file dialogs read it.
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

using sapidoro::test::TempDir;

namespace {

const QString kSystemTypes = QStringLiteral("/usr/share/mime/packages");

TEST(MimeType, MealMasterFilesAreToldFromSmafAudioAndSourceCode) {
    if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty() ||
        !QFile::exists(kSystemTypes + QStringLiteral("/freedesktop.org.xml")))
        GTEST_SKIP() << "shared-mime-info is not installed";
    TempDir root;
    const QString packages = root.qpath() + QStringLiteral("mime/packages/");
    ASSERT_TRUE(QDir().mkpath(packages));
    for (const QString &name : QDir(kSystemTypes).entryList({QStringLiteral("*.xml")}))
        ASSERT_TRUE(QFile::copy(kSystemTypes + u'/' + name, packages + name));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SAPIDORO_SAMPLE_DATA "../packaging/sapidoro-mime.xml"),
                            packages + QStringLiteral("sapidoro.xml")));
    QProcess update;
    update.start(QStringLiteral("update-mime-database"), {root.qpath() + QStringLiteral("mime")});
    ASSERT_TRUE(update.waitForFinished(60000));
    ASSERT_EQ(update.exitCode(), 0) << update.readAllStandardError().toStdString();
    // Read before Qt's database is first used, so that it knows only this one.
    qputenv("XDG_DATA_DIRS", root.path().c_str());
    qputenv("XDG_DATA_HOME", (root.path() + "none").c_str());

    const struct {
        const char *name;
        const char *bytes;
        const char *type;
    } files[] = {
        {"classica.mmf", "MMMMM----- Recipe via Meal-Master (tm) v8.05\r\n", "text/x-mealmaster"},
        {"spazio.mm", "\r\n---------- Recipe via Meal-Master (tm) v8.02\r\n", "text/x-mealmaster"},
        {"senza intestazione.mmf", "Title: Pasta\r\n", "text/x-mealmaster"},
        {"suoneria.mmf", "MMMD", "application/vnd.smaf"},
        {"sorgente.mm", "#import <Foundation/Foundation.h>\n", "text/x-objc++src"},
    };
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QMimeDatabase types;
    for (const auto &file : files) {
        const std::string path = root.write(file.name, file.bytes);
        const QMimeType type = types.mimeTypeForFile(QString::fromStdString(path));
        EXPECT_EQ(type.name().toStdString(), file.type) << file.name;
        if (type.name() == QStringLiteral("text/x-mealmaster")) {
            EXPECT_EQ(type.comment(), QStringLiteral("Ricette MealMaster"));
        }
    }
}

}  // namespace
