#include "app/Unit1.h"

#include "app/ErrorReport.h"
#include "app/FormBuilder.h"
#include "app/FormDesign.h"
#include "app/WindowShortcuts.h"
#include "app/WindowTexts.h"
#include "cache/NameCache.h"
#include "cache/NameCacheUpdater.h"
#include "collection/CollectionFolder.h"
#include "collection/CollectionWatcher.h"
#include "editor/LastSave.h"
#include "menu/MenuPlan.h"
#include "pageprinter/PagePrnt.h"
#include "picture/JpgImg.h"
#include "resizer/NoBDERP.h"
#include "search/NameCatalog.h"
#include "shopping/ShoppingList.h"
#include "widgets/ColourButton.h"
#include "widgets/ComboBox.h"
#include "widgets/FrameBorder.h"
#include "widgets/ProgressBar.h"
#include "widgets/Spinner.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include <system_error>

namespace sapidoro {

namespace {

// The name cache's walk waits this long after the window is shown.
constexpr int kCacheDelayMs = 1000;

template <class Control>
void Find(const QWidget *window, Control *&control, const char *name) {
    control = window->findChild<Control *>(QString::fromLatin1(name));
    Q_ASSERT_X(control != nullptr, "TForm1", name);
}

}  // namespace

TForm1::TForm1(QWidget *parent) : TForm1(AskStartFolder(), parent) {}

TForm1::TForm1(const StartChoice &start, QWidget *parent) : TForm1(start.folder, parent) {
    m_startedOnFallback = start.fallback;
}

TForm1::TForm1(const QString &dataFolder, QWidget *parent)
    : QWidget(parent), m_designDataFolder(dataFolder) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(UiText(kWindowCaption));
    QFont windowFont(QString::fromLatin1(kWindowFontFamily));
    windowFont.setPixelSize(kWindowFontPixels);
    setFont(windowFont);
    move(kWindowDesignBounds.topLeft());
    resize(kWindowDesignBounds.size());

    // The folder is followed from before it is read, so that no change goes unnoticed.
    m_watcher = new CollectionWatcher(this);
    m_watcher->watch(AsDataFolder(dataFolder));
    connect(m_watcher, &CollectionWatcher::changed, this, [this] { CollectionChangedOnDisk(); });
    // The recipe file is listed on a worker while the controls are built; `FormCreate` takes
    // the listing, or the error of its reading, at its own step.
    // A cache of the listing made from the same file serves instead of the walk.
    const std::string folder = QFile::encodeName(dataFolder).toStdString();
    m_startupCachePath = NameCachePath(folder);
    try {
        m_startupListing = std::async(
            std::launch::async, [this, path = folder + "ricette.txt", cache = m_startupCachePath] {
                if (auto cached = ReadNameCache(cache, path)) {
                    m_listedFromCache = true;
                    return cached;
                }
                return std::make_unique<NameCatalog>(NameCatalog::ListSorted(path));
            });
    } catch (const std::system_error &) {
        // No thread to spare: `FormCreate` reads the file itself.
    }

    BuildControls(this);
    findControls();
    SelezioneAmbitoRicerca->setItems(ScopeBoxItems());
    buildPopupMenu();
    KeepWindowShortcuts(this);
    bindEvents();
    // An error while the window is created is reported, and the window opens all the same.
    EventGuard::Run([this] {
        FormCreate();
        m_collectionOpened = true;
    });
    // The cache is made once the window is up, so that its walk never delays the start-up.
    if (m_collectionOpened && !m_listedFromCache)
        QTimer::singleShot(kCacheDelayMs, this, [this] { KeepNameCache(); });
}

void TForm1::KeepNameCache() {
    if (!m_cacheUpdater) m_cacheUpdater = std::make_unique<NameCacheUpdater>();
    m_cacheUpdater->update(DataFolder, NameCachePath(DataFolder));
}

TForm1::~TForm1() {
    // The lists let go of the names first, so that the catalog frees them in sorted order,
    // the order in which they were made.
    Nome->clearItems();
    RicetteTrovate->clearItems();
    RicetteTrovateScambio->clearItems();
    m_resultItems.clear();
    m_resultNames.clear();
    m_resultNameItems.clear();
    m_catalog.reset();
}

