// Print preview and PDF export of the recipe on show: the page printer's stored pages in Qt's
// preview dialog and in a PDF file, read back with poppler-utils.
#include "ScenarioData.h"

#include "app/Translations.h"
#include "pageprinter/MemoryPrinter.h"
#include "pageprinter/PagePrnt.h"
#include "widgets/PassingMessage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// A recipe long enough for several pages, with accented words.
RecipeData LongRecipe() {
    RecipeData recipe{"Caff\xE8 all'antica",
                      "Dessert",
                      "Caff\xE8",
                      "4",
                      "Ferrara",
                      {"200 ==== Farina", "2 ==== Uova"},
                      {}};
    for (int i = 1; i <= 90; ++i)
        recipe.preparation.push_back("Passo " + std::to_string(i) +
                                     ": mescolare con cura, poi lasciar riposare un poco.");
    return recipe;
}

// Runs `tool` and returns its standard output, or an empty string when it is missing.
QString RunTool(const QString &tool, const QStringList &arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

class PreviewScenarioTest : public ScenarioTest {
protected:
    void SetUp() override {
        m_previous = SetPrinter(
            std::make_unique<TMemoryPrinter>(TMemoryPrinter::Sheet{300, 300, 2480, 3508, 71, 71}));
        Open({LongRecipe()}, CrLf({"Farina_ING == 100 === 350"}));
        Pick(QStringLiteral("Caff\u00E8 all'antica"));
    }
    void TearDown() override {
        ScenarioTest::TearDown();
        SetPrinter(std::move(m_previous));
    }
    TPagePrinter &PagePrinter() { return *Find<TPagePrinter>("PagePrinter1"); }
    // The texts of the stored pages in order, one per drawn line, trimmed.
    QStringList StoredLines() {
        QStringList lines;
        for (int page = 1; page <= PagePrinter().PageCount(); ++page)
            for (const PageOp &op : PagePrinter().Page(page).Ops())
                if (op.kind == PageOp::Text && !op.text.trimmed().isEmpty())
                    lines.append(op.text.trimmed());
        return lines;
    }
    // Answers the save dialog once it is open with `fileName`, remembering what it proposed.
    void AnswerSaveDialog(const QString &fileName) {
        QTimer::singleShot(0, [this, fileName] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            m_proposedFolder = dialog->directory().absolutePath();
            m_proposedFiles = dialog->selectedFiles();
            dialog->selectFile(fileName);
            static_cast<QDialog *>(dialog)->accept();
        });
    }

    std::unique_ptr<PrinterDevice> m_previous;
    QString m_proposedFolder;
    QStringList m_proposedFiles;
    QTemporaryDir m_out;
};

