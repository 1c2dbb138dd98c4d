#include "app/ImportPreview.h"
#include "app/Unit1.h"
#include "collection/FileErrors.h"
#include "common/Exception.h"
#include "data/RecipeFile.h"
#include "exchange/CollectionRecipes.h"
#include "exchange/ImportPlan.h"
#include "exchange/JsonLdReader.h"
#include "net/PageText.h"
#include "net/PictureJpeg.h"
#include "net/WebAddress.h"
#include "net/WebFetch.h"
#include "writer/CollectionWriter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QProgressDialog>
#include <QTemporaryDir>

#include <optional>

namespace sapidoro {

namespace {

constexpr char kCaption[] = "Importa da indirizzo web";
// A page listing more recipes than this gets pictures for the first ones only.
constexpr std::size_t kMaxPictures = 20;
// The picture addresses of one recipe tried before giving up.
constexpr qsizetype kPictureTries = 3;

// The address typed or pasted; an address on the clipboard is offered. None: cancelled.
std::optional<QString> AskAddress(QWidget *parent) {
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ImportaIndirizzo"));
    dialog.setWindowTitle(QString::fromUtf8(kCaption));
    dialog.setLabelText(QStringLiteral("Indirizzo della pagina della ricetta (http o https):"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setOkButtonText(QStringLiteral("Importa"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    const QString clipboard = QGuiApplication::clipboard()->text();
    if (LooksLikeWebAddress(clipboard)) dialog.setTextValue(clipboard.trimmed());
    if (auto *field = dialog.findChild<QLineEdit *>()) field->setMinimumWidth(420);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.textValue();
}

// What came of a download, in the kilobytes a user reads.
QString ReceivedText(qint64 received, qint64 total) {
    const QLocale italian(QLocale::Italian);
    if (total <= 0) return QStringLiteral("%1 KB ricevuti").arg(italian.toString(received >> 10));
    return QStringLiteral("%1 KB di %2 KB")
        .arg(italian.toString(received >> 10), italian.toString(total >> 10));
}

// The progress window of the downloads, its "Annulla" cancelling the one running.
class DownloadProgress {
public:
    explicit DownloadProgress(QWidget *parent) : m_dialog(parent) {
        m_dialog.setObjectName(QStringLiteral("ScaricamentoIndirizzo"));
        m_dialog.setWindowTitle(QString::fromUtf8(kCaption));
        m_dialog.setCancelButtonText(QStringLiteral("Annulla"));
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setMinimumDuration(0);
        m_dialog.setRange(0, 0);
        m_dialog.show();
    }

    FetchedBody fetch(QNetworkAccessManager &manager, const QUrl &url, WebResource what,
                      const QString &label) {
        m_label = label;
        m_dialog.setLabelText(label);
        m_dialog.setRange(0, 0);
        return FetchWebResource(manager, url, what, FetchLimits{}, [this](WebFetch &fetch) {
            QObject::connect(&m_dialog, &QProgressDialog::canceled, &fetch, &WebFetch::cancel);
            // Queued: a modal progress window handles events in `setValue`, never inside a read.
            QObject::connect(
                &fetch, &WebFetch::progress, &m_dialog,
                [this](qint64 received, qint64 total) {
                    // The bytes so far, also when the server does not say how many will come.
                    m_dialog.setLabelText(m_label + u'\n' + ReceivedText(received, total));
                    if (total <= 0) return;
                    m_dialog.setMaximum(static_cast<int>(total >> 10));
                    m_dialog.setValue(static_cast<int>(received >> 10));
                },
                Qt::QueuedConnection);
        });
    }

private:
    QProgressDialog m_dialog;
    QString m_label;
};

// The picture addresses of a recipe, resolved against the page's own address.
QList<QUrl> PictureAddresses(const ImportedRecipe &recipe, const QUrl &page) {
    QList<QUrl> addresses;
    for (const std::string &text : recipe.pictureAddresses) {
        QString address = QString::fromStdString(text).trimmed();
        address.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        const QUrl url = page.resolved(QUrl(address));
        if (url.isValid() &&
            (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
            if (!addresses.contains(url)) addresses << url;
    }
    return addresses;
}

// The first of the addresses (a page often lists a picture in several sizes and formats) that
// gives a picture Qt reads, as JPEG. Throws the last one's error.
QByteArray FetchJpeg(const QList<QUrl> &addresses, QNetworkAccessManager &manager,
                     DownloadProgress &progress) {
    std::string error;
    for (const QUrl &address :
         addresses.first(std::min<qsizetype>(addresses.size(), kPictureTries))) {
        try {
            return PictureAsJpeg(
                progress
                    .fetch(manager, address, WebResource::Picture,
                           QStringLiteral("Scaricamento dell'immagine da \u00AB%1\u00BB\u2026")
                               .arg(address.host()))
                    .bytes);
        } catch (const EFetchCancelled &) {
            throw;
        } catch (const Exception &failure) {
            error = failure.message();
        }
    }
    throw Exception(error);
}

// Fetches each recipe's picture into `folder` as JPEG; a picture that fails is a problem of
// its recipe, shown in the preview.
void FetchPictures(std::vector<ImportedRecipe> &recipes, const QUrl &page, const QString &folder,
                   QNetworkAccessManager &manager, DownloadProgress &progress) {
    for (std::size_t i = 0; i < recipes.size(); ++i) {
        const QList<QUrl> addresses = PictureAddresses(recipes[i], page);
        if (addresses.isEmpty()) continue;
        if (i >= kMaxPictures) {
            recipes[i].problems.emplace_back(
                "Immagine non scaricata: troppe ricette nella pagina.");
            continue;
        }
        try {
            const QByteArray jpeg = FetchJpeg(addresses, manager, progress);
            const QString path = folder + QStringLiteral("/%1.jpg").arg(i);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
                throw Exception(file.errorString().toStdString());
            recipes[i].picturePath = QFile::encodeName(path).toStdString();
        } catch (const EFetchCancelled &) {
            throw;
        } catch (const Exception &error) {
            recipes[i].problems.push_back("Immagine non scaricata: " + error.message());
        }
    }
}

}  // namespace

void TForm1::ImportaIndirizzo1Click() {
    if (!EnsureWritableCollection()) return;
    const std::optional<QString> text = AskAddress(this);
    if (!text) return;
    const QUrl url = WebAddressFromText(*text);

    // The recipe file as it is now: the save refuses if another program changes it meanwhile.
    const std::string recipeFile = RecipeFilePath(DataFolder);
    const FileIdentity identity =
        ReadingFile(recipeFile, [&] { return CurrentIdentity(recipeFile); });
    const CollectionIndex collection =
        ReadingFile(recipeFile, [&] { return IndexCollection(recipeFile); });

    QNetworkAccessManager manager;
    QTemporaryDir pictures;
    PageText page;
    ImportResult result;
    try {
        DownloadProgress progress(this);
        const FetchedBody body = progress.fetch(
            manager, url, WebResource::Page,
            QStringLiteral("Scaricamento della pagina da \u00AB%1\u00BB\u2026").arg(url.host()));
        page = PageTextAsUtf8(
            std::string_view(body.bytes.constData(), static_cast<std::size_t>(body.bytes.size())),
            body.contentType.toStdString());
        result = ReadWebRecipeText(page.utf8, !IsJsonContentType(body.contentType.toStdString()),
                                   std::string(), std::string(), collection.dishes);
        if (result.recipes.empty()) {
            std::string message = "Nessuna ricetta trovata nella pagina \xC2\xAB" +
                                  url.toDisplayString().toStdString() + "\xC2\xBB.";
            if (!result.stopMessage.empty()) message += "\n" + result.stopMessage;
            throw Exception(message);
        }
        if (!pictures.isValid()) throw Exception(pictures.errorString().toStdString());
        FetchPictures(result.recipes, body.url, pictures.path(), manager, progress);
    } catch (const EFetchCancelled &) {
        return;
    }

    ImportPlan plan(std::move(result.recipes), collection.names);
    ImportPreview preview(plan, url.toDisplayString(), page.encoding, result.stopMessage, this);
    if (preview.exec() != QDialog::Accepted) return;
    saveConfirmedImport(plan, identity);
}

}  // namespace sapidoro