void TForm1::findControls() {
    Find(this, NoBDEResizerPanel1, "NoBDEResizerPanel1");
    Find(this, PageControl1, "PageControl1");
    Find(this, Vedi, "Vedi");
    Find(this, Controlli1, "Controlli1");
    Find(this, Schermo1, "Schermo1");
    Find(this, Ricerche, "Ricerche");
    Find(this, StringaDaCercare, "StringaDaCercare");
    Find(this, SelezioneAmbitoRicerca, "SelezioneAmbitoRicerca");
    Find(this, Inizializzazione, "Inizializzazione");
    Find(this, StampaLaRicetta, "StampaLaRicetta");
    Find(this, Esci, "Esci");
    Find(this, RicetteTrovateScambio, "RicetteTrovateScambio");
    Find(this, RicetteTrovate, "RicetteTrovate");
    Find(this, Barra, "Barra");
    Find(this, CheckBox1, "CheckBox1");
    Find(this, CarattereStampa, "CarattereStampa");
    Find(this, RicettaCompleta, "RicettaCompleta");
    Find(this, BordoCalorie, "BordoCalorie");
    Find(this, RzLabel1, "RzLabel1");
    Find(this, Persone, "Persone");
    Find(this, Calorie, "Calorie");
    Find(this, RzLabel2, "RzLabel2");
    Find(this, ListaIngredientiNonTrovati, "ListaIngredientiNonTrovati");
    Find(this, ScrollBox1, "ScrollBox1");
    Find(this, JPEGImage1, "JPEGImage1");
    Find(this, Nome, "Nome");
    Find(this, Note, "Note");
    Find(this, Piatto, "Piatto");
    Find(this, Ingrediente_Principale, "Ingrediente_Principale");
    Find(this, Ingredienti, "Ingredienti");
    Find(this, Preparazione, "Preparazione");
    Find(this, Stampa, "Stampa");
    Find(this, CaricaLaRicetta, "CaricaLaRicetta");
    Find(this, PagePrinter1, "PagePrinter1");
}

QAction *TForm1::addMenuAction(QMenu *menu, const char *name, const QString &caption,
                               const QKeySequence &key) {
    auto *action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    menu->addAction(action);
    addAction(action);  // the shortcut acts wherever the focus is in the window
    return action;
}

void TForm1::buildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto addItem = [this](const char *name, const char *caption, Qt::Key key) {
        return addMenuAction(PopupMenu1, name, UiText(caption), QKeySequence(key));
    };
    Copia1 = addItem("Copia1", kCopyMenuCaption, Qt::Key_F2);
    Stampa1 = addItem("Stampa1", kPrintMenuCaption, Qt::Key_F7);
    Anteprima1 = addItem("Anteprima1", kPreviewMenuCaption, Qt::Key_F8);
    EsportaPDF1 = addItem("EsportaPDF1", kPdfMenuCaption, Qt::Key_F9);
    buildCollectionMenu();
    buildDoseMenu();
    buildMenuMenu();
    buildRecipeMenu();
    buildExchangeMenu();
}

void TForm1::bindEvents() {
    const auto bind = [this](auto *sender, auto signal, void (TForm1::*handler)()) {
        ExceptionSafeConnect(sender, signal, this,
                             [this, handler](auto &&...) { (this->*handler)(); });
    };
    bind(Esci, &QPushButton::clicked, &TForm1::EsciClick);
    bind(SelezioneAmbitoRicerca, &QComboBox::editTextChanged,
         &TForm1::SelezioneAmbitoRicercaChange);
    bind(StringaDaCercare, &ComboBox::exited, &TForm1::StringaDaCercareExit);
    bind(Ricerche, &QPushButton::clicked, &TForm1::RicercheClick);
    bind(Inizializzazione, &QPushButton::clicked, &TForm1::InizializzazioneClick);
    bind(RicetteTrovate, &QComboBox::activated, &TForm1::RicetteTrovateChange);
    bind(CaricaLaRicetta, &QPushButton::clicked, &TForm1::CaricaLaRicettaClick);
    bind(Persone, &Spinner::valueChanged, &TForm1::PersoneChange);
    bind(StampaLaRicetta, &QPushButton::clicked, &TForm1::StampaLaRicettaClick);
    bind(Copia1, &QAction::triggered, &TForm1::Copia1Click);
    bind(Stampa1, &QAction::triggered, &TForm1::Stampa1Click);
    bind(Anteprima1, &QAction::triggered, &TForm1::Anteprima1Click);
    bind(EsportaPDF1, &QAction::triggered, &TForm1::EsportaPDF1Click);
    ExceptionSafeConnect(Nome, &ComboBox::keyReleased, this,
                         [this](int key, Qt::KeyboardModifiers shift) { NomeKeyUp(key, shift); });
}

void TForm1::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    EventGuard::Run([this] { FormResize(); });
}

void TForm1::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) EventGuard::Run([this] { FormShow(); });
}

void TForm1::contextMenuEvent(QContextMenuEvent *event) {
    PopupMenu1->popup(event->globalPos());
    event->accept();
}

}  // namespace sapidoro
