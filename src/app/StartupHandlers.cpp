#include "app/SearchScopes.h"
#include "app/Unit1.h"
#include "common/QtText.h"
#include "data/CalorieTable.h"
#include "data/Places.h"
#include "picture/JpgImg.h"
#include "resizer/NoBDERP.h"
#include "search/NameCatalog.h"
#include "widgets/ColourButton.h"
#include "widgets/ComboBox.h"

#include <QFile>

using namespace sapidoro;

void TForm1::FormCreate() {
    // The panel fits the window's client area afresh.
    NoBDEResizerPanel1->setAlign(alNone);
    NoBDEResizerPanel1->setAlign(alClient);

    DataFolder = QFile::encodeName(m_designDataFolder).toStdString();
    // No picture is read from outside the data folder, whatever links lead there.
    JPEGImage1->setRootFolder(QFile::decodeName(QByteArray::fromStdString(DataFolder)));
    Nome->clearItems();

    m_catalog = std::make_unique<NameCatalog>(NameCatalog::List(DataFolder + "ricette.txt"));
    Nome->setItemsInOrder(m_catalog->displayNames());

    const int ingredientCount = FillIngredientNames();
    StringaDaCercare->setText(IngredientPrompt(ingredientCount));
    Ricerche->setText(SearchButtonCaption(Nome->itemCount()));
    RicetteTrovate->assignItems(*Nome);
    RicetteTrovateScambio->assignItems(*Nome);
    RecipeCount = RicetteTrovate->itemCount();
    Ricerche->setToolTip(QString::fromUtf16(kSearchButtonHint));
    StringaDaCercare->setToolTip(QString::fromUtf16(kSearchBoxIngredientHint));
}

int TForm1::FillIngredientNames() {
    // The list is empty here, so the names need no comparison with an earlier last item.
    const QStringList names = FromCp1252List(ReadIngredientNames(DataFolder + "ing.txt"));
    StringaDaCercare->appendItems(names);
    return static_cast<int>(names.size());
}

void TForm1::SelezioneAmbitoRicercaChange() {
    const auto scope = [this] { return ScopeOf(SelezioneAmbitoRicerca->text()); };
    bool fixedHints = false;
    if (scope() == Scope::Ingredienti) {
        StringaDaCercare->setText(QString());
        StringaDaCercare->clearItems();
        Ricerche->setToolTip(QString::fromUtf16(kIngredientLoadingHint));
        StringaDaCercare->setToolTip(QString::fromUtf16(kIngredientLoadingHint));
        const int ingredientCount = FillIngredientNames();
        StringaDaCercare->setText(IngredientPrompt(ingredientCount));
        Ricerche->setToolTip(QString::fromUtf16(kSearchButtonHint));
        StringaDaCercare->setToolTip(QString::fromUtf16(kSearchBoxIngredientHint));
    } else if (scope() == Scope::Luogo) {
        const std::vector<std::string> places = ReadPlaces(DataFolder + "luoghi.txt");
        StringaDaCercare->clearItems();
        StringaDaCercare->setText(FromCp1252(places.front()));
        StringaDaCercare->setItems(FromCp1252List(places));
        fixedHints = true;
    } else if (const ScopeValues values = FixedScopeValues(scope()); !values.items.isEmpty()) {
        StringaDaCercare->clearItems();
        StringaDaCercare->setText(values.text);
        StringaDaCercare->setItems(values.items);
        fixedHints = true;
    }
    if (fixedHints) {
        Ricerche->setToolTip(QString::fromUtf16(kProgressiveHint));
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
