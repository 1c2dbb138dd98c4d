#include "app/ErrorReport.h"
#include "app/Unit1.h"
#include "app/WindowTexts.h"
#include "cache/NameCache.h"
#include "collection/CollectionFolder.h"
#include "collection/RecentCollections.h"
#include "common/AsciiCase.h"
#include "common/Collation.h"
#include "common/QtText.h"
#include "data/CalorieTable.h"
#include "data/Places.h"
#include "picture/JpgImg.h"
#include "resizer/NoBDERP.h"
#include "search/NameCatalog.h"
#include "widgets/ColourButton.h"
#include "widgets/ComboBox.h"
#include "writer/AtomicSave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace sapidoro {

namespace {

// The first character in upper case and the rest in lower case, folding only the ASCII
// letters: accented letters and every other character stay as they are.
QString NormaliseSearchText(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        text[i] = QChar(i == 0 ? AsciiUpper(c) : AsciiLower(c));
    }
    return text;
}

}  // namespace

TForm1::StartChoice TForm1::AskStartFolder() {
    const QString sample = AsDataFolder(QCoreApplication::applicationDirPath());
    const QStringList remembered = RememberedCollections();
    const QString last = ChooseStartFolder(QString(), remembered, sample);
    QString problem =
        remembered.isEmpty() ? QString() : CollectionFolderProblem(QDir::cleanPath(last));
    if (problem.isEmpty()) return {last, false};
    QString text = QStringLiteral(
                       "La raccolta aperta l'ultima volta non si può aprire.\n%1\n\nSe la "
                       "cartella è stata spostata o il disco non è collegato, se ne può "
                       "scegliere un'altra, oppure aprire per ora la raccolta di esempio: "
                       "l'ultima raccolta resta ricordata e si riapre quando torna al suo posto.")
                       .arg(problem);
    for (;;) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Raccolta non trovata"), text,
                        QMessageBox::NoButton);
        box.setObjectName(QStringLiteral("RaccoltaNonTrovata"));
        QPushButton *choose =
            box.addButton(QStringLiteral("Scegli un'altra cartella…"), QMessageBox::AcceptRole);
        QPushButton *openSample =
            box.addButton(QStringLiteral("Apri la raccolta di esempio"), QMessageBox::RejectRole);
        box.setDefaultButton(choose);
        box.setEscapeButton(openSample);
        box.exec();
        if (box.clickedButton() != choose) return {sample, true};

        QFileDialog dialog(nullptr, UiText(kOpenCollectionDialogCaption));
        dialog.setObjectName(QStringLiteral("ApriRaccoltaDialog"));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) continue;
        const QString chosen = dialog.selectedFiles().constFirst();
        problem = CollectionFolderProblem(chosen);
        if (problem.isEmpty()) return {AsDataFolder(chosen), false};
        text = problem + QStringLiteral(
                             "\n\nSi può scegliere un'altra cartella, oppure aprire "
                             "la raccolta di esempio.");
    }
}

void TForm1::FormCreate() {
    // The panel fits the window's client area afresh.
    NoBDEResizerPanel1->setAlign(alNone);
    NoBDEResizerPanel1->setAlign(alClient);

    DataFolder = QFile::encodeName(m_designDataFolder).toStdString();
    // What a save killed midway left behind goes before anything is read.
    RemoveLeftoverTemps(DataFolder);
    // No picture is read from outside the data folder, whatever links lead there.
    JPEGImage1->setRootFolder(QFile::decodeName(QByteArray::fromStdString(DataFolder)));
    Nome->clearItems();

    const std::string recipeFile = DataFolder + "ricette.txt";
    m_catalog = m_startupListing.valid() ? m_startupListing.get() : nullptr;
    if (!m_catalog) {
        m_catalog = ReadNameCache(m_startupCachePath, recipeFile);
        m_listedFromCache = m_catalog != nullptr;
    }
    if (!m_catalog) m_catalog = std::make_unique<NameCatalog>(NameCatalog::ListSorted(recipeFile));
    m_catalog->makeDisplayTexts();
    Nome->setItemsInOrder(m_catalog->displayNames());
    // The index is built once the window is shown, not while it is being made.
    QTimer::singleShot(0, this, [this] { EventGuard::Run([this] { StartIndexing(); }); });

    const int ingredientCount = FillIngredientNames();
    StringaDaCercare->setText(IngredientPrompt(ingredientCount));
    Ricerche->setText(SearchButtonCaption(Nome->itemCount()));
    RicetteTrovate->assignItems(*Nome);
    RicetteTrovateScambio->assignItems(*Nome);
    RecipeCount = RicetteTrovate->itemCount();
    Ricerche->setToolTip(UiText(kSearchButtonHint));
    StringaDaCercare->setToolTip(UiText(kSearchBoxIngredientHint));
}

