// Prints a recipe on a real CUPS queue (cups-pdf, set up by scripts/cups-pdf-queue) both
// ways, through the real printer layer on the system's default destination, and reads back the
// PDF files that cups-pdf writes with poppler's tools.
#include "app/ErrorReport.h"
#include "app/Unit1.h"
#include "pageprinter/QtPrinter.h"
#include "support/ErrorReports.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <memory>

using namespace Qt::StringLiterals;
using namespace sapidoro;

namespace {

const QString kQueue = u"SapidoroPDF"_s;

QString RunTool(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The folder cups-pdf writes this user's files of the queue into, from its settings.
QString OutputFolder() {
    QString out;
    const QStringList settings{QString(u"/etc/cups/cups-pdf-"_s + kQueue + u".conf"_s),
                               u"/etc/cups/cups-pdf.conf"_s};
    for (const QString &path : settings) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n'))
            if (line.startsWith(u"Out "_s)) out = line.mid(4).trimmed();
        if (!out.isEmpty()) break;
    }
    if (out.isEmpty()) return {};
    const passwd *user = getpwuid(getuid());
    if (user == nullptr) return {};
    out.replace(u"${HOME}"_s, QString::fromLocal8Bit(user->pw_dir));
    out.replace(u"${USER}"_s, QString::fromLocal8Bit(user->pw_name));
    return out;
}

QStringList PdfFiles(const QString &folder) {
    return QDir(folder).entryList({u"*.pdf"_s}, QDir::Files, QDir::Name);
}

// The lines of a text that are not blank, trimmed.
QStringList Trimmed(const QStringList &lines) {
    QStringList trimmed;
    for (const QString &line : lines)
        if (!line.trimmed().isEmpty()) trimmed << line.trimmed();
    return trimmed;
}

class CupsPrint : public ::testing::Test {
protected:
    void SetUp() override {
        if (QPrinterInfo::printerInfo(kQueue).isNull())
            GTEST_SKIP() << "no CUPS queue " << kQueue.toStdString()
                         << ": scripts/cups-pdf-queue could not set one up here (CUPS not "
                            "installed, its scheduler not running, or no right to add a queue)";
        if (QPrinterInfo::defaultPrinterName() != kQueue)
            GTEST_SKIP() << "the default destination is "
                         << QPrinterInfo::defaultPrinterName().toStdString() << ", not "
                         << kQueue.toStdString();
        for (const QString &tool : {u"pdfinfo"_s, u"pdftotext"_s, u"pdffonts"_s, u"lpstat"_s})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool.toStdString() << " is not installed (poppler-utils, cups)";
        m_out = OutputFolder();
        if (m_out.isEmpty()) GTEST_SKIP() << "no output folder in the cups-pdf settings";
        m_before = PdfFiles(m_out);

        m_previous = SetPrinter(std::make_unique<QtPrinter>());
        m_swapped = true;
        m_reports = std::make_unique<test::ErrorReports>(
            [this](const QString &message) { m_errors << message; });
        m_data.write("ricette.txt",
                     ":Ricette\r\n-Nome\r\nTorta di mele\r\n-Piatto\r\nDessert\r\n"
                     "-Ingrediente Principale\r\nMele\r\n-Persone\r\n4\r\n-Note\r\n"
                     "Ricetta della nonna, citt\xE0 di Trento\r\n-Ingredienti\r\n"
                     "200 g ==== Farina\r\n3 ==== Mele\r\n2 ==== Uova\r\n-Preparazione\r\n"
                     "Sbucciare le mele e tagliarle a fette sottili.\r\n"
                     "Mescolare farina e uova, aggiungere le mele e cuocere in forno per "
                     "quaranta minuti a centottanta gradi.\r\n:Ricette\r\n");
        m_data.write("ing.txt", "Farina_ING == 200 g === 700\r\nUova_ING == 2 === 160\r\n");
        m_data.write("luoghi.txt", "Trento\r\n");
        QDir(m_data.qpath()).mkdir(u"immagini"_s);
        ASSERT_TRUE(QFile::copy(QStringLiteral(SAPIDORO_SAMPLE_DATA "immagini/noimage.jpg"),
                                m_data.qpath() + u"immagini/noimage.jpg"_s));
        m_form = std::make_unique<TForm1>(m_data.qpath(), nullptr);
        auto *list = m_form->findChild<QComboBox *>(u"RicetteTrovate"_s);
        ASSERT_EQ(list->count(), 1);
        list->setCurrentIndex(0);
        emit list->activated(0);
        ASSERT_TRUE(m_errors.isEmpty()) << m_errors.join(u'\n').toStdString();
    }
    void TearDown() override {
        m_form.reset();
        m_reports.reset();
        if (m_swapped) SetPrinter(std::move(m_previous));
    }

