#include "FormFixture.h"
#include "ScenarioData.h"
#include "support/LoopbackServer.h"

#include "data/RecipeFile.h"
#include "exchange/JsonLdReader.h"
#include "exchange/MealMasterReader.h"
#include "widgets/ComboBox.h"
#include "widgets/PassingMessage.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <map>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// Answers the modal windows of one action, as they come, by their object names.
class DialogDriver {
public:
    using Answer = std::function<void(QWidget *)>;
    explicit DialogDriver(std::map<QString, Answer> answers) : m_answers(std::move(answers)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            // A dialog still open some time after its answer did not take it yet: again.
            if (modal == nullptr || (modal == m_last && m_answered.elapsed() < 300)) return;
            if (modal != m_last) m_seen << modal->objectName();
            m_last = modal;
            m_answered.start();
            const auto answer = m_answers.find(modal->objectName());
            if (answer != m_answers.end())
                answer->second(modal);
            else
                modal->close();
        });
        m_timer.start();
    }
    const QStringList &seen() const { return m_seen; }

private:
    std::map<QString, Answer> m_answers;
    QTimer m_timer;
    QWidget *m_last = nullptr;
    QElapsedTimer m_answered;
    QStringList m_seen;
};

DialogDriver::Answer ChooseFile(const QString &path) {
    return [path](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        // Typed into the file name field, as a user does: `selectFile` leaves a focused
        // field alone.
        dialog->setDirectory(QFileInfo(path).absolutePath());
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(field, nullptr);
        field->setText(path);
        // Accepted as a user's choice is, without waiting for the folder view to load; while
        // the view still changes the choice, the driver comes back later.
        if (dialog->selectedFiles() == QStringList{path})
            static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
    };
}

class ExchangeScenarioTest : public FormTest {
protected:
    void SetUp() override {
        WriteSmallCollection();
        CopySamplePicture(m_dir, "noimage.jpg", "noimage.jpg");
        CreateForm();
    }
    QTemporaryDir m_out;
};

}  // namespace

// The preview lists each recipe with its problems; renaming a conflict appends "Nome (2)",
// and the lists show the new recipes at once.
TEST_F(ExchangeScenarioTest, ImportRenamesAConflictAndListsTheNewRecipes) {
    const QString file = m_out.filePath(QStringLiteral("ricette.mmf"));
    QFile mealMaster(file);
    ASSERT_TRUE(mealMaster.open(QIODevice::WriteOnly));
    mealMaster.write(
        "MMMMM----- x\r\n\r\n      Title: Bruschetta\r\n\r\n      4 sl Pane\r\n\r\n"
        "  Tostare.\r\nMMMMM\r\nMMMMM----- x\r\n\r\n      Title: Nuova Torta \xE2\x98\xBA\r\n"
        " Categories: primo\r\n\r\n    200 g  Farina\r\n\r\n  Impastare.\r\nMMMMM\r\n");
    mealMaster.close();

    QStringList rows;
    QString report;
    DialogDriver driver(
        {{QStringLiteral("ImportaRicette"), ChooseFile(file)},
         {QStringLiteral("AnteprimaImportazione"),
          [&rows](QWidget *preview) {
              auto *table = preview->findChild<QTableView *>(QStringLiteral("ElencoImportazione"));
              const QAbstractItemModel *model = table->model();
              // Skipped as a name already present, it cannot be imported: not ticked.
              EXPECT_EQ(model->index(0, 0).data(Qt::CheckStateRole), Qt::Unchecked);
              preview->findChild<QComboBox *>(QStringLiteral("NomiPresenti"))->setCurrentIndex(1);
              EXPECT_EQ(model->index(0, 0).data(Qt::CheckStateRole), Qt::Checked);
              for (int row = 0; row < model->rowCount(); ++row)
                  rows << model->index(row, 1).data().toString() + u'|' +
                              model->index(row, 4).data().toString();
              preview->findChild<QPushButton *>(QStringLiteral("ConfermaImportazione"))->click();
          }},
         {QStringLiteral("EsitoImportazione"), [&report](QWidget *box) {
              report = qobject_cast<QMessageBox *>(box)->text();
              box->close();
          }}});
    Find<QAction>("Importa1")->trigger();
    ASSERT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("Bruschetta (2)|Nome gi\u00e0 presente")))
        << rows[0].toStdString();
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("Nuova Torta ?|Caratteri")))
        << rows[1].toStdString();
    EXPECT_TRUE(rows[1].contains(QStringLiteral("U+263A")));
    EXPECT_EQ(report, QStringLiteral("Importate 2 ricette."));

    EXPECT_EQ(ListRecipeNames(m_dir.file("ricette.txt")).names.size(), 7u);
    const auto renamed = FindRecipe(m_dir.file("ricette.txt"), "Bruschetta (2)");
    ASSERT_TRUE(renamed);
    EXPECT_EQ(renamed->ingredients, std::vector<std::string>{"4 Fette ==== Pane"});
    const auto torta = FindRecipe(m_dir.file("ricette.txt"), "Nuova Torta ?");
    ASSERT_TRUE(torta);
    EXPECT_EQ(torta->dish, "Primo");  // the collection's spelling
    EXPECT_TRUE(
        Items(Find<QComboBox>("RicetteTrovate")).contains(QStringLiteral("Bruschetta (2)")));
}

