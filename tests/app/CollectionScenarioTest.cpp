#include "FormFixture.h"
#include "ScenarioData.h"
#include "collection/CollectionCopy.h"
#include "collection/CollectionFolder.h"
#include "collection/RecentCollections.h"
#include "common/Exception.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace Qt::StringLiterals;
using namespace sapidoro;
using namespace sapidoro::test;

namespace {

// One record whose dish and persons the tests can tell apart.
std::string Dish(const std::string &name, const std::string &dish) {
    return CrLf({"-Nome", name, "-Piatto", dish, "-I", "Pasta", "-Persone", "2", "-Note", "Roma",
                 "-Ingredienti", "100 g ==== Pasta", "-Preparazione", "Cuocere.", ":Ricette"});
}

void WriteCollection(const TempDir &dir, std::initializer_list<std::string> records) {
    std::string file = ":Ricette\r\n";
    for (const std::string &record : records) file += record;
    dir.write("ricette.txt", file);
    dir.write("ing.txt", CrLf({"Pasta_ING == 100 g === 350"}));
    dir.write("luoghi.txt", CrLf({"Roma", "Napoli"}));
    CopySamplePicture(dir, "noimage.jpg", "noimage.jpg");
}

class CollectionScenarioTest : public FormTest {
protected:
    QComboBox *Box(const char *name) { return Find<QComboBox>(name); }

    void Pick(const QString &name) {
        QComboBox *results = Box("RicetteTrovate");
        const int index = results->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        results->setCurrentIndex(index);
        emit results->activated(index);
    }

    // Everything the window shows of the collection and of the recipe on show.
    QStringList Snapshot() {
        QStringList shown = Items(Box("Nome")) + Items(Box("RicetteTrovate")) +
                            Items(Box("RicetteTrovateScambio")) + Items(Box("StringaDaCercare"));
        for (const char *box : {"Nome", "StringaDaCercare", "SelezioneAmbitoRicerca"})
            shown << Box(box)->currentText();
        for (const char *edit : {"Piatto", "Note", "Calorie"})
            shown << Find<QLineEdit>(edit)->text();
        for (const char *text : {"Ingredienti", "Preparazione", "RicettaCompleta"})
            shown << Find<QPlainTextEdit>(text)->toPlainText();
        shown << QString::fromStdString(m_form->dataFolder())
              << QString::fromStdString(m_form->currentRecipeName());
        return shown;
    }

