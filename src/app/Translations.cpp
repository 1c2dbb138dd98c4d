#include "app/Translations.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <memory>

namespace sapidoro {

namespace {

// Columns of Qt's file model in a file dialog's detail view.
constexpr int kSizeColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

// Qt's file model writes sizes and dates in the system's locale, whatever the program's.
class ItalianFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr || !index.isValid() ||
            (index.column() != kSizeColumn && index.column() != kDateColumn))
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        if (index.column() == kDateColumn)
            return QLocale().toString(files->lastModified(source), QLocale::ShortFormat);
        if (files->isDir(source)) return QString();
        return QLocale().formattedDataSize(files->size(source), 2,
                                           QLocale::DataSizeTraditionalFormat);
    }
};

// Widens the detail view's columns to their Italian headers, which are longer than Qt's sizes,
// makes room in the type column for the type of the files the program reads, and narrows the
// name column so that the last one still shows its header.
void FitHeaders(QWidget *dialog) {
    for (QHeaderView *header : dialog->findChildren<QHeaderView *>()) {
        if (header->orientation() != Qt::Horizontal || header->count() < 2) continue;
        const QFontMetrics metrics = header->fontMetrics();
        int others = 0;
        for (int section = 1; section < header->count(); ++section) {
            int width = std::max(header->sectionSize(section), header->sectionSizeHint(section));
            if (section == kTypeColumn) {
                const QString title =
                    header->model()->headerData(section, Qt::Horizontal).toString();
                const int padding =
                    header->sectionSizeHint(section) - metrics.horizontalAdvance(title);
                width = std::max(
                    width,
                    metrics.horizontalAdvance(QStringLiteral("Ricette MealMaster")) + padding);
            }
            if (section + 1 < header->count()) header->resizeSection(section, width);
            others += width;
        }
        const int room = header->viewport()->width() - others;
        header->resizeSection(
            0, std::max(header->sectionSizeHint(0), std::min(header->sectionSize(0), room)));
    }
}

// Every file dialog the program opens gets the Italian columns, wherever it was made.
class ItalianFileDialogs : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::Show) return false;
        auto *dialog = qobject_cast<QFileDialog *>(watched);
        if (dialog == nullptr) return false;
        if (dialog->proxyModel() == nullptr) dialog->setProxyModel(new ItalianFileColumns(dialog));
        FitHeaders(dialog);
        return false;
    }
};

bool InstallCatalogue(const QString &name, const QString &folder) {
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Italian, QLocale::Italy), name, QStringLiteral("_"),
                          folder) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    translator.release();
    return true;
}

}  // namespace

bool InstallItalianTranslations() {
    static bool installed = false;
    static bool qtCatalogueFound = false;
    if (installed) return qtCatalogueFound;
    installed = true;
    // Only the Italian files: the program speaks Italian whatever the system's language.
    qtCatalogueFound = InstallCatalogue(QStringLiteral("qtbase"),
                                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // Ours is installed last, so that it is asked first; it is built into the program.
    InstallCatalogue(QStringLiteral("qt_dialogs"), QStringLiteral(":/translations"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QCoreApplication::instance()->installEventFilter(
        new ItalianFileDialogs(QCoreApplication::instance()));
    return qtCatalogueFound;
}

}  // namespace sapidoro
