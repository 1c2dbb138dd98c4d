#include "ScenarioData.h"

#include "app/ErrorReport.h"
#include "pageprinter/PrinterFixture.h"
#include "widgets/Spinner.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTextEdit>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;
using namespace sapidoro;
using namespace sapidoro::test;

namespace {

std::string Table() {
    return CrLf({"Farina_ING == 200 === 700", "Uova_ING == 2 === 160", "Sale_ING == 1 === 0"});
}

RecipeData Torta() {
    return {"Torta",
            "Dessert",
            "Farina",
            "4",
            "Bambini piccoli, citt\xE0",
            {"200 ==== Farina", " ==== Sale", "2 ==== Uova"},
            {"Impastare.", "Cuocere."}};
}

// A recipe whose name and notes are wider than the hidden buffer, and whose preparation fills
// several pages.
RecipeData Lunga() {
    RecipeData recipe;
    recipe.name = "Lasagne al forno della nonna con ragu di carne e besciamella fatta in casa";
    recipe.notes = std::string(40, 'x') + " " + std::string(30, 'y') + " fine delle note";
    recipe.ingredients = {"200 ==== Farina"};
    recipe.preparation.clear();
    for (int i = 1; i <= 150; ++i) recipe.preparation.push_back("Passo " + std::to_string(i) + ".");
    return recipe;
}

// The texts of recorded drawing calls, in order.
QStringList CallTexts(const std::vector<DrawCall> &calls) {
    QStringList texts;
    for (const DrawCall &call : calls)
        if (call.kind == DrawCall::Text) texts << call.text;
    return texts;
}

QStringList Trimmed(const QStringList &lines) {
    QStringList trimmed;
    for (const QString &line : lines)
        if (!line.trimmed().isEmpty()) trimmed << line.trimmed();
    return trimmed;
}

class OutputScenarioTest : public ScenarioTest {
protected:
    OutputScenarioTest() : m_printer(std::make_unique<TMemoryPrinter>(LetterAt(300))) {}

    void OpenWith(const std::vector<RecipeData> &recipes) { Open(recipes, Table()); }
    QTextEdit *Stampa() { return Find<QTextEdit>("Stampa"); }
    TPagePrinter *PagePrinter1() { return Find<TPagePrinter>("PagePrinter1"); }
    void ClickPrint() { Find<QAbstractButton>("StampaLaRicetta")->click(); }
    QString Calories() { return Text("Calorie"); }
    // The composed lines of the recipe on show, before wrapping.
    QStringList Composed(const RecipeData &r, const QString &notes) {
        return QStringList{
                   u"NOME: "_s + QString::fromLatin1(r.name.c_str()),
                   u"PIATTO: "_s + QString::fromLatin1(r.dish.c_str()),
                   u"INGREDIENTE PRINCIPALE: "_s + QString::fromLatin1(r.mainIngredient.c_str()),
                   u"PERSONE: "_s + QString::number(Persons()),
                   u"CALORIE PER PERSONA: "_s + Calories(),
                   u"NOTE: "_s + notes,
                   u"INGREDIENTI: "_s} +
               FromLatin1(r.ingredients) + QStringList{u"PREPARAZIONE: "_s} +
               FromLatin1(r.preparation);
    }
    static QStringList FromLatin1(const std::vector<std::string> &lines) {
        QStringList list;
        for (const std::string &line : lines) list << QString::fromLatin1(line.c_str());
        return list;
    }
    // The lines that the page printer drew on its stored pages, with their fonts and places.
    struct Drawn {
        QString text;
        QPoint at;
        int pixels;
        bool bold;
    };
    std::vector<Drawn> StoredPage(int page) {
        std::vector<Drawn> drawn;
        const PagePicture &picture = PagePrinter1()->Page(page);
        for (const PageOp &op : TextsOf(picture)) {
            const QFont &font = picture.FontOf(op);
            drawn.push_back({op.text, op.from, font.pixelSize(), font.bold()});
        }
        return drawn;
    }