    // Chooses `folder` in the window's folder dialog once it is open, as a user would.
    void AnswerFolderDialog(const QString &folder) {
        QTimer::singleShot(10, m_form.get(), [this, folder] {
            auto *dialog = m_form->findChild<QFileDialog *>(QStringLiteral("ApriRaccoltaDialog"));
            if (dialog == nullptr || !dialog->isVisible()) return AnswerFolderDialog(folder);
            dialog->setDirectory(folder);
            static_cast<QDialog *>(dialog)->accept();  // as its Open button does
        });
    }
};

TEST_F(CollectionScenarioTest, TheMenuOpensAGoodFolderAndKeepsEverythingOnABrokenOne) {
    WriteCollection(m_dir, {Dish("Bruschetta", "Antipasto"), Dish("Arrosto", "Carne")});
    CreateForm();
    Pick(QStringLiteral("Bruschetta"));
    ASSERT_EQ(Find<QLineEdit>("Piatto")->text(), QStringLiteral("Antipasto"));
    const QStringList before = Snapshot();

    TempDir outside;
    outside.write("ricette.txt", ":Ricette\r\n" + Dish("Fuori", "Primo"));
    // Each message is Italian and names the folder or file (%1: the folder).
    struct Broken {
        const char *what;
        std::function<void(const TempDir &)> make;
        QString message;
    };
    const Broken broken[] = {
        {"no recipe file", [](const TempDir &) {},
         u"La cartella \"%1\" non contiene il file ricette.txt."_s},
        {"no calorie table",
         [](const TempDir &dir) { dir.write("ricette.txt", ":Ricette\r\n" + Dish("A", "B")); },
         u"Il file \"%1/ing.txt\" non esiste."_s},
        {"recipe file linked out of the folder",
         [&outside](const TempDir &dir) {
             std::filesystem::create_symlink(outside.file("ricette.txt"), dir.file("ricette.txt"));
             dir.write("ing.txt", "");
         },
         u"Il file ricette.txt della cartella \"%1\" non si può leggere, o non è un file "
         u"normale che sta dentro la cartella."_s},
    };
    // The collection's entries in their own submenu of the popup menu.
    auto *collectionMenu = Find<QMenu>("Raccolta1");
    ASSERT_EQ(collectionMenu->parent(), Find<QMenu>("PopupMenu1"));
    QStringList entries;
    for (const QAction *action : collectionMenu->actions()) entries << action->text();
    EXPECT_EQ(entries, (QStringList{QString::fromUtf8("Apri raccolta\u2026"),
                                    QStringLiteral("Raccolte recenti"), QString(),
                                    QStringLiteral("Ricarica raccolta"),
                                    QString::fromUtf8("Crea una raccolta tua\u2026")}));
    QAction *open = Find<QAction>("ApriRaccolta1");
    ASSERT_EQ(open->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    for (const Broken &b : broken) {
        TempDir folder;
        b.make(folder);
        const qsizetype reports = m_errors.messages().size();
        AnswerFolderDialog(folder.qpath());
        open->trigger();
        ASSERT_EQ(m_errors.messages().size(), reports + 1) << b.what;
        EXPECT_EQ(m_errors.messages().last(), b.message.arg(folder.qpath().chopped(1))) << b.what;
        EXPECT_EQ(Snapshot(), before) << b.what;
    }

    TempDir other;
    WriteCollection(other, {Dish("Zuppa", "Primo"), Dish("Caponata", "Contorno")});
    Box("SelezioneAmbitoRicerca")->setEditText(QStringLiteral("Luogo"));
    AnswerFolderDialog(other.qpath());
    open->trigger();
    EXPECT_EQ(m_form->dataFolder(), other.path());
    const QStringList names{QStringLiteral("Caponata"), QStringLiteral("Zuppa")};
    EXPECT_EQ(Items(Box("Nome")), names);
    EXPECT_EQ(Items(Box("RicetteTrovate")), names);
    EXPECT_EQ(Find<QAbstractButton>("Ricerche")->text(), QStringLiteral("CERCA SU 2 RICETTE"));
    EXPECT_EQ(Box("SelezioneAmbitoRicerca")->currentText(), QStringLiteral("Ingredienti"));
    EXPECT_EQ(Box("StringaDaCercare")->currentText(), QStringLiteral("Ricerca per 1 ingredienti"));
    EXPECT_EQ(Find<QLineEdit>("Piatto")->text(), QString());
    EXPECT_EQ(Find<QPlainTextEdit>("RicettaCompleta")->toPlainText(), QString());
    EXPECT_EQ(m_form->currentRecipeName(), std::string());

    // The folder is remembered under the test's own config folder, first among the recent.
    const QSettings settings(QStringLiteral("Sapidoro"), QStringLiteral("Sapidoro"));
    EXPECT_TRUE(
        settings.fileName().startsWith(QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"))));
    emit collectionMenu->aboutToShow();  // as when the user opens it
    auto *recent = m_form->findChild<QMenu *>(QStringLiteral("RaccolteRecenti1"));
    ASSERT_NE(recent, nullptr);
    ASSERT_FALSE(recent->actions().isEmpty());
    EXPECT_EQ(recent->actions().first()->text(), other.qpath());
    // The recent entry opens its folder again.
    AnswerFolderDialog(m_dir.qpath());
    open->trigger();
    ASSERT_EQ(m_form->dataFolder(), m_dir.path());
    emit collectionMenu->aboutToShow();
    QAction *entry = recent->actions().at(1);
    EXPECT_EQ(entry->text(), other.qpath());
    entry->trigger();
    EXPECT_EQ(m_form->dataFolder(), other.path());
}

TEST_F(CollectionScenarioTest, ReloadKeepsTheScopeAndTheRecipeOnShow) {
    WriteCollection(m_dir, {Dish("Bruschetta", "Antipasto"), Dish("Arrosto", "Carne")});
    CreateForm();
    Box("SelezioneAmbitoRicerca")->setEditText(QStringLiteral("Luogo"));
    Pick(QStringLiteral("Bruschetta"));
    m_dir.write("luoghi.txt", CrLf({"Bari"}));
    m_dir.write("ricette.txt",
                ":Ricette\r\n" + Dish("Bruschetta", "Merenda") + Dish("Caponata", "Contorno"));
    QAction *reload = Find<QAction>("Ricarica1");
    EXPECT_EQ(reload->shortcut(), QKeySequence(Qt::Key_F5));
    reload->trigger();
    EXPECT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
    EXPECT_EQ(Items(Box("RicetteTrovate")),
              (QStringList{QStringLiteral("Bruschetta"), QStringLiteral("Caponata")}));
    EXPECT_EQ(Box("SelezioneAmbitoRicerca")->currentText(), QStringLiteral("Luogo"));
    EXPECT_EQ(Items(Box("StringaDaCercare")), (QStringList{QStringLiteral("Bari"), QString()}));
    EXPECT_EQ(m_form->currentRecipeName(), "Bruschetta");
    EXPECT_EQ(Find<QLineEdit>("Piatto")->text(), QStringLiteral("Merenda"));
    EXPECT_TRUE(Find<QPlainTextEdit>("RicettaCompleta")->toPlainText().contains(u"Merenda"));

    // A recipe that is gone leaves the view empty; a failing reload leaves it all as it was.
    m_dir.write("ricette.txt", ":Ricette\r\n" + Dish("Caponata", "Contorno"));
    reload->trigger();
    EXPECT_EQ(m_form->currentRecipeName(), std::string());
    EXPECT_EQ(Find<QLineEdit>("Piatto")->text(), QString());
    Pick(QStringLiteral("Caponata"));
    const QStringList before = Snapshot();
    std::filesystem::remove(m_dir.file("ing.txt"));
    reload->trigger();
    EXPECT_EQ(m_errors.messages(),
              QStringList{u"Il file \"%1\" non esiste."_s.arg(m_dir.qpath() + u"ing.txt"_s)});
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(CollectionScenarioTest, ARenameOverSaveByAnotherProgramIsFollowed) {
    WriteCollection(m_dir, {Dish("Bruschetta", "Antipasto"), Dish("Arrosto", "Carne")});
    CreateForm();
    Pick(QStringLiteral("Bruschetta"));
    // Saved as editors save: a new file written beside the old one, then renamed over it;
    // the second save checks that the watch follows the renamed file.
    for (const char *dish : {"Merenda", "Cena"}) {
        m_dir.write("nuovo.tmp",
                    ":Ricette\r\n" + Dish("Bruschetta", dish) + Dish("Zuppa", "Primo"));
        QProcess mv;
        mv.start(QStringLiteral("mv"), {m_dir.qpath() + QStringLiteral("nuovo.tmp"),
                                        m_dir.qpath() + QStringLiteral("ricette.txt")});
        ASSERT_TRUE(mv.waitForFinished(10000));
        ASSERT_EQ(mv.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLineEdit>("Piatto")->text(), QString::fromUtf8(dish), 5000);
        EXPECT_EQ(m_form->currentRecipeName(), "Bruschetta");
        EXPECT_EQ(Items(Box("Nome")),  // Arrosto is gone, Zuppa came
                  (QStringList{QStringLiteral("Bruschetta"), QStringLiteral("Zuppa")}));
    }
    EXPECT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
}

// Runs `act` on the modal window named `name` once it is open.
void WhenOpen(const QString &name, const std::function<void(QWidget *)> &act) {
    QTimer::singleShot(10, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->objectName() != name) return WhenOpen(name, act);
        act(modal);
    });
}

// Presses the button captioned `button` of the message box named `name` once it is open,
// keeping its text in `said`; the folder dialog named `dialog` that opens next gets `folder`.
void AnswerWhenOpen(const QString &name, const QString &button, QString *said,
                    const QString &dialog = QString(), const QString &folder = QString()) {
    WhenOpen(name, [=](QWidget *modal) {
        auto *box = static_cast<QMessageBox *>(modal);
        *said = box->text();
        if (!folder.isEmpty()) {
            WhenOpen(dialog, [folder](QWidget *fileDialog) {
                static_cast<QFileDialog *>(fileDialog)->setDirectory(folder);
                static_cast<QDialog *>(fileDialog)->accept();  // as its Open button does
            });
        }
        for (QAbstractButton *b : box->buttons())
            if (b->text() == button) QTest::mouseClick(b, Qt::LeftButton);
    });
}

// The last collection opened cannot be opened at start-up: the user hears which folder and
// chooses another one or the sample; the folder stays first among the remembered ones, and
// opens again, without a question, once it is back.
TEST(StartFolder, AMissingRememberedFolderIsNamedAndOpensAgainOnceBack) {
    TempDir remembered, other;
    WriteCollection(remembered, {Dish("Uno", "Primo")});
    WriteCollection(other, {Dish("Due", "Primo")});
    const QStringList recent{remembered.qpath(), other.qpath()};
    QSettings(u"Sapidoro"_s, u"Sapidoro"_s).setValue(u"collections/recent"_s, recent);
    std::filesystem::rename(remembered.file("ricette.txt"), remembered.file("ricette.bak"));
    const QString sample = QCoreApplication::applicationDirPath() + u'/';
    struct Answer {
        QString button, folder, opened;
        bool fallback;
    };
    const Answer answers[] = {
        {u"Apri la raccolta di esempio"_s, {}, sample, true},
        {u"Scegli un'altra cartella…"_s, other.qpath(), other.qpath(), false},
    };
    ErrorReports errors;  // the sample of a test program has no recipe file
    for (const Answer &answer : answers) {
        QString said;
        AnswerWhenOpen(u"RaccoltaNonTrovata"_s, answer.button, &said, u"ApriRaccoltaDialog"_s,
                       answer.folder);
        TForm1 form;
        EXPECT_TRUE(said.contains(u"La cartella \"%1\" non contiene il file ricette.txt."_s.arg(
            remembered.qpath().chopped(1))))
            << said.toStdString();
        EXPECT_EQ(form.dataFolderPath(), answer.opened);
        EXPECT_EQ(form.startedOnFallback(), answer.fallback);
    }
    EXPECT_EQ(RememberedCollections(), recent);
    std::filesystem::rename(remembered.file("ricette.bak"), remembered.file("ricette.txt"));
    {
        TForm1 form;
        EXPECT_EQ(form.dataFolder(), remembered.path());
        EXPECT_FALSE(form.startedOnFallback());
    }
    QSettings(u"Sapidoro"_s, u"Sapidoro"_s).remove(u"collections/recent"_s);
}

// The real program run as a child: its exit status and what it writes.
struct CommandCase {
    const char *what;
    std::function<QStringList(const TempDir &)> arguments;
    int status;
    const char *output;  // expected in standard output (status 0) or standard error
};

TEST(CommandLine, StatusesAndMessagesOfTheRealProgram) {
    TempDir dir;
    TempDir outside;
    outside.write("ricette.txt", ":Ricette\r\n");
    dir.write("file", "x");
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir.file("niente"), dir.file("rotto"));
    std::filesystem::create_directory(dir.file("vuota"));
    std::filesystem::create_directory(dir.file("fuori"));
    std::filesystem::create_symlink(outside.file("ricette.txt"), dir.file("fuori/ricette.txt"));
    const auto at = [](const char *name) {
        return
            [name](const TempDir &d) { return QStringList{d.qpath() + QString::fromUtf8(name)}; };
    };
    const CommandCase cases[] = {
        {"help", [](const TempDir &) { return QStringList{QStringLiteral("--help")}; }, 0,
         "Uso: sapidoro [opzioni] [CARTELLA]"},
        {"version", [](const TempDir &) { return QStringList{QStringLiteral("-v")}; }, 0,
         "Sapidoro 1.3\n"},
        {"menu entries for the package's checks",
         [](const TempDir &) {
             return QStringList{QStringLiteral("--list-menu"),
                                QStringLiteral(SAPIDORO_SAMPLE_DATA)};
         },
         0, "Copia\nStampa\n"},
        {"unknown option", [](const TempDir &) { return QStringList{QStringLiteral("--xyz")}; }, 2,
         "opzione sconosciuta \"--xyz\""},
        {"two folders",
         [](const TempDir &d) {
             return QStringList{d.qpath(), d.qpath()};
         },
         2, "una sola cartella"},
        {"missing", at("manca"), 2, "non esiste"},
        {"file", at("file"), 2, "non è una cartella"},
        {"fifo", at("fifo"), 2, "non è una cartella"},
        {"device", [](const TempDir &) { return QStringList{QStringLiteral("/dev/null")}; }, 2,
         "non è una cartella"},
        {"dangling link", at("rotto"), 2, "non porta a nulla"},
        {"no recipe file", at("vuota"), 2, "non contiene il file ricette.txt"},
        {"recipe file linked outside", at("fuori"), 2, "non è un file normale"},
    };
    for (const CommandCase &c : cases) {
        QProcess program;
        program.start(QStringLiteral(SAPIDORO_EXECUTABLE), c.arguments(dir));
        ASSERT_TRUE(program.waitForFinished(20000)) << c.what;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << c.what;
        EXPECT_EQ(program.exitCode(), c.status) << c.what;
        const QString out = QString::fromLocal8Bit(c.status == 0 ? program.readAllStandardOutput()
                                                                 : program.readAllStandardError());
        EXPECT_TRUE(out.contains(QString::fromUtf8(c.output)))
            << c.what << ": " << out.toStdString();
    }
}

TEST(CommandLine, AnUnreadableFolderIsRefused) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads any folder: this case needs a plain user";
    TempDir dir;
    std::filesystem::create_directory(dir.file("chiusa"));
    ::chmod(dir.file("chiusa").c_str(), 0);
    QProcess program;
    program.start(QStringLiteral(SAPIDORO_EXECUTABLE), {dir.qpath() + QStringLiteral("chiusa")});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(
        QString::fromLocal8Bit(program.readAllStandardError()).contains(u"permesso negato"));
    ::chmod(dir.file("chiusa").c_str(), 0700);
}

// A collection that cannot be written: the edit action says so before its form opens and
// offers a copy of it, which opens at once, goes on with the action and is remembered.
TEST_F(CollectionScenarioTest, AReadOnlyCollectionOffersACopyOfItsOwn) {
    WriteCollection(m_dir, {Dish("Bruschetta", "Antipasto"), Dish("Arrosto", "Carne")});
    CopySamplePicture(m_dir, "noimage.jpg", "Bruschetta.jpg");
    CreateForm();
    Pick(u"Bruschetta"_s);
    // Without its owner's write permission the folder is read-only for root too, as the
    // writer treats it.
    ASSERT_EQ(::chmod(m_dir.path().c_str(), 0555), 0);
    TempDir home;
    const QByteArray ownHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.qpath()));
    const QString target = home.qpath() + u"Ricette/"_s;
    QString said, proposed, edited;
    bool formOpenBeforeAnswer = true;
    WhenOpen(u"RaccoltaSolaLettura"_s, [&](QWidget *box) {
        said = static_cast<QMessageBox *>(box)->text();
        formOpenBeforeAnswer = m_form->findChild<QDialog *>(u"EditorRicetta"_s) != nullptr;
        WhenOpen(u"CreaRaccoltaDialog"_s, [&](QWidget *dialog) {
            proposed = static_cast<QFileDialog *>(dialog)->selectedFiles().value(0);
            static_cast<QDialog *>(dialog)->accept();
            WhenOpen(u"EditorRicetta"_s, [&](QWidget *editor) {
                edited = editor->findChild<QLineEdit *>(u"CampoNome"_s)->text();
                static_cast<QDialog *>(editor)->reject();
            });
        });
        for (QAbstractButton *b : static_cast<QMessageBox *>(box)->buttons())
            if (b->text() == u"Crea una raccolta tua…"_s) QTest::mouseClick(b, Qt::LeftButton);
    });
    Find<QAction>("ModificaRicetta1")->trigger();
    qputenv("HOME", ownHome);
    ::chmod(m_dir.path().c_str(), 0755);

    EXPECT_TRUE(said.startsWith(u"La cartella \"%1\" è di sola lettura"_s.arg(m_dir.qpath())))
        << said.toStdString();
    EXPECT_FALSE(formOpenBeforeAnswer);
    EXPECT_EQ(AsDataFolder(proposed), target);
    EXPECT_EQ(edited, u"Bruschetta"_s);
    EXPECT_EQ(m_form->dataFolderPath(), target);
    EXPECT_EQ(RecentCollections().value(0), target);
    const TempDir &copy = home;
    for (const char *file : {"ricette.txt", "ing.txt", "luoghi.txt", "immagini/Bruschetta.jpg",
                             "immagini/noimage.jpg"})
        EXPECT_EQ(copy.read(std::string("Ricette/") + file), m_dir.read(file)) << file;
    EXPECT_EQ(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u"immagini"_s, u"ing.txt"_s, u"luoghi.txt"_s, u"ricette.txt"_s}));
    // A second copy into the same folder is refused, and leaves it as it is.
    EXPECT_THROW(CopyCollection(m_dir.qpath(), target), sapidoro::Exception);
    EXPECT_EQ(copy.read("Ricette/ricette.txt"), m_dir.read("ricette.txt"));
    EXPECT_TRUE(m_errors.messages().isEmpty()) << m_errors.messages().join(u'\n').toStdString();
}

}  // namespace
