#include "app/OutcomeTexts.h"
#include "app/Unit1.h"
#include "common/Exception.h"
#include "pageprinter/MemoryPrinter.h"
#include "pageprinter/PagePlayback.h"
#include "pageprinter/PagePrnt.h"
#include "widgets/ComboBox.h"
#include "widgets/PassingMessage.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <QStandardPaths>

#include <functional>
#include <memory>

using namespace sapidoro;

namespace {

// Without a printer the page printer cannot measure a page: the preview and the PDF then lay
// the recipe out on an A4 sheet at 300 dots per inch, printable to its edges.
class SheetWhenNoPrinter {
public:
    SheetWhenNoPrinter() {
        if (!Printer().Available())
            m_previous = SetPrinter(std::make_unique<TMemoryPrinter>(
                TMemoryPrinter::Sheet{300, 300, 2480, 3508, 0, 0}));
    }
    ~SheetWhenNoPrinter() {
        if (m_previous) SetPrinter(std::move(m_previous));
    }
    SheetWhenNoPrinter(const SheetWhenNoPrinter &) = delete;
    SheetWhenNoPrinter &operator=(const SheetWhenNoPrinter &) = delete;

private:
    std::unique_ptr<PrinterDevice> m_previous;
};

// A recipe name as a file name: characters that folders refuse become blanks.
QString PdfFileNameFor(const QString &recipeName) {
    QString name = recipeName.trimmed();
    for (QChar &c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
            c == u'<' || c == u'>' || c == u'|' || c.unicode() < 32)
            c = u' ';
    name = name.simplified();
    if (name.isEmpty()) name = QStringLiteral("ricetta");
    return name + QStringLiteral(".pdf");
}

}  // namespace

void TForm1::Anteprima1Click() {
    PreviewOnPagePrinter([this] { ComposeOnPagePrinter(); });
    StringaDaCercare->setFocus();
}

void TForm1::PreviewOnPagePrinter(const std::function<void()> &layOut) {
    const SheetWhenNoPrinter sheet;
    layOut();
    PagePrinter1->EndDoc();

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Stampa della ricetta"));
    printer.setFullPage(true);
    printer.setPageLayout(SheetLayout(PagePrinter1->Document()));
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("AnteprimaDiStampa"));
    preview.setWindowTitle(QStringLiteral("Anteprima di stampa"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this](QPrinter *target) {
                         target->setFullPage(true);
                         PlayStoredPages(PagePrinter1->Document(), *target);
                     });
    preview.exec();
}

void TForm1::EsportaPDF1Click() {
    const QString written =
        ExportPdfFromPagePrinter([this] { ComposeOnPagePrinter(); }, Nome->text());
    if (written.isEmpty()) return;
    StringaDaCercare->setFocus();
    PassingMessage::Show(this, PdfSavedText(written));
}

QString TForm1::ExportPdfFromPagePrinter(const std::function<void()> &layOut,
                                         const QString &title) {
    const SheetWhenNoPrinter sheet;
    layOut();
    PagePrinter1->EndDoc();

    QFileDialog dialog(this, QStringLiteral("Esporta in PDF"));
    dialog.setObjectName(QStringLiteral("EsportaPDF"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Documenti PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    // The documents folder, or the home folder where there is none; never the data folder.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    dialog.setDirectory(QDir(documents).exists() ? documents : QDir::homePath());
    dialog.selectFile(PdfFileNameFor(title));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString fileName = dialog.selectedFiles().constFirst();

    // Written aside and put in place only when complete, so a failure leaves no partial file.
    QSaveFile output(fileName);
    const auto fail = [&fileName](const QString &reason) {
        throw Exception(QStringLiteral("Impossibile scrivere il file PDF \"%1\": %2")
                            .arg(QDir::toNativeSeparators(fileName), reason)
                            .toStdString());
    };
    if (!output.open(QIODevice::WriteOnly)) fail(output.errorString());
    WriteStoredPagesAsPdf(PagePrinter1->Document(), output, title);
    if (!output.commit()) fail(output.errorString());
    return fileName;
}