    ScopedPrinter m_printer;
};

TEST_F(OutputScenarioTest, PagePrinterRoadTitleBoldThenTheBody) {
    OpenWith({Torta()});
    Pick(u"Torta"_s);
    Find<QWidget>("Nome")->setFocus();
    ClickPrint();
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    // The progress window had the focus while it was up; the window gets it back.
    EXPECT_TRUE(QTest::qWaitFor([&] { return FocusName() == u"StringaDaCercare"_s; }, 2000))
        << FocusName().toStdString();

    const QStringList expected = Composed(Torta(), u"Bambini piccoli, citt\u00E0"_s);
    ASSERT_EQ(PagePrinter1()->PageCount(), 1);
    const std::vector<Drawn> page = StoredPage(1);
    ASSERT_EQ(page.size(), std::size_t(expected.size()));
    // Window font 8 points, print size 7: title 16 points bold, body 15 points, at 300 dpi;
    // two empty lines of the page printer's 10-point font above the title.
    EXPECT_EQ(page[0].text, expected[0]);
    EXPECT_EQ(page[0].at, QPoint(0, 2 * 42));
    EXPECT_EQ(page[0].pixels, 67);
    EXPECT_TRUE(page[0].bold);
    for (qsizetype i = 1; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page[i].text, expected[i]);
        EXPECT_EQ(page[i].at, QPoint(0, 84 + 2 * 67 + int(i - 1) * 63));
        EXPECT_EQ(page[i].pixels, 63);
        EXPECT_FALSE(page[i].bold);
    }
    // The same lines reached the printer, in one job with one page.
    ASSERT_EQ(m_printer->Jobs().size(), 1u);
    const TMemoryPrinter::Job &job = m_printer->Jobs()[0];
    ASSERT_EQ(job.pages.size(), 1u);
    EXPECT_EQ(CallTexts(job.pages[0]), expected);
    EXPECT_TRUE(job.pages[0][0].font.bold());
    EXPECT_EQ(job.pages[0][0].font.family(), u"Courier New"_s);
    EXPECT_TRUE(job.ended);

    // The font is not set back: the next printout's empty lines take the body size, and a
    // smaller print size makes both sizes smaller.
    Find<Spinner>("CarattereStampa")->setValue(4);
    ClickPrint();
    const std::vector<Drawn> again = StoredPage(1);
    EXPECT_EQ(again[0].at, QPoint(0, 2 * 63));
    EXPECT_EQ(again[0].pixels, 54);  // 13 points
    EXPECT_EQ(again[1].pixels, 50);  // 12 points
    EXPECT_EQ(again[1].at.y(), 126 + 2 * 54);
    EXPECT_EQ(PagePrinter1()->Font().pointSize(), 12);
    EXPECT_FALSE(PagePrinter1()->Font().bold());
}

TEST_F(OutputScenarioTest, ClipboardHoldsTheWrappedLinesWithCrLf) {
    OpenWith({Torta(), Lunga()});
    Pick(u"Torta"_s);
    SetPersons(2);  // the copy shows the new persons value and its calories
    QLineEdit *focus = Find<QLineEdit>("Note");
    focus->setFocus();
    QTest::keyClick(m_form.get(), Qt::Key_F2);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    EXPECT_EQ(FocusName(), u"Note"_s);

    const QStringList expected = Composed(Torta(), u"Bambini piccoli, citt\u00E0"_s);
    EXPECT_TRUE(expected[3] == u"PERSONE: 2"_s);
    QByteArray bytes;
    for (qsizetype i = 0; i < expected.size(); ++i)
        bytes += (i ? "\r\n" : "") + expected[i].toUtf8();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(u"text/plain"_s), bytes);

    // Wider entries are copied as the buffer wraps them, every piece on a line of its own.
    Pick(QString::fromLatin1(Lunga().name.c_str()));
    QTest::keyClick(m_form.get(), Qt::Key_F2);
    const QStringList copied = QGuiApplication::clipboard()->text().split(u"\r\n"_s);
    const QFontMetricsF metrics(Stampa()->font());
    const double room =
        Stampa()->contentsRect().width() - 2 * Stampa()->document()->documentMargin();
    for (const QString &line : copied)
        EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), room) << line.toStdString();
    EXPECT_GE(copied.size(), Composed(Lunga(), QString()).size() + 2);  // name and notes wrap
    EXPECT_EQ(copied.join(QString()),
              Composed(Lunga(), QString::fromLatin1(Lunga().notes.c_str())).join(QString()));
}

