#pragma once

namespace sapidoro {

// Makes Qt's own dialogs speak Italian: Qt's Italian catalogue from the system, the program's
// own catalogue for the texts Qt's lacks, Italian numbers and dates as the default locale, and
// file dialogs whose sizes, dates and column widths follow. Returns false when Qt's Italian
// catalogue is not installed; most of Qt's texts then stay in English.
bool InstallItalianTranslations();

}  // namespace sapidoro