int TForm1::FillIngredientNames() {
    // The list is empty here, so the names need no comparison with an earlier last item.
    const QStringList names = FromCp1252List(ReadIngredientNames(DataFolder + "ing.txt"));
    StringaDaCercare->appendItems(names);
    return static_cast<int>(names.size());
}

void TForm1::SelezioneAmbitoRicercaChange() {
    // The scope text is read afresh before each test.
    const auto scope = [this] { return ParseScope(ToCp1252(SelezioneAmbitoRicerca->text())); };
    bool fixedHints = false;
    if (scope() == SearchScope::Ingredienti) {
        StringaDaCercare->setText(QString());
        StringaDaCercare->clearItems();
        Ricerche->setToolTip(UiText(kIngredientLoadingHint));
        StringaDaCercare->setToolTip(UiText(kIngredientLoadingHint));
        const int ingredientCount = FillIngredientNames();
        StringaDaCercare->setText(IngredientPrompt(ingredientCount));
        Ricerche->setToolTip(UiText(kSearchButtonHint));
        StringaDaCercare->setToolTip(UiText(kSearchBoxIngredientHint));
    } else if (scope() == SearchScope::Luogo) {
        // Converted once, straight from the file: the box's text shares the first item. A
        // place too long to be shown whole is converted only as far as it is shown; its bytes
        // are kept once, for the box's text and the pick, and read unconverted by the search.
        QStringList places;
        ComboBox::LongItems longPlaces;
        ReadPlaces(DataFolder + "luoghi.txt", [&](std::string_view place) {
            if (place.size() > static_cast<std::size_t>(kLongTextLimit))
                longPlaces.emplace_back(static_cast<int>(places.size()), std::string(place));
            places.append(ShownText(place));
        });
        // The field emptied and the list set first: a new list puts back the text the field
        // had, which would lay a long place out once more.
        StringaDaCercare->setText(QString());
        StringaDaCercare->clearItems();
        const SharedText longFirst = !longPlaces.empty() && longPlaces.front().first == 0
                                         ? longPlaces.front().second
                                         : SharedText();
        StringaDaCercare->setItemsInOrder(places, std::move(longPlaces));
        if (!longFirst.empty())
            StringaDaCercare->setDataText(longFirst);
        else
            StringaDaCercare->setText(places.front());
        fixedHints = true;
    } else if (const std::optional<SearchScope> other = scope()) {
        const ScopeValues values = FixedScopeValues(*other);
        StringaDaCercare->clearItems();
        StringaDaCercare->setText(values.text);
        StringaDaCercare->setItems(values.items);
        fixedHints = true;
    }
    if (fixedHints) {
        Ricerche->setToolTip(UiText(kProgressiveHint));
        StringaDaCercare->setToolTip(QString());
    }
    StringaDaCercare->setFocus();
}

void TForm1::StringaDaCercareExit() {
    StringaDaCercare->setText(NormaliseSearchText(StringaDaCercare->text()));
}

void TForm1::FormShow() {
    StringaDaCercare->setFocus();
}

void TForm1::FormResize() {
    NoBDEResizerPanel1->setAlign(alNone);
    NoBDEResizerPanel1->setAlign(alClient);
}

void TForm1::EsciClick() {
    close();
}

}  // namespace sapidoro
