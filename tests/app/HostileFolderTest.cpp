// The window on data folders that are broken or hostile: files that are no regular files,
// links out of the folder, names of any length.
#include "ScenarioData.h"

#include "common/QtText.h"
#include "picture/JpgImg.h"
#include "support/Watchdog.h"
#include "widgets/ComboBox.h"
#include "widgets/LongText.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QProxyStyle>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QStyleOptionComboBox>
#include <QStyleOptionViewItem>

#include <sys/stat.h>

#include <cctype>
#include <filesystem>
#include <string>
#include <tuple>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

RecipeData Torta() {
    return {"Torta", "Dessert", "Farina", "4", "Roma", {"200 ==== Farina", "2 ==== Uova"}, {}};
}

RecipeData Crema() {
    return {"Crema", "Dessert", "Latte", "2", "Ferrara", {"1 l ==== Latte"}, {"Mescolare."}};
}

std::string Table() {
    return CrLf({"Farina_ING == 200 === 700", "Uova_ING == 2 === 160", "Latte_ING == 1 l === 640"});
}

// Windows-1252 text of exactly `size` bytes, accents included.
std::string LongText(std::size_t size) {
    const std::string piece = "Torta della nonna con crema \xE0 la vaniglia, ";
    std::string text;
    while (text.size() < size) text += piece;
    text.resize(size);
    return text;
}

// What stands in place of a data file: a FIFO, a link to an endless device, or a link to a
// copy of the file in another folder.
enum class Stand { Fifo, DevZeroLink, OutwardLink };

class HostileFolderTest : public ScenarioTest {
protected:
    std::string NoImagePath() const { return m_dir.file("immagini/noimage.jpg"); }
    QString CannotOpenNoImage() const {
        return QStringLiteral("Cannot open file ") + QString::fromStdString(NoImagePath()) + u'.';
    }
    TJPEGImage *Picture() { return Find<TJPEGImage>("JPEGImage1"); }
};

class NonRegularDataFile : public HostileFolderTest,
                           public ::testing::WithParamInterface<std::tuple<Stand, const char *>> {
protected:
    void Replace(const std::string &name, Stand stand) {
        const std::string path = m_dir.file(name);
        if (stand == Stand::OutwardLink) {
            std::filesystem::create_directories(
                std::filesystem::path(m_outside.file(name)).parent_path());
            std::filesystem::rename(path, m_outside.file(name));
            std::filesystem::create_symlink(m_outside.file(name), path);
            return;
        }
        std::filesystem::remove(path);
        if (stand == Stand::Fifo)
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        else
            std::filesystem::create_symlink("/dev/zero", path);
    }

    TempDir m_outside;
};

}  // namespace