TEST_F(OutputScenarioTest, LongNameOnlyItsFirstWrappedLineIsTheTitle) {
    OpenWith({Torta(), Lunga()});
    Pick(QString::fromLatin1(Lunga().name.c_str()));
    ClickPrint();
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    const QStringList stampa = Stampa()->toPlainText().split(u'\n');
    ASSERT_FALSE(stampa.isEmpty());
    ASSERT_GT(PagePrinter1()->PageCount(), 1);  // 150 steps do not fit one page
    const std::vector<Drawn> first = StoredPage(1);
    ASSERT_GE(first.size(), 2u);
    EXPECT_TRUE(first[0].bold);
    EXPECT_FALSE(first[1].bold);
    EXPECT_TRUE(stampa[0].startsWith(first[0].text.trimmed()));
    EXPECT_LT(first[0].text.size(), stampa[0].size());  // only the first wrapped piece
    EXPECT_TRUE(stampa[0].endsWith(first[1].text.trimmed()));

    // Every line of every page reached the printer, in order, with no extra line at the end.
    QStringList printed;
    for (const std::vector<DrawCall> &page : m_printer->Jobs().back().pages)
        printed += CallTexts(page);
    EXPECT_EQ(printed.join(QString()), stampa.join(QString()));
    EXPECT_EQ(printed.back(), u"Passo 150."_s);
    EXPECT_EQ(m_printer->Jobs().back().pages.size(), std::size_t(PagePrinter1()->PageCount()));
}

TEST_F(OutputScenarioTest, RichTextPrintInTheBuffersFontAndWrap) {
    OpenWith({Torta(), Lunga()});
    Pick(QString::fromLatin1(Lunga().name.c_str()));
    QWidget *focus = Find<QWidget>("Note");
    focus->setFocus();
    QTest::keyClick(m_form.get(), Qt::Key_F7);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    EXPECT_EQ(FocusName(), u"Note"_s);

    ASSERT_EQ(m_printer->Jobs().size(), 1u);
    const TMemoryPrinter::Job &job = m_printer->Jobs()[0];
    EXPECT_EQ(job.documentName, u"Stampa della ricetta"_s);
    EXPECT_EQ(Printer().Title(), u"Stampa della ricetta"_s);
    EXPECT_TRUE(job.ended);
    ASSERT_GT(job.pages.size(), 1u);

    // The lines break where the buffer breaks them, page after page, each once.
    QTest::keyClick(m_form.get(), Qt::Key_F2);
    const QStringList wrapped = QGuiApplication::clipboard()->text().split(u"\r\n"_s);
    QStringList printed;
    for (const std::vector<DrawCall> &page : job.pages) printed += CallTexts(page);
    EXPECT_EQ(Trimmed(printed), Trimmed(wrapped));

    // In the buffer's font, its pixels scaled to the printer (96 to 300 dots per inch).
    const auto text =
        std::find_if(job.pages[0].begin(), job.pages[0].end(),
                     [](const DrawCall &call) { return call.kind == DrawCall::Text; });
    ASSERT_NE(text, job.pages[0].end());
    const DrawCall &first = *text;
    EXPECT_EQ(first.font.family(), Stampa()->font().family());
    EXPECT_EQ(first.font.pixelSize(), Stampa()->font().pixelSize());
    const double scale = 300.0 / Stampa()->logicalDpiX();
    const double margin = Stampa()->document()->documentMargin();
    EXPECT_NEAR(first.position.x(), margin * scale, 0.5);
    EXPECT_NEAR(first.position.y(), (margin + QFontMetricsF(Stampa()->font()).ascent()) * scale,
                2 * scale);
}

