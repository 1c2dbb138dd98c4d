#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace sapidoro {

bool InstallItalianTranslations() {
    static QTranslator *installed = nullptr;
    if (installed) return true;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    // Only the Italian file: the program speaks Italian whatever the system's language.
    if (!translator->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    if (!QCoreApplication::installTranslator(translator.get())) return false;
    installed = translator.release();
    return true;
}

}  // namespace sapidoro
