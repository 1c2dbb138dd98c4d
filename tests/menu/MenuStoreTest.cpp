#include "menu/MenuStore.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <random>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

const std::string kHeader =
    "# Sapidoro - menu della settimana, versione 1\nRaccolta: /home/anna/ricette/\n";

QDate Day(int year, int month, int day) {
    return QDate(year, month, day);
}

// One way a plan file can be broken or hostile, made at `path`.
struct HostileFile {
    const char *what;
    std::function<void(const std::string &path, const TempDir &dir)> make;
};

void WriteFile(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Lines(std::initializer_list<std::string> entries) {
    std::string text = kHeader;
    for (const std::string &entry : entries) text += entry + '\n';
    return text;
}

// Every hostile file gives one message, is moved aside as it is, and leaves an empty plan
// that loads again without a message; a link's target is left alone.
TEST(MenuStoreTest, HostileFilesAreReportedOnceAndMovedAside) {
    const std::vector<HostileFile> cases = {
        {"FIFO", [](const std::string &path, const TempDir &) { ::mkfifo(path.c_str(), 0600); }},
        {"link to a plan",
         [](const std::string &path, const TempDir &dir) {
             ::symlink(dir.write("altro.txt", Lines({"2026-03-02\tCena\t2\tZuppa"})).c_str(),
                       path.c_str());
         }},
        {"link to a device",
         [](const std::string &path, const TempDir &) { ::symlink("/dev/null", path.c_str()); }},
        {"a folder", [](const std::string &path, const TempDir &) { ::mkdir(path.c_str(), 0700); }},
        {"100 MB line",
         [](const std::string &path, const TempDir &) {
             std::ofstream out(path, std::ios::binary);
             out << kHeader << "2026-03-02\tCena\t2\t";
             const std::string block(1 << 20, 'a');
             for (int i = 0; i < 100; ++i) out << block;
         }},
        {"line longer than the cap",
         [](const std::string &path, const TempDir &) {
             WriteFile(path,
                       Lines({"2026-03-02\tCena\t2\t" + std::string(kMaxMenuPlanLineBytes, 'b')}));
         }},
        {"random bytes",
         [](const std::string &path, const TempDir &) {
             std::mt19937 random(32);
             std::string bytes(4096, '\0');
             for (char &c : bytes) c = static_cast<char>(random());
             WriteFile(path, bytes);
         }},
        {"2026-02-31",
         [](const std::string &path, const TempDir &) {
             WriteFile(path, Lines({"2026-02-28\tPranzo\t2\tPasta", "2026-02-31\tCena\t2\tZuppa"}));
         }},
        {"date not ISO",
         [](const std::string &path, const TempDir &) {
             WriteFile(path, Lines({"2/3/2026\tCena\t2\tZuppa"}));
         }},
        {"no persons",
         [](const std::string &path, const TempDir &) {
             WriteFile(path, Lines({"2026-03-02\tCena\t0\tZuppa"}));
         }},
        {"too many persons",
         [](const std::string &path, const TempDir &) {
             WriteFile(path, Lines({"2026-03-02\tCena\t101\tZuppa"}));
         }},
        {"persons not a number",
         [](const std::string &path, const TempDir &) {
             WriteFile(path, Lines({"2026-03-02\tCena\t-2\tZuppa"}));
         }},
        {"unknown meal",
         [](const std::string &path, const TempDir &) {
             WriteFile(path, Lines({"2026-03-02\tSpuntino\t2\tZuppa"}));
         }},
        {"name without a Windows-1252 byte",
         [](const std::string &path, const TempDir &) {
             WriteFile(path, Lines({"2026-03-02\tCena\t2\tZuppa \xE2\x98\x83"}));
         }},
        {"no header", [](const std::string &path,
                         const TempDir &) { WriteFile(path, "2026-03-02\tCena\t2\tZuppa\n"); }},
    };
    for (const HostileFile &hostile : cases) {
        SCOPED_TRACE(hostile.what);
        TempDir dir;
        const std::string path = dir.file("menu.txt");
        hostile.make(path, dir);
        struct stat before;
        ASSERT_EQ(::lstat(path.c_str(), &before), 0);

        const LoadedMenuPlan loaded = LoadMenuPlan(QString::fromStdString(path));
        EXPECT_FALSE(loaded.damage.isEmpty());
        EXPECT_TRUE(loaded.plan.empty());
        const QString aside = KeepDamagedMenuPlan(QString::fromStdString(path));
        EXPECT_EQ(aside, QString::fromStdString(path + ".danneggiato"));
        struct stat kept;
        ASSERT_EQ(::lstat(QFile::encodeName(aside).constData(), &kept), 0);
        EXPECT_EQ(kept.st_ino, before.st_ino) << "the entry itself moved, not a copy";

        const LoadedMenuPlan again = LoadMenuPlan(QString::fromStdString(path));
        EXPECT_TRUE(again.damage.isEmpty()) << again.damage.toStdString();
        EXPECT_TRUE(again.plan.empty());
    }
    // A second damaged file goes beside the first, which stays.
    TempDir dir;
    const QString path = dir.qpath() + "menu.txt";
    for (const char *expected : {"menu.txt.danneggiato", "menu.txt.danneggiato-2"}) {
        WriteFile(path.toStdString(), "rotto");
        EXPECT_EQ(KeepDamagedMenuPlan(path), dir.qpath() + expected);
    }
}

// Adding, moving, copying, removing, renaming and persons go through a save and a load
// unchanged; the file is sorted by date, meal and order of insertion, in UTF-8.
TEST(MenuStoreTest, ChangesGoThroughSaveAndLoad) {
    TempDir dir;
    const QString path = dir.qpath() + "menu/piano.txt";
    const MenuCell monday{Day(2026, 3, 2), Meal::Cena}, mondayLunch{Day(2026, 3, 2), Meal::Pranzo};
    const MenuCell sunday{Day(2026, 3, 8), Meal::Colazione};
    MenuPlan plan;
    plan.Add(monday, "Zuppa", 2);
    plan.Add(sunday, "Torta", 4);
    plan.Add(mondayLunch, "Caff\xE8", 1);
    plan.Add(mondayLunch, "Pasta", 3);
    plan.Add(mondayLunch, "Insalata", 3);
    EXPECT_EQ(plan.Copy(mondayLunch, 1, sunday), 1u);
    EXPECT_EQ(plan.Move(monday, 0, {Day(2026, 3, 3), Meal::Merenda}), 0u);
    plan.Remove(mondayLunch, 2);
    plan.SetPersons(sunday, 0, 6);
    EXPECT_EQ(plan.Rename("Pasta", "Pasta al sugo"), 2u);
    EXPECT_THROW(plan.Remove(monday, 0), EMenuPlan) << "the move left the cell empty";
    EXPECT_THROW(plan.Add(monday, "Zuppa", 101), EMenuPlan);
    EXPECT_THROW(plan.Add({QDate(), Meal::Cena}, "Zuppa", 2), EMenuPlan);

    SaveMenuPlan(path, plan, "/home/anna/ricette/");
    EXPECT_EQ(dir.read("menu/piano.txt"),
              Lines({"2026-03-02\tPranzo\t1\tCaff\xC3\xA8", "2026-03-02\tPranzo\t3\tPasta al sugo",
                     "2026-03-03\tMerenda\t2\tZuppa", "2026-03-08\tColazione\t6\tTorta",
                     "2026-03-08\tColazione\t3\tPasta al sugo"}));
    std::string folder;
    const LoadedMenuPlan loaded = LoadMenuPlan(path);
    EXPECT_TRUE(loaded.damage.isEmpty()) << loaded.damage.toStdString();
    EXPECT_EQ(loaded.plan, plan);
    ReadMenuPlan(dir.read("menu/piano.txt"), &folder);
    EXPECT_EQ(folder, "/home/anna/ricette/");

    // The week from Monday to Sunday, whatever its day asked; the days around are not in it.
    plan.Add({Day(2026, 3, 1), Meal::Cena}, "Prima", 2);
    plan.Add({Day(2026, 3, 9), Meal::Pranzo}, "Dopo", 2);
    for (const QDate asked : {Day(2026, 3, 2), Day(2026, 3, 5), Day(2026, 3, 8)}) {
        std::vector<std::string> names;
        for (const MenuEntry &entry : plan.Week(asked)) names.push_back(entry.item.recipe);
        EXPECT_EQ(names, (std::vector<std::string>{"Caff\xE8", "Pasta al sugo", "Zuppa", "Torta",
                                                   "Pasta al sugo"}));
    }
    // The offered cell: the first shown meal with nothing in it, from the day asked on.
    EXPECT_EQ(plan.NextFreeCell(Day(2026, 3, 2), DefaultMeals()),
              (MenuCell{Day(2026, 3, 2), Meal::Cena}));
    EXPECT_EQ(plan.NextFreeCell(Day(2026, 3, 8), {Meal::Colazione}),
              (MenuCell{Day(2026, 3, 9), Meal::Colazione}));

    // A save of the same plan writes nothing; a hand-edited file out of order is read in
    // order and written back sorted.
    SaveMenuPlan(path, loaded.plan, "/home/anna/ricette/");
    const std::string previous = dir.read("menu/piano.txt~");
    SaveMenuPlan(path, loaded.plan, "/home/anna/ricette/");
    EXPECT_EQ(dir.read("menu/piano.txt~"), previous);
    const MenuPlan unsorted = ReadMenuPlan(Lines(
        {"2026-03-08\tCena\t2\tB", "2026-03-02\tCena\t2\tA", "", "2026-03-08\tPranzo\t2\tC"}));
    EXPECT_EQ(WriteMenuPlan(unsorted, "/r/"),
              "# Sapidoro - menu della settimana, versione 1\nRaccolta: /r/\n"
              "2026-03-02\tCena\t2\tA\n2026-03-08\tPranzo\t2\tC\n2026-03-08\tCena\t2\tB\n");

    // Each collection has a plan of its own in the user's data folder.
    EXPECT_NE(MenuPlanPath("/home/anna/ricette/"), MenuPlanPath("/home/bruno/ricette/"));
    EXPECT_EQ(MenuPlanPath("/home/anna/ricette/"), MenuPlanPath("/home/anna/ricette"));
    EXPECT_TRUE(QFileInfo(MenuPlanPath("/home/anna/ricette/")).fileName().startsWith("ricette-"));
}

}  // namespace