TEST_F(OutputScenarioTest, WithNoRecipeTheLabelsGoOutWithEmptyValues) {
    OpenWith({Torta()});
    ClickPrint();
    QTest::keyClick(m_form.get(), Qt::Key_F2);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    const QStringList expected{u"NOME: "_s,
                               u"PIATTO: "_s,
                               u"INGREDIENTE PRINCIPALE: "_s,
                               u"PERSONE: "_s + QString::number(Persons()),
                               u"CALORIE PER PERSONA: "_s + Calories(),
                               u"NOTE: "_s,
                               u"INGREDIENTI: "_s,
                               u"PREPARAZIONE: "_s};
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected.join(u"\r\n"_s));
    std::vector<Drawn> page = StoredPage(1);
    ASSERT_EQ(page.size(), std::size_t(expected.size()));
    for (qsizetype i = 0; i < expected.size(); ++i) EXPECT_EQ(page[i].text, expected[i]);
}

TEST_F(OutputScenarioTest, OutputsNeverWriteTheDataFiles) {
    OpenWith({Torta()});
    std::map<std::string, std::string> before;
    for (const char *name : {"ricette.txt", "ing.txt", "luoghi.txt"})
        before[name] = m_dir.read(name);
    const QStringList listing = QDir(QString::fromStdString(m_dir.file(""))).entryList();
    Pick(u"Torta"_s);
    ClickPrint();
    QTest::keyClick(m_form.get(), Qt::Key_F2);
    QTest::keyClick(m_form.get(), Qt::Key_F7);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    for (const auto &[name, bytes] : before) EXPECT_EQ(m_dir.read(name), bytes) << name;
    EXPECT_EQ(QDir(QString::fromStdString(m_dir.file(""))).entryList(), listing);
}

class NoPrinterScenarioTest : public ScenarioTest {
protected:
    NoPrinterScenarioTest() : m_printer(TMemoryPrinter::WithoutPrinter()) {}
    ScopedPrinter m_printer;
};

TEST_F(NoPrinterScenarioTest, ThePrinterErrorIsReportedAndTheProgramGoesOn) {
    Open({Torta()}, Table());
    Pick(u"Torta"_s);
    for (const bool pagePrinter : {true, false}) {
        SCOPED_TRACE(pagePrinter);
        Find<QTextEdit>("Stampa")->setPlainText(u"Stampa"_s);
        const qsizetype before = m_errors.messages().size();
        ShowActive();  // the box gave the focus back
        if (pagePrinter)
            Find<QAbstractButton>("StampaLaRicetta")->click();
        else
            QTest::keyClick(m_form.get(), Qt::Key_F7);
        // The error report, captioned with the program's title, shows the printer's message.
        ASSERT_EQ(m_errors.messages().size(), before + 1);
        EXPECT_EQ(m_errors.messages().back(), u"No printer is installed or selected."_s);
        // The composed text stays in the buffer; the page printer holds no open document.
        EXPECT_TRUE(Find<QTextEdit>("Stampa")->toPlainText().startsWith(u"NOME: Torta\n"_s));
        EXPECT_FALSE(Find<TPagePrinter>("PagePrinter1")->Printing());
    }
    // The program goes on: the clipboard still works.
    ShowActive();
    QTest::keyClick(m_form.get(), Qt::Key_F2);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(u"NOME: Torta\r\n"_s));
}

}  // namespace
