// Qt's own dialogs under the program's translation setup: every text a user reads is Italian,
// numbers and dates in the Italian way, and no column header is cut.
#include "support/TempDir.h"

#include "app/Translations.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace sapidoro;
using sapidoro::test::TempDir;

namespace {

// English words that Qt's dialogs showed where a catalogue or a locale was missing.
const QStringList kEnglishWords = {
    "Computer",   "Folder", "Drive",       "Unknown",  "Size",      "Name",    "Type",
    "Kind",       "Date",   "Modified",    "bytes",    "KiB",       "MiB",     "Dec",
    "Look",       "Files",  "Cancel",      "Open",     "Save",      "Print",   "Pages",
    "Page",       "Paper",  "Margins",     "Portrait", "Landscape", "Copies",  "Options",
    "Properties", "Double", "Sided",       "Off",      "Long",      "Short",   "binding",
    "Width",      "Height", "Orientation", "Layout",   "Zoom",      "Preview", "Collate"};

// Every text the dialog can show, hidden pages included: a user opens them.
QStringList DialogTexts(QWidget *dialog) {
    QStringList texts{dialog->windowTitle()};
    for (QWidget *child : dialog->findChildren<QWidget *>()) {
        texts << child->toolTip();
        if (auto *label = qobject_cast<QLabel *>(child)) texts << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(child)) texts << button->text();
        if (auto *group = qobject_cast<QGroupBox *>(child)) texts << group->title();
        if (auto *spin = qobject_cast<QAbstractSpinBox *>(child)) texts << spin->text();
        if (auto *tabs = qobject_cast<QTabWidget *>(child))
            for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
        if (auto *combo = qobject_cast<QComboBox *>(child))
            for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
        if (auto *view = qobject_cast<QAbstractItemView *>(child); view && view->model()) {
            const QAbstractItemModel *model = view->model();
            for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
                texts << model->headerData(column, Qt::Horizontal).toString();
                for (int row = 0; row < model->rowCount(view->rootIndex()); ++row)
                    texts << model->index(row, column, view->rootIndex()).data().toString();
            }
        }
    }
    return texts;
}

QStringList EnglishWordsIn(const QStringList &texts) {
    const QRegularExpression nonWord(QStringLiteral("\\W+"),
                                     QRegularExpression::UseUnicodePropertiesOption);
    QStringList found;
    for (const QString &text : texts)
        for (const QString &word : text.split(nonWord, Qt::SkipEmptyParts))
            if (kEnglishWords.contains(word) && !found.contains(text)) found << text;
    return found;
}

class QtDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_it.qm")))
            GTEST_SKIP() << "Qt's Italian translations (qt6-translations-l10n) are not installed";
        ASSERT_TRUE(InstallItalianTranslations());
    }
};

TEST_F(QtDialogsTest, TheFileDialogListsAFolderInItalian) {
    TempDir folder;
    folder.write("ricette.txt", std::string(1500, 'x'));
    QDir(folder.qpath()).mkdir(QStringLiteral("immagini"));
    QFile file(folder.qpath() + QStringLiteral("ricette.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(10, 30)),
                                 QFileDevice::FileModificationTime));
    file.close();

    QFileDialog dialog(nullptr, QStringLiteral("Importa ricette"), folder.qpath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    const auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    ASSERT_NE(details, nullptr);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return details->model()->rowCount(details->rootIndex()) == 2; }));

    QStringList rows;
    for (int row = 0; row < 2; ++row) {
        QStringList cells;
        for (int column = 0; column < 4; ++column)
            cells << details->model()->index(row, column, details->rootIndex()).data().toString();
        rows << cells.join(u'|');
    }
    const QString folderRow = rows.filter(QStringLiteral("immagini")).value(0);
    EXPECT_EQ(folderRow.section(u'|', 1, 2), QStringLiteral("|Cartella"))
        << folderRow.toStdString();
    const QString fileRow = rows.filter(QStringLiteral("ricette.txt")).value(0);
    EXPECT_EQ(fileRow.section(u'|', 1, 1), QStringLiteral("1,46 kB")) << fileRow.toStdString();
    EXPECT_TRUE(fileRow.section(u'|', 3, 3).startsWith(QStringLiteral("08/12/26")))
        << fileRow.toStdString();
    EXPECT_EQ(EnglishWordsIn(DialogTexts(&dialog)).join(u'|').toStdString(), "");

    const QHeaderView *header = details->header();
    for (int section = 0; section + 1 < header->count(); ++section)
        EXPECT_GE(header->sectionSize(section), header->sectionSizeHint(section))
            << header->model()->headerData(section, Qt::Horizontal).toString().toStdString();
}

TEST_F(QtDialogsTest, ThePrintDialogsSpeakItalian) {
    QPrinter printer;
    const std::vector<std::pair<const char *, std::function<QDialog *()>>> dialogs = {
        {"page setup", [&] { return new QPageSetupDialog(&printer); }},
        {"print", [&] { return new QPrintDialog(&printer); }},
        {"preview", [&] { return new QPrintPreviewDialog(&printer); }},
    };
    for (const auto &[name, make] : dialogs) {
        const std::unique_ptr<QDialog> dialog(make());
        dialog->show();
        EXPECT_EQ(EnglishWordsIn(DialogTexts(dialog.get())).join(u'|').toStdString(), "") << name;
        // Lengths in the Italian way: a decimal comma and a space before the unit.
        for (const QAbstractSpinBox *spin : dialog->findChildren<QDoubleSpinBox *>())
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+,\\d+ (mm|pt|in|CC|DD)$"))
                            .match(spin->text())
                            .hasMatch())
                << name << ": " << spin->text().toStdString();
    }
}

}  // namespace