// Each data file in turn is a FIFO, a link to an endless device or a link out of the folder:
// it is refused at once, in
// the failure state of a file that cannot be opened, and the rest of the window works.
TEST_P(NonRegularDataFile, IsRefusedAndTheWindowKeepsWorking) {
    const auto [stand, file] = GetParam();
    WriteCollection({Torta(), Crema()}, Table());
    Replace(file, stand);
    const Watchdog watchdog(std::chrono::seconds(60));
    CreateForm();
    ShowActive();
    const QStringList denied{QStringLiteral("File access denied.")};
    const std::string name = file;
    if (name == "ricette.txt") {
        EXPECT_EQ(Errors(), denied);
        EXPECT_TRUE(ItemsOf("Nome").isEmpty());
        EXPECT_TRUE(ItemsOf("RicetteTrovate").isEmpty());
        EXPECT_EQ(m_form->recipeCount(), 0);
        ChooseScope(QStringLiteral("Persone"));
        EXPECT_EQ(Text("StringaDaCercare"), QStringLiteral("4"));
        EXPECT_EQ(Errors(), denied);
    } else if (name == "ing.txt") {
        EXPECT_EQ(Errors(), denied);
        EXPECT_EQ(ItemsOf("Nome"), (QStringList{QStringLiteral("Crema"), QStringLiteral("Torta")}));
        EXPECT_TRUE(ItemsOf("RicetteTrovate").isEmpty());
        EXPECT_EQ(m_form->recipeCount(), 0);
        ChooseScope(QStringLiteral("Luogo"));
        EXPECT_EQ(Text("StringaDaCercare"), QStringLiteral("Roma"));
        EXPECT_EQ(Errors(), denied);
    } else if (name == "luoghi.txt") {
        EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
        ChooseScope(QStringLiteral("Persone"));
        ChooseScope(QStringLiteral("Luogo"));
        EXPECT_EQ(Errors(), denied);
        EXPECT_EQ(Text("StringaDaCercare"), QStringLiteral("4"));
        EXPECT_EQ(ItemsOf("StringaDaCercare").size(), 13);
        Pick(QStringLiteral("Torta"));
        EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
        EXPECT_EQ(Errors(), denied);
    } else {
        EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
        Pick(QStringLiteral("Torta"));
        EXPECT_EQ(Errors(), QStringList{CannotOpenNoImage()});
        // The record is on show and its name recorded; the picture was never read.
        EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
        EXPECT_EQ(m_form->currentRecipeName(), "Torta");
        EXPECT_EQ(BoxText("RicettaCompleta"), QString());
        EXPECT_TRUE(Picture()->compressedData().isEmpty());
        SetPersons(2);
        EXPECT_EQ(Text("Calorie"), QStringLiteral("430"));
        Pick(QStringLiteral("Crema"));
        EXPECT_EQ(Errors().size(), 2);
        EXPECT_EQ(Text("Piatto"), QStringLiteral("Dessert"));
        EXPECT_EQ(Text("Calorie"), QStringLiteral("320"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Each, NonRegularDataFile,
    ::testing::Combine(::testing::Values(Stand::Fifo, Stand::DevZeroLink, Stand::OutwardLink),
                       ::testing::Values("ricette.txt", "ing.txt", "luoghi.txt",
                                         "immagini/noimage.jpg")),
    [](const auto &test) {
        const Stand stand = std::get<0>(test.param);
        std::string name = stand == Stand::Fifo          ? "Fifo_"
                           : stand == Stand::DevZeroLink ? "DevZero_"
                                                         : "Outward_";
        for (const char *c = std::get<1>(test.param); *c != '\0'; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

TEST_F(HostileFolderTest, NoImageLeadingOutOfTheFolderIsNotRead) {
    const TempDir outside;
    CopySamplePicture(outside, "noimage.jpg", "noimage.jpg");
    outside.write("passwd", "root:x:0:0:root:/root:/bin/sh\n");
    WriteCollection({Torta(), Crema()}, Table());
    CreateForm();
    ShowActive();
    const std::string noImage = NoImagePath();
    int picks = 0;
    for (const std::string &target :
         {outside.file("immagini/noimage.jpg"), outside.file("passwd")}) {
        std::filesystem::remove(noImage);
        std::filesystem::create_symlink(target, noImage);
        Pick(++picks % 2 == 0 ? QStringLiteral("Torta") : QStringLiteral("Crema"));
        ASSERT_EQ(Errors().size(), picks) << target;
        EXPECT_EQ(Errors().back(), CannotOpenNoImage()) << target;
        EXPECT_TRUE(Picture()->compressedData().isEmpty()) << target;
        EXPECT_TRUE(Picture()->picture().isNull()) << target;
    }
    // The picture folder itself a link to a folder elsewhere.
    std::filesystem::remove_all(m_dir.file("immagini"));
    std::filesystem::create_symlink(outside.file("immagini"), m_dir.file("immagini"));
    Pick(QStringLiteral("Torta"));
    EXPECT_EQ(Errors().back(), CannotOpenNoImage());
    EXPECT_TRUE(Picture()->compressedData().isEmpty());
    // A link that stays inside the folder is followed.
    std::filesystem::remove(m_dir.file("immagini"));
    CopySamplePicture(m_dir, "noimage.jpg", "vera.jpg");
    std::filesystem::create_symlink("vera.jpg", noImage);
    const qsizetype errors = Errors().size();
    Pick(QStringLiteral("Crema"));
    EXPECT_EQ(Errors().size(), errors) << Errors().back().toStdString();
    EXPECT_FALSE(Picture()->picture().isNull());
}

namespace {

// Records the longest text the style is handed to paint a row or a label.
class RecordingStyle : public QProxyStyle {
public:
    RecordingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override {
        if (const auto *row = qstyleoption_cast<const QStyleOptionViewItem *>(option);
            row != nullptr && element == CE_ItemViewItem) {
            ++rows;
            record(row->text);
        }
        if (const auto *box = qstyleoption_cast<const QStyleOptionComboBox *>(option))
            record(box->currentText);
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    void drawItemText(QPainter *painter, const QRect &rect, int flags, const QPalette &palette,
                      bool enabled, const QString &text, QPalette::ColorRole role) const override {
        record(text);
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, role);
    }
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == SH_ComboBox_Popup) return 0;  // as the box's own style
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    mutable int rows = 0;
    mutable qsizetype longest = 0;

private:
    void record(const QString &text) const { longest = std::max(longest, text.size()); }
};

}  // namespace

TEST_F(HostileFolderTest, AHugeNameIsPaintedFromABoundedPrefix) {
    RecipeData huge = Crema();
    huge.name = "A" + LongText(2'000'000);
    WriteCollection({Torta(), huge}, Table());
    CreateForm();
    ShowActive();
    const QString whole = FromCp1252(huge.name);
    auto *list = Find<QComboBox>("RicetteTrovate");
    // The lists hold the name cut; the program keeps it whole.
    ASSERT_EQ(ItemsOf("RicetteTrovate"), (QStringList{ShownText(whole), QStringLiteral("Torta")}));
    ASSERT_EQ(Find<ComboBox>("Nome")->items().front(), ShownText(whole));

    RecordingStyle recorder;
    QStyle *const ownStyle = list->style();
    QStyle *const ownViewStyle = list->view()->style();
    list->setStyle(&recorder);
    list->view()->setStyle(&recorder);
    const auto restore = qScopeGuard([&] {
        list->setStyle(ownStyle);
        list->view()->setStyle(ownViewStyle);
    });
    // The dropped-down list, then the closed box showing the huge name.
    list->showPopup();
    list->view()->viewport()->grab();
    list->hidePopup();
    const int listRows = recorder.rows;
    list->setCurrentIndex(0);
    list->grab();
    EXPECT_GT(listRows, 0);
    EXPECT_GT(recorder.rows, listRows);
    // A few thousand characters fill any row; the two million never reach the style.
    EXPECT_LE(recorder.longest, 10000);
    EXPECT_EQ(list->currentText(), ShownText(whole));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
}

TEST_F(HostileFolderTest, ANameOfAHundredThousandCharactersLoads) {
    RecipeData longName = Torta();
    longName.name = LongText(100'000);
    Open({Crema(), longName}, Table());
    const QString whole = FromCp1252(longName.name);
    Pick(whole);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').left(200).toStdString();
    EXPECT_EQ(Text("Nome"), whole);
    EXPECT_EQ(m_form->currentRecipeName(), longName.name);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
    EXPECT_TRUE(BoxText("RicettaCompleta").startsWith(QStringLiteral("NOME: ") + whole + u'\n'));
    // The persons change and the next picks read the record without a false alarm.
    SetPersons(3);
    EXPECT_EQ(Text("Calorie"), QStringLiteral("286"));
    Pick(QStringLiteral("Crema"));
    Pick(whole);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').left(200).toStdString();
    EXPECT_EQ(Text("Calorie"), QStringLiteral("215"));
}
