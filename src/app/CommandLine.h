#pragma once

#include <QString>
#include <QStringList>

namespace sapidoro {

// What the command line `sapidoro [opzioni] [CARTELLA]` asks for.
struct CommandLineOutcome {
    bool exit = false;  // the program ends at once with `status`
    int status = 0;     // 0 after --help or --version, 2 for a wrong command line or folder
    QString output;     // for standard output
    QString error;      // for standard error
    QString folder;     // the collection's folder; empty when none was given
};

// Exit status of a command line that cannot be carried out.
inline constexpr int kUsageExitStatus = 2;

// Reads the command line (the program's name first); needs no application object, so that
// --help and --version work without a display and a bad folder is refused before any window.
CommandLineOutcome ParseCommandLine(const QStringList &arguments);

}  // namespace sapidoro