// A file named in capitals is offered under the filter; one recipe is told in the singular,
// its name shown whole beside a narrow column of no problems, the outcome as information.
TEST_F(ExchangeScenarioTest, ImportOfOneRecipeFromAFileInCapitals) {
    for (const char *name : {"UNA.MMF", "altra.Mmf", "nota.pdf"}) {
        QFile file(m_out.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            "MMMMM----- x\r\n\r\n      Title: Zuppa lunghissima di verdure dell'orto "
            "con crostini\r\n\r\n      4 sl Pane\r\n\r\n  Tostare.\r\nMMMMM\r\n");
    }
    const QString file = m_out.filePath(QStringLiteral("UNA.MMF"));
    QStringList listed;
    QString summary, report;
    int icon = 0, nameWidth = 0, problemsWidth = 0, nameNeeds = 0;
    DialogDriver driver(
        {{QStringLiteral("ImportaRicette"),
          [&](QWidget *modal) {
              auto *dialog = qobject_cast<QFileDialog *>(modal);
              dialog->setDirectory(m_out.path());
              auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
              listed.clear();
              for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                  listed << view->model()->index(row, 0, view->rootIndex()).data().toString();
              // The folder is read in the background: the driver comes back until it is.
              if (listed.size() >= 2) ChooseFile(file)(modal);
          }},
         {QStringLiteral("AnteprimaImportazione"),
          [&](QWidget *preview) {
              summary =
                  preview->findChild<QLabel *>(QStringLiteral("RiepilogoImportazione"))->text();
              auto *table = preview->findChild<QTableView *>(QStringLiteral("ElencoImportazione"));
              nameWidth = table->columnWidth(1);
              problemsWidth = table->columnWidth(4);
              nameNeeds = table->fontMetrics().horizontalAdvance(
                  table->model()->index(0, 1).data().toString());
              preview->findChild<QPushButton *>(QStringLiteral("ConfermaImportazione"))->click();
          }},
         {QStringLiteral("EsitoImportazione"), [&](QWidget *box) {
              report = qobject_cast<QMessageBox *>(box)->text();
              icon = qobject_cast<QMessageBox *>(box)->icon();
              box->close();
          }}});
    Find<QAction>("Importa1")->trigger();
    ASSERT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
    listed.sort(Qt::CaseInsensitive);
    EXPECT_EQ(listed, QStringList({QStringLiteral("altra.Mmf"), QStringLiteral("UNA.MMF")}));
    EXPECT_TRUE(summary.startsWith(QStringLiteral("UNA.MMF: 1 ricetta letta (codifica ")))
        << summary.toStdString();
    EXPECT_GT(nameWidth, nameNeeds);
    EXPECT_LT(problemsWidth, nameWidth / 2);
    EXPECT_EQ(report, QStringLiteral("Importata 1 ricetta."));
    EXPECT_EQ(icon, QMessageBox::Information);
}

// Nothing to act on is told as information, not as an error.
TEST_F(ExchangeScenarioTest, NothingToActOnIsANotice) {
    Find<QAction>("AggiungiSpesa1")->trigger();
    ASSERT_EQ(m_errors.icons().size(), 1);
    EXPECT_EQ(m_errors.icons()[0], QMessageBox::Information);
}