TEST_F(PreviewScenarioTest, PdfHoldsThePagePrintersPagesAndLinesInOrder) {
    const QString pdf = m_out.filePath(QStringLiteral("ricetta.pdf"));
    const QStringList dataBefore = QDir(m_dir.qpath()).entryList(QDir::AllEntries);
    AnswerSaveDialog(pdf);
    Find<QAction>("EsportaPDF1")->trigger();
    ASSERT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(m_proposedFolder,
              QDir(QDir(documents).exists() ? documents : QDir::homePath()).absolutePath());
    ASSERT_EQ(m_proposedFiles.size(), 1);
    EXPECT_TRUE(m_proposedFiles[0].endsWith(QStringLiteral("/Caff\u00E8 all'antica.pdf")))
        << m_proposedFiles[0].toStdString();
    EXPECT_EQ(QDir(m_dir.qpath()).entryList(QDir::AllEntries), dataBefore)
        << "nothing is written into the data folder";
    ASSERT_TRUE(QFile::exists(pdf));
    ASSERT_GE(PagePrinter().PageCount(), 2);
    const auto *note = PassingMessage::Of(m_form.get());
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->fullText(), QStringLiteral("PDF salvato in ") + QDir::toNativeSeparators(pdf));

    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    if (info.isEmpty()) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    EXPECT_TRUE(info.contains(
        QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(PagePrinter().PageCount()))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(
        QRegularExpression(QStringLiteral("Page size:\\s+595(\\.\\d*)? x 84[12](\\.\\d*)? pts"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Caff\u00E8 all'antica"))) << "the title";

    QStringList extracted;
    for (const QString &line : RunTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                                   .split(QRegularExpression(QStringLiteral("[\\n\\f]"))))
        if (!line.trimmed().isEmpty()) extracted.append(line.trimmed());
    const QStringList stored = StoredLines();
    EXPECT_EQ(extracted, stored);
    // `Stampa` wraps at its width, even inside words; the name opens the text, the last step
    // closes it.
    EXPECT_TRUE(stored.join(u' ').startsWith(QStringLiteral("NOME: Caff\u00E8")));
    EXPECT_TRUE(stored.join(QString()).remove(u' ').endsWith(
        QStringLiteral("Passo90:mescolareconcura,poilasciarriposareunpoco.")))
        << stored.mid(stored.size() - 3).join(u'|').toStdString();
}

TEST_F(PreviewScenarioTest, UnwritableTargetGivesTheMessageAndLeavesNoFile) {
    QFile blocker(m_out.filePath(QStringLiteral("un file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QDir readOnly(m_out.path());
    ASSERT_TRUE(readOnly.mkdir(QStringLiteral("sola lettura")));
    QFile::setPermissions(m_out.filePath(QStringLiteral("sola lettura")),
                          QFile::ReadOwner | QFile::ExeOwner);
    struct Case {
        const char *target;
        bool needsNonRoot;
    };
    for (const Case &c :
         {Case{"un file/ricetta.pdf", false}, Case{"sola lettura/ricetta.pdf", true}}) {
        SCOPED_TRACE(c.target);
        if (c.needsNonRoot && geteuid() == 0) {
            std::printf("skipped %s: folder permissions do not bind the superuser\n", c.target);
            continue;
        }
        const QString target = m_out.filePath(QString::fromUtf8(c.target));
        const QStringList before = QDir(m_out.path()).entryList(QDir::AllEntries, QDir::Name);
        const int errorsBefore = static_cast<int>(Errors().size());
        AnswerSaveDialog(target);
        Find<QAction>("EsportaPDF1")->trigger();
        ASSERT_EQ(Errors().size(), errorsBefore + 1);
        EXPECT_TRUE(
            Errors().constLast().startsWith(QStringLiteral("Impossibile scrivere il file PDF")))
            << Errors().constLast().toStdString();
        EXPECT_TRUE(Errors().constLast().contains(QDir::toNativeSeparators(target)));
        EXPECT_FALSE(QFile::exists(target));
        EXPECT_EQ(QDir(m_out.path()).entryList(QDir::AllEntries, QDir::Name), before);
        EXPECT_TRUE(QDir(QFileInfo(target).path()).entryList(QDir::Files).isEmpty() ||
                    !QFileInfo(QFileInfo(target).path()).isDir())
            << "no partial or temporary file";
    }
    QFile::setPermissions(m_out.filePath(QStringLiteral("sola lettura")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(PreviewScenarioTest, CancelledSaveDialogWritesNothing) {
    QTimer::singleShot(0, [] {
        if (QWidget *dialog = QApplication::activeModalWidget()) dialog->close();
    });
    const QStringList before = QDir(m_out.path()).entryList(QDir::AllEntries);
    Find<QAction>("EsportaPDF1")->trigger();
    EXPECT_TRUE(Errors().isEmpty());
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::AllEntries), before);
}

TEST_F(PreviewScenarioTest, PreviewShowsEveryStoredPage) {
    int shownPages = -1;
    QString title;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        auto *preview = dialog->findChild<QPrintPreviewWidget *>();
        ASSERT_NE(preview, nullptr);
        preview->updatePreview();
        shownPages = preview->pageCount();
        dialog->reject();
    });
    Find<QAction>("Anteprima1")->trigger();
    ASSERT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    ASSERT_GE(PagePrinter().PageCount(), 2);
    EXPECT_EQ(shownPages, PagePrinter().PageCount());
    EXPECT_EQ(title, QStringLiteral("Anteprima di stampa"));
}

TEST_F(PreviewScenarioTest, WithoutPrinterThePdfIsLaidOutOnAnA4Sheet) {
    auto printer = SetPrinter(TMemoryPrinter::WithoutPrinter());
    const QString pdf = m_out.filePath(QStringLiteral("senza stampante.pdf"));
    AnswerSaveDialog(pdf);
    Find<QAction>("EsportaPDF1")->trigger();
    SetPrinter(std::move(printer));
    ASSERT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    EXPECT_TRUE(QFile::exists(pdf));
    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    if (info.isEmpty()) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    EXPECT_TRUE(info.contains(QStringLiteral("(A4)"))) << info.toStdString();
}

TEST(TranslationsTest, QtsOwnButtonsSpeakItalian) {
    const QString file =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_it.qm");
    if (!QFile::exists(file))
        GTEST_SKIP() << "Qt's Italian translations (qt6-translations-l10n) are not installed";
    ASSERT_TRUE(InstallItalianTranslations());
    QMessageBox box(QMessageBox::Question, QStringLiteral("Sapidoro 1.3"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Annulla"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("No"));
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("S\u00EC"));
}

}  // namespace
