#pragma once

namespace sapidoro {

// Loads Qt's own Italian texts (message box buttons, file, print and preview dialogs) from the
// system's Qt translations into the application. Returns false when they are not installed;
// Qt's dialogs then stay in English.
bool InstallItalianTranslations();

}  // namespace sapidoro