// Cancelling the preview writes nothing.
TEST_F(ExchangeScenarioTest, CancelledImportLeavesTheCollectionUntouched) {
    const std::string before = m_dir.read("ricette.txt");
    const QString file = m_out.filePath(QStringLiteral("pagina.json"));
    QFile page(file);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(R"({"@type":"Recipe","name":"Da Una Pagina","recipeIngredient":["2 uova"]})");
    page.close();
    DialogDriver driver({{QStringLiteral("ImportaRicette"), ChooseFile(file)}});
    Find<QAction>("Importa1")->trigger();
    EXPECT_TRUE(driver.seen().contains(QStringLiteral("AnteprimaImportazione")));
    EXPECT_TRUE(m_errors.messages().isEmpty());
    EXPECT_EQ(m_dir.read("ricette.txt"), before);
}

// With no recipe on show the whole list on show is exported; the file reads back whole.
TEST_F(ExchangeScenarioTest, ExportOfTheListOnShowReadsBack) {
    const QString file = m_out.filePath(QStringLiteral("elenco.json"));
    DialogDriver driver({{QStringLiteral("EsportaRicette"), ChooseFile(file)}});
    Find<QAction>("Esporta1")->trigger();
    ASSERT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
    // Told in passing, with no box to answer.
    EXPECT_EQ(driver.seen(), QStringList{QStringLiteral("EsportaRicette")});
    EXPECT_EQ(PassingMessage::Of(m_form.get())->fullText(),
              QStringLiteral("Esportate 4 ricette in ") + QDir::toNativeSeparators(file));
    const ImportResult back = ReadWebRecipeFile(file.toStdString(), {});
    QStringList names;
    for (const ImportedRecipe &recipe : back.recipes)
        names << QString::fromLatin1(recipe.record.name.c_str());
    // The duplicate name is exported once, as its first record.
    EXPECT_EQ(names, QStringList({QStringLiteral("\u00C0cqua cotta"), QStringLiteral("arrosto"),
                                  QStringLiteral("Bruschetta"), QStringLiteral("Zuppa di farro")}));
    EXPECT_EQ(back.recipes[0].record.notes, "Roma");
    EXPECT_EQ(back.recipes[0].record.mainIngredient, "Pasta");
}

// With a recipe on show the user chooses it alone; MealMaster is written and reads back.
TEST_F(ExchangeScenarioTest, ExportOfTheRecipeOnShow) {
    auto *list = Find<QComboBox>("RicetteTrovate");
    const int row = list->findText(QStringLiteral("Bruschetta"));
    ASSERT_GE(row, 0);
    list->setCurrentIndex(row);
    emit list->activated(row);
    ASSERT_EQ(m_form->currentRecipeName(), "Bruschetta");

    const QString file = m_out.filePath(QStringLiteral("una.mmf"));
    DialogDriver driver(
        {{QStringLiteral("SceltaEsportazione"),
          [](QWidget *box) {
              box->findChild<QPushButton *>(QStringLiteral("EsportaRicettaVisualizzata"))->click();
          }},
         {QStringLiteral("EsportaRicette"), ChooseFile(file)}});
    Find<QAction>("Esporta1")->trigger();
    ASSERT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
    EXPECT_EQ(PassingMessage::Of(m_form.get())->fullText(),
              QStringLiteral("Esportata 1 ricetta in ") + QDir::toNativeSeparators(file));
    const ImportResult back = ReadMealMasterFile(file.toStdString(), {"Primo"});
    ASSERT_EQ(back.recipes.size(), 1u);
    const RecipeRecord &recipe = back.recipes[0].record;
    EXPECT_EQ(recipe.name, "Bruschetta");
    EXPECT_EQ(recipe.dish, "Primo");
    EXPECT_EQ(recipe.mainIngredient, "Pasta");
    EXPECT_EQ(recipe.notes, "Roma");
    EXPECT_EQ(recipe.ingredients, std::vector<std::string>{"100 g ==== Pasta"});
    EXPECT_EQ(recipe.preparation, std::vector<std::string>{"Cuocere."});
}

