#include "app/ErrorReport.h"
#include "app/ImportPreview.h"
#include "app/OutcomeTexts.h"
#include "app/Unit1.h"
#include "collection/FileErrors.h"
#include "common/Exception.h"
#include "common/QtText.h"
#include "exchange/CollectionRecipes.h"
#include "exchange/ImportPlan.h"
#include "exchange/ImportSave.h"
#include "exchange/JsonLdReader.h"
#include "exchange/JsonLdWriter.h"
#include "exchange/MealMasterReader.h"
#include "exchange/MealMasterWriter.h"
#include "widgets/ComboBox.h"
#include "widgets/PassingMessage.h"
#include "writer/CollectionWriter.h"
#include "writer/SaveError.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>

#include <optional>

namespace sapidoro {

namespace {

constexpr char kImportMenuCaption[] = "&Importa ricette\u2026";
constexpr char kAddressMenuCaption[] = "Importa da indirizzo &web\u2026";
constexpr char kExportMenuCaption[] = "E&sporta ricette\u2026";
constexpr char kMealMasterFilter[] = "File MealMaster (*.mmf)";
constexpr char kJsonLdFilter[] = "JSON-LD (*.json)";

// The documents folder, or the home folder where there is none; never the data folder.
QString StartFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

// The wait cursor while a long step runs.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

QString FileName(const QString &path) {
    return QFileInfo(path).fileName();
}

// A recipe name as a file name: characters that folders refuse become blanks.
QString ExportFileNameFor(const QString &recipeName) {
    QString name = recipeName;
    for (QChar &c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32) c = u' ';
    name = name.simplified();
    return name.isEmpty() ? QStringLiteral("ricette") : name;
}

}  // namespace

void TForm1::buildExchangeMenu() {
    const auto addItem = [this](const char *name, const char *caption, QKeySequence key) {
        return addMenuAction(PopupMenu1, name, QString::fromUtf8(caption), key);
    };
    PopupMenu1->addSeparator();
    Importa1 = addItem("Importa1", kImportMenuCaption, QKeySequence(Qt::CTRL | Qt::Key_I));
    ImportaIndirizzo1 = addItem("ImportaIndirizzo1", kAddressMenuCaption,
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    Esporta1 = addItem("Esporta1", kExportMenuCaption, QKeySequence());
    ExceptionSafeConnect(Importa1, &QAction::triggered, this, [this](bool) { Importa1Click(); });
    ExceptionSafeConnect(ImportaIndirizzo1, &QAction::triggered, this,
                         [this](bool) { ImportaIndirizzo1Click(); });
    ExceptionSafeConnect(Esporta1, &QAction::triggered, this, [this](bool) { Esporta1Click(); });
}

void TForm1::Importa1Click() {
    if (!EnsureWritableCollection()) return;
    QFileDialog dialog(this, QStringLiteral("Importa ricette"));
    dialog.setObjectName(QStringLiteral("ImportaRicette"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Ricette (*.mmf *.mm *.txt *.html *.htm *.json)"),
                           QStringLiteral("File MealMaster (*.mmf *.mm *.txt)"),
                           QStringLiteral("Pagine web e JSON-LD (*.html *.htm *.json)")});
    // A file named on another system is as likely "RICETTE.MMF" as "ricette.mmf".
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setDirectory(StartFolder());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString fileName = dialog.selectedFiles().constFirst();
    const std::string path = QFile::encodeName(fileName).toStdString();

    // The recipe file as it is now: the save refuses if another program changes it meanwhile.
    const std::string recipeFile = RecipeFilePath(DataFolder);
    const FileIdentity identity =
        ReadingFile(recipeFile, [&] { return CurrentIdentity(recipeFile); });
    const CollectionIndex collection =
        ReadingFile(recipeFile, [&] { return IndexCollection(recipeFile); });

    // The file is read once, for the preview; the records wait for the save in a spool.
    const bool web = IsWebRecipeFile(path);
    ImportReader reader = [path, web, dishes = collection.dishes](const RecipeVisitor &visit) {
        return web ? ReadWebRecipeFile(path, dishes, visit)
                   : ReadMealMasterFile(path, dishes, visit);
    };
    std::optional<ImportPlan> plan;
    {
        const WaitCursor wait;
        ReadingFile(path, [&] { plan.emplace(std::move(reader), collection.names); });
    }
    const ImportReading &reading = plan->reading();
    if (plan->size() == 0) {
        std::string message =
            "Nessuna ricetta trovata in \"" + FileName(fileName).toStdString() + "\".";
        if (!reading.stopMessage.empty()) message += "\n" + reading.stopMessage;
        throw Exception(message);
    }

    ImportPreview preview(*plan, FileName(fileName), reading.encoding, reading.stopMessage, this);
    if (preview.exec() != QDialog::Accepted) return;
    saveConfirmedImport(*plan, identity);
}

void TForm1::saveConfirmedImport(ImportPlan &plan, const FileIdentity &identity) {
    std::string firstName;
    for (const std::string &name : plan.finalNames())
        if (firstName.empty()) firstName = name;
    ImportSaved saved;
    try {
        const WaitCursor wait;
        saved = SaveImport(DataFolder, plan, &identity);
    } catch (const EFileChanged &) {
        ReloadCollection(CurrentRecipeName);
        throw;
    }
    // The lists as after a start-up, with the first imported recipe on show.
    ReloadCollection(firstName);

    QString report = ImportedText(saved.recipes, saved.pictures);
    for (const std::string &problem : saved.pictureProblems)
        report += QLatin1Char('\n') + QString::fromStdString(problem);
    QMessageBox message(QMessageBox::Information, QStringLiteral("Importa ricette"), report,
                        QMessageBox::Ok, this);
    message.setObjectName(QStringLiteral("EsitoImportazione"));
    message.exec();
}

void TForm1::Esporta1Click() {
    std::vector<std::string> names = ListedNames();
    if (!CurrentRecipeName.empty()) {
        QMessageBox scope(QMessageBox::Question, QStringLiteral("Esporta ricette"),
                          QStringLiteral("Quali ricette esportare?"), QMessageBox::NoButton, this);
        scope.setObjectName(QStringLiteral("SceltaEsportazione"));
        QPushButton *one =
            scope.addButton(QStringLiteral("La ricetta visualizzata"), QMessageBox::AcceptRole);
        one->setObjectName(QStringLiteral("EsportaRicettaVisualizzata"));
        QPushButton *all =
            scope.addButton(QStringLiteral("Tutte quelle dell'elenco (%1)").arg(names.size()),
                            QMessageBox::AcceptRole);
        all->setObjectName(QStringLiteral("EsportaElenco"));
        scope.addButton(QStringLiteral("Annulla"), QMessageBox::RejectRole);
        scope.exec();
        if (scope.clickedButton() == one)
            names = {CurrentRecipeName};
        else if (scope.clickedButton() != all)
            return;
    }
    if (names.empty()) throw ENotice("Nessuna ricetta da esportare.");

    QFileDialog dialog(this, QStringLiteral("Esporta ricette"));
    dialog.setObjectName(QStringLiteral("EsportaRicette"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QString::fromUtf8(kMealMasterFilter), QString::fromUtf8(kJsonLdFilter)});
    dialog.setDefaultSuffix(QStringLiteral("mmf"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter == QString::fromUtf8(kJsonLdFilter) ? QStringLiteral("json")
                                                                           : QStringLiteral("mmf"));
    });
    dialog.setDirectory(StartFolder());
    dialog.selectFile(names.size() == 1 ? ExportFileNameFor(FromCp1252(names.front()))
                                        : QStringLiteral("ricette"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString fileName = dialog.selectedFiles().constFirst();
    const bool json = fileName.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive) ||
                      (dialog.selectedNameFilter() == QString::fromUtf8(kJsonLdFilter) &&
                       !fileName.endsWith(QStringLiteral(".mmf"), Qt::CaseInsensitive));

    const std::vector<RecipeRecord> recipes = ReadRecipesNamed(RecipeFilePath(DataFolder), names);
    const std::string bytes = json ? WriteJsonLd(recipes) : WriteMealMaster(recipes);

    // Written aside and put in place only when complete, so a failure leaves no partial file.
    QSaveFile output(fileName);
    const auto fail = [&fileName](const QString &reason) {
        throw Exception(QStringLiteral("Impossibile scrivere il file \"%1\": %2")
                            .arg(QDir::toNativeSeparators(fileName), reason)
                            .toStdString());
    };
    if (!output.open(QIODevice::WriteOnly)) fail(output.errorString());
    if (output.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size()))
        fail(output.errorString());
    if (!output.commit()) fail(output.errorString());
    PassingMessage::Show(this, ExportedText(static_cast<qint64>(recipes.size()), fileName));
}

}  // namespace sapidoro
