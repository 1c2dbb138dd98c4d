#include "app/ScanProgress.h"
#include "app/Unit1.h"
#include "app/WindowTexts.h"
#include "common/QtText.h"
#include "search/NameCatalog.h"
#include "search/RankSearch.h"
#include "search/Search.h"
#include "widgets/ColourButton.h"
#include "widgets/ComboBox.h"
#include "widgets/LongText.h"
#include "widgets/ProgressBar.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace sapidoro {

namespace {

// The over-limit message; true when the user answers with its one button, by a click or
// by Enter or Escape (it is the default and the cancel button). A box closed any other way,
// by its window's close button say, is no answer, although Qt reports it as the button.
bool TooManyResultsAcknowledged(QWidget *parent) {
    QMessageBox box(QMessageBox::Critical, UiText(kTooManyResultsCaption),
                    UiText(kTooManyResultsMessage), QMessageBox::Ok, parent);
    bool pressed = false;
    QObject::connect(&box, &QMessageBox::buttonClicked, &box, [&pressed] { pressed = true; });
    box.exec();
    return pressed;
}

// True when two lists are one and the same, shared, not merely equal.
bool SameList(const QStringList &a, const QStringList &b) {
    return a.size() == b.size() && a.constData() == b.constData();
}

}  // namespace

void TForm1::ShowResults(const RankedResult &results) {
    if (results.byName) return ShowResultNames(results.names);
    m_resultItems = m_catalog->displayNames(results.ranks);
    m_resultRanks = results.ranks;
    RicetteTrovate->setItemsInOrder(m_resultItems);
}

void TForm1::ShowResultNames(std::vector<std::string> names) {
    m_resultNameItems.clear();
    m_resultNameItems.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string &name : names) m_resultNameItems.append(ShownText(name));
    m_resultNames = std::move(names);
    RicetteTrovate->setItemsInOrder(m_resultNameItems);
}

SharedText TForm1::ListedName(int row) const {
    const QStringList shown = RicetteTrovate->items();
    if (row < 0 || row >= shown.size()) return {};
    const auto at = static_cast<std::size_t>(row);
    if (m_catalog && SameList(shown, m_catalog->displayNames()))
        return m_catalog->sharedName(static_cast<std::uint32_t>(row));
    if (m_catalog && SameList(shown, m_resultItems))
        return m_catalog->sharedName(m_resultRanks[at]);
    if (SameList(shown, m_resultNameItems)) return m_resultNames[at];
    return ToCp1252(shown[row]);
}

std::vector<std::string> TForm1::ListedNames() const {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(RicetteTrovate->itemCount()));
    for (int row = 0; row < RicetteTrovate->itemCount(); ++row)
        names.push_back(ListedName(row).str());
    return names;
}

void TForm1::RicercheClick() {
    Barra->setMaximum(RecipeCount);
    Barra->setValue(0);
    const bool complete = RicetteTrovate->itemCount() == Nome->itemCount();

    if (const std::optional<SearchScope> scope =
            ParseScope(ToCp1252(SelezioneAmbitoRicerca->text()))) {
        RicetteTrovateScambio->clearItems();
        const std::string recipeFile = DataFolder + "ricette.txt";
        const SharedText searchString = StringaDaCercare->dataText();
        const QStringList shown = RicetteTrovate->items();
        // The list's texts are read only when it is no longer the one set by rank.
        const std::vector<std::uint32_t> *shownRanks = nullptr;
        std::vector<std::uint32_t> none;
        if (m_catalog && SameList(shown, m_catalog->displayNames()))
            shownRanks = &none;  // every name: a complete search needs no ranks
        else if (m_catalog && SameList(shown, m_resultItems))
            shownRanks = &m_resultRanks;
        if (shownRanks != nullptr) {
            RankedResult results;
            // Records the index rules out are passed over; the scan's test decides on the rest.
            std::optional<RecordFilter> filter;
            if (const TrigramIndex *index = m_index.ready())
                filter = index->candidates(*scope, searchString);
            {
                ScanProgress progress(Barra);
                results = SearchRanks(
                    recipeFile, *scope, searchString, *m_catalog, *shownRanks, complete,
                    [&progress] { progress.advance(); }, filter ? &*filter : nullptr);
            }
            ShowResults(results);
        } else {
            std::vector<std::string> results;
            {
                ScanProgress progress(Barra);
                results = SearchRecipes(recipeFile, *scope, searchString, ListedNames(), complete,
                                        [&progress] { progress.advance(); });
            }
            // The new result list comes from the sorted working list, so it is in name order.
            ShowResultNames(std::move(results));
        }
    }
    // The result list is only ever filled from sorted lists, so it is in the working list's
    // order already and needs no sorting on the copy.
    RicetteTrovateScambio->setItemsInOrder(RicetteTrovate->items());

    if (ExceedsResultLimit(static_cast<std::size_t>(RicetteTrovate->itemCount()),
                           CheckBox1->isChecked())) {
        Ricerche->setText(SearchButtonCaption(qsizetype{RicetteTrovate->itemCount()}));
        if (TooManyResultsAcknowledged(this)) InizializzazioneClick();
    }
    const auto found = static_cast<std::size_t>(RicetteTrovate->itemCount());
    if (!ExceedsResultLimit(found, CheckBox1->isChecked())) {
        Ricerche->setText(SearchButtonCaption(qsizetype{RicetteTrovate->itemCount()}));
        RicetteTrovate->showPopup();
    }
}

void TForm1::InizializzazioneClick() {
    Barra->setValue(0);
    Barra->setMaximum(Nome->itemCount());
    RicetteTrovateScambio->assignItems(*Nome);
    Barra->setValue(Barra->maximum());
    RicetteTrovate->assignItems(*Nome);
    Ricerche->setText(SearchButtonCaption(qsizetype{Nome->itemCount()}));

    Nome->setText(QString());
    Note->clear();
    Piatto->clear();
    Ingrediente_Principale->clear();
    Calorie->clear();
    Ingredienti->clear();
    Preparazione->clear();
    CurrentRecipeName.clear();
}

}  // namespace sapidoro

namespace sapidoro {

void TForm1::StartIndexing() {
    if (m_catalog) m_index.start(DataFolder + "ricette.txt", m_catalog->records());
}

}  // namespace sapidoro