// An address on the clipboard is offered; the page it names ends in the preview, and the
// confirmed recipe is saved with its picture (the first address that gives one) as JPEG.
TEST_F(ExchangeScenarioTest, AddressImportSavesTheRecipeAndItsPicture) {
    LoopbackServer server;
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(photo.save(&buffer, "PNG"));
    server.serve("/foto.png", Answer(200, "image/png", png));
    server.serve("/torta.html",
                 Answer(200, "text/html; charset=utf-8",
                        R"(<html><script type="application/ld+json">{"@type":"Recipe",
                        "name":"Torta Dal Web","recipeIngredient":["200 g farina"],
                        "recipeInstructions":"Impastare.","image":["/assente.jpg",
                        {"@type":"ImageObject","url":"foto.png"}]}</script></html>)"));
    const QString address = server.url(QStringLiteral("/torta.html")).toString();
    QGuiApplication::clipboard()->setText(QStringLiteral("  ") + address + QStringLiteral("\n"));

    QString offered, preview, report;
    DialogDriver driver(
        {{QStringLiteral("ImportaIndirizzo"),
          [&offered](QWidget *dialog) {
              offered = dialog->findChild<QLineEdit *>()->text();
              static_cast<QDialog *>(dialog)->accept();
          }},
         {QStringLiteral("ScaricamentoIndirizzo"), [](QWidget *) {}},
         {QStringLiteral("AnteprimaImportazione"),
          [&preview](QWidget *dialog) {
              preview = dialog->findChild<QTableView *>()->model()->index(0, 1).data().toString();
              dialog->findChild<QPushButton *>(QStringLiteral("ConfermaImportazione"))->click();
          }},
         {QStringLiteral("EsitoImportazione"), [&report](QWidget *box) {
              report = qobject_cast<QMessageBox *>(box)->text();
              box->close();
          }}});
    Find<QAction>("ImportaIndirizzo1")->trigger();
    ASSERT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
    EXPECT_EQ(offered, address);
    EXPECT_EQ(preview, QStringLiteral("Torta Dal Web"));
    EXPECT_EQ(report, QStringLiteral("Importata 1 ricetta. 1 immagine copiata."));
    const auto torta = FindRecipe(m_dir.file("ricette.txt"), "Torta Dal Web");
    ASSERT_TRUE(torta);
    EXPECT_EQ(torta->preparation, std::vector<std::string>{"Impastare."});
    QImageReader saved(m_dir.qpath() + QStringLiteral("immagini/Torta Dal Web.jpg"));
    EXPECT_EQ(saved.format(), QByteArray("jpeg"));
    EXPECT_EQ(saved.size(), photo.size());
}

// An address that gives no recipe is reported, a download cancelled ends quietly, and
// nothing is written.
TEST_F(ExchangeScenarioTest, FailedAddressImportsWriteNothing) {
    LoopbackServer server;
    server.serve("/vuota.html", Answer(200, "text/html", "<html><p>Nessuna ricetta</p></html>"));
    server.serve("/muta.html", {"HTTP/1.1 200 OK\r\n", "x", CannedAnswer::Body::Silent});
    const std::string before = m_dir.read("ricette.txt");
    QGuiApplication::clipboard()->clear();
    const struct {
        QString address;
        QString message;
    } cases[] = {
        {"ftp://127.0.0.1/torta", "non \u00e8 un indirizzo web"},
        {server.url("/vuota.html").toString(), "Nessuna ricetta trovata nella pagina"},
        {server.url("/muta.html").toString(), ""},
    };
    for (const auto &c : cases) {
        DialogDriver driver({{QStringLiteral("ImportaIndirizzo"),
                              [&c](QWidget *dialog) {
                                  dialog->findChild<QLineEdit *>()->setText(c.address);
                                  static_cast<QDialog *>(dialog)->accept();
                              }},
                             {QStringLiteral("ScaricamentoIndirizzo"), [&c](QWidget *progress) {
                                  if (c.message.isEmpty())
                                      progress->findChild<QPushButton *>()->click();
                              }}});
        Find<QAction>("ImportaIndirizzo1")->trigger();
        EXPECT_FALSE(driver.seen().contains(QStringLiteral("AnteprimaImportazione")));
    }
    // One report each, none for the cancelled one (the last).
    ASSERT_EQ(m_errors.messages().size(), 2) << m_errors.messages().join(u'\n').toStdString();
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(m_errors.messages()[i].contains(cases[i].message))
            << m_errors.messages()[i].toStdString();
    EXPECT_EQ(m_dir.read("ricette.txt"), before);
}
