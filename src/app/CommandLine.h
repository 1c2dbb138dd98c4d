#pragma once

#include <QString>
#include <QStringList>

class QMenu;

namespace sapidoro {

// What the command line `sapidoro [opzioni] [CARTELLA]` asks for.
struct CommandLineOutcome {
    bool exit = false;  // the program ends at once with `status`
    int status = 0;     // 0 after --help or --version, 2 for a wrong command line or folder
    QString output;     // for standard output
    QString error;      // for standard error
    QString folder;     // the collection's folder; empty when none was given
    // Prints the window menu's entries and ends, for the package's checks.
    bool listMenu = false;
};

// Exit status of a command line that cannot be carried out.
inline constexpr int kUsageExitStatus = 2;

// Reads the command line (the program's name first); needs no application object, so that
// --help and --version work without a display and a bad folder is refused before any window.
CommandLineOutcome ParseCommandLine(const QStringList &arguments);

// The entries of `menu` and its submenus, one per line, as a user reads them (without the
// accelerator mark and the trailing ellipsis); the recent collections' list is not included.
QString MenuEntries(const QMenu &menu);

}  // namespace sapidoro