    // Waits until cups-pdf has written a new, complete PDF file; its path.
    QString AwaitPdf() {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 90000) {
            QTest::qWait(250);
            for (const QString &name : PdfFiles(m_out)) {
                if (m_before.contains(name)) continue;
                const QString path = m_out + u'/' + name;
                // Complete once poppler can read it through to its page count.
                if (PageCount(path) > 0) {
                    m_before << name;
                    return path;
                }
            }
        }
        ADD_FAILURE() << "no PDF from cups-pdf in " << m_out.toStdString() << " after 90 s";
        return {};
    }
    QStringList StampaLines() {
        // The buffer's lines as it wrapped them: what the clipboard holds after a copy.
        m_form->findChild<QAction *>(u"Copia1"_s)->trigger();
        return QGuiApplication::clipboard()->text().split(u"\r\n"_s);
    }
    static int PageCount(const QString &pdf) {
        const QRegularExpression pages(u"Pages:\\s+(\\d+)"_s);
        return pages.match(RunTool(u"pdfinfo"_s, {pdf})).captured(1).toInt();
    }
    static QString PageSize(const QString &pdf) {
        const QRegularExpression size(u"Page size:\\s+(.*)"_s);
        return size.match(RunTool(u"pdfinfo"_s, {pdf})).captured(1).trimmed();
    }
    static QStringList Text(const QString &pdf) {
        return RunTool(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s}).split(u'\n');
    }
    // The queue's default paper as pdfinfo names it, e.g. "595 x 842 pts (A4)".
    static QString DefaultPaper() {
        const QPageSize size = QPrinterInfo::printerInfo(kQueue).defaultPageSize();
        const QSize points = size.sizePoints();
        return QString::number(points.width()) + u" x "_s + QString::number(points.height()) +
               u" pts"_s;
    }

    test::TempDir m_data;
    QString m_out;
    QStringList m_before;
    QStringList m_errors;
    std::unique_ptr<test::ErrorReports> m_reports;
    std::unique_ptr<PrinterDevice> m_previous;
    bool m_swapped = false;
    std::unique_ptr<TForm1> m_form;
};

TEST_F(CupsPrint, PagePrinterRoad) {
    m_form->findChild<QAbstractButton *>(u"StampaLaRicetta"_s)->click();
    ASSERT_TRUE(m_errors.isEmpty()) << m_errors.join(u'\n').toStdString();
    const QString pdf = AwaitPdf();
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(PageCount(pdf), 1);
    EXPECT_TRUE(PageSize(pdf).startsWith(DefaultPaper())) << PageSize(pdf).toStdString();

    // Title first and bold, then every body line in order.
    const QStringList lines = StampaLines();
    const QStringList printed = Trimmed(Text(pdf));
    EXPECT_EQ(printed, Trimmed(lines));
    const QString fonts = RunTool(u"pdffonts"_s, {pdf});
    EXPECT_TRUE(fonts.contains(u"Bold"_s)) << fonts.toStdString();
    EXPECT_EQ(fonts.count(u"Bold"_s), 1) << fonts.toStdString();  // the title alone
}

TEST_F(CupsPrint, RichTextRoad) {
    m_form->findChild<QAction *>(u"Stampa1"_s)->trigger();
    ASSERT_TRUE(m_errors.isEmpty()) << m_errors.join(u'\n').toStdString();
    const QString pdf = AwaitPdf();
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(PageCount(pdf), 1);
    EXPECT_TRUE(PageSize(pdf).startsWith(DefaultPaper())) << PageSize(pdf).toStdString();
    EXPECT_TRUE(RunTool(u"pdfinfo"_s, {pdf}).contains(u"Stampa della ricetta"_s));
    // The lines break where the buffer breaks them.
    EXPECT_EQ(Trimmed(Text(pdf)), Trimmed(StampaLines()));
    EXPECT_FALSE(RunTool(u"pdffonts"_s, {pdf}).contains(u"Bold"_s));
}

}  // namespace
