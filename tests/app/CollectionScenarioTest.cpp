#include "FormFixture.h"
#include "ScenarioData.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
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
    struct Broken {
        const char *what;
        std::function<void(const TempDir &)> make;
        const char *message;
    };
    const Broken broken[] = {
        {"no recipe file", [](const TempDir &) {}, "File not found."},
        {"no calorie table",
         [](const TempDir &dir) { dir.write("ricette.txt", ":Ricette\r\n" + Dish("A", "B")); },
         "File not found."},
        {"recipe file linked out of the folder",
         [&outside](const TempDir &dir) {
             std::filesystem::create_symlink(outside.file("ricette.txt"), dir.file("ricette.txt"));
             dir.write("ing.txt", "");
         },
         "File access denied."},
    };
    // The collection's entries in their own submenu of the popup menu.
    auto *collectionMenu = Find<QMenu>("Raccolta1");
    ASSERT_EQ(collectionMenu->parent(), Find<QMenu>("PopupMenu1"));
    QStringList entries;
    for (const QAction *action : collectionMenu->actions()) entries << action->text();
    EXPECT_EQ(entries, (QStringList{QString::fromUtf8("Apri raccolta\u2026"),
                                    QStringLiteral("Raccolte recenti"), QString(),
                                    QStringLiteral("Ricarica raccolta")}));
    QAction *open = Find<QAction>("ApriRaccolta1");
    ASSERT_EQ(open->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    for (const Broken &b : broken) {
        TempDir folder;
        b.make(folder);
        const qsizetype reports = m_errors.messages().size();
        AnswerFolderDialog(folder.qpath());
        open->trigger();
        ASSERT_EQ(m_errors.messages().size(), reports + 1) << b.what;
        EXPECT_EQ(m_errors.messages().last(), QString::fromUtf8(b.message)) << b.what;
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
    EXPECT_EQ(m_errors.messages(), QStringList{QStringLiteral("File not found.")});
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

TEST(StartFolder, TheRememberedFolderComesBeforeTheExecutablesOne) {
    TempDir remembered;
    WriteCollection(remembered, {Dish("Uno", "Primo")});
    QSettings(QStringLiteral("Sapidoro"), QStringLiteral("Sapidoro"))
        .setValue(QStringLiteral("collections/recent"),
                  QStringList{QStringLiteral("/nessuna/cartella/"), remembered.qpath()});
    ErrorReports errors;
    {
        TForm1 form;
        EXPECT_EQ(form.dataFolder(), remembered.path());
        EXPECT_TRUE(errors.messages().isEmpty());
    }
    QSettings(QStringLiteral("Sapidoro"), QStringLiteral("Sapidoro"))
        .remove(QStringLiteral("collections/recent"));
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

}  // namespace
