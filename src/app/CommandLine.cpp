#include "app/CommandLine.h"

#include "app/WindowTexts.h"
#include "collection/CollectionFolder.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QMenu>

namespace sapidoro {

namespace {

QString Utf8(const char *text) {
    return QString::fromUtf8(text);
}

QString HelpText(const QString &program) {
    return Utf8(
               "Uso: %1 [opzioni] [CARTELLA]\n"
               "Sapidoro cerca, consulta, modifica e stampa le ricette di una raccolta.\n"
               "Dal menu della finestra (clic destro): nuova ricetta, modifica, eliminazione e\n"
               "annullamento dell'ultima modifica; importazione da MealMaster, pagine web,\n"
               "JSON-LD e indirizzi web, esportazione in MealMaster e JSON-LD; dosi adattate\n"
               "alle persone e lista della spesa; menu della settimana con le calorie di ogni\n"
               "giorno; apertura di altre raccolte e creazione di una raccolta tua.\n"
               "\n"
               "Opzioni:\n"
               "  -h, --help     Mostra questo aiuto ed esce.\n"
               "  -v, --version  Mostra la versione ed esce.\n"
               "\n"
               "Argomenti:\n"
               "  CARTELLA       La cartella della raccolta da aprire, con i file ricette.txt,\n"
               "                 ing.txt, luoghi.txt e la cartella immagini. Senza CARTELLA si\n"
               "                 apre l'ultima raccolta aperta, altrimenti quella accanto al\n"
               "                 programma.\n"
               "\n"
               "File:\n"
               "  ~/.config/Sapidoro/Sapidoro.conf  Le impostazioni.\n"
               "  ~/.local/share/Sapidoro/          Lista della spesa, menu e altri dati tuoi.\n")
        .arg(program);
}

CommandLineOutcome Refused(const QString &program, const QString &message) {
    CommandLineOutcome outcome;
    outcome.exit = true;
    outcome.status = kUsageExitStatus;
    outcome.error = program + QStringLiteral(": ") + message + QLatin1Char('\n');
    return outcome;
}

}  // namespace

CommandLineOutcome ParseCommandLine(const QStringList &arguments) {
    const QString program = QStringLiteral("sapidoro");
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  Utf8("Mostra questo aiuto ed esce."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     Utf8("Mostra la versione ed esce."));
    QCommandLineOption listMenu(QStringLiteral("list-menu"));
    listMenu.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(listMenu);
    parser.addPositionalArgument(QStringLiteral("CARTELLA"),
                                 Utf8("La cartella della raccolta da aprire."));
    const QString usageHint = Utf8("\nPer l'aiuto: %1 --help").arg(program);

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString what = unknown.isEmpty()
                                 ? Utf8("riga di comando non valida")
                                 : Utf8("opzione sconosciuta \"%1\"")
                                       .arg((unknown.first().size() == 1 ? QStringLiteral("-")
                                                                         : QStringLiteral("--")) +
                                            unknown.first());
        return Refused(program, what + QLatin1Char('.') + usageHint);
    }
    CommandLineOutcome outcome;
    if (parser.isSet(help)) {
        outcome.exit = true;
        outcome.output = HelpText(program);
        return outcome;
    }
    if (parser.isSet(version)) {
        outcome.exit = true;
        outcome.output = UiText(kApplicationTitle) + QLatin1Char('\n');
        return outcome;
    }
    outcome.listMenu = parser.isSet(listMenu);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return Refused(program, Utf8("si può aprire una sola cartella alla volta.") + usageHint);
    if (positional.isEmpty()) return outcome;
    if (const QString problem = CollectionFolderProblem(positional.first()); !problem.isEmpty())
        return Refused(program, problem);
    outcome.folder = AsDataFolder(positional.first());
    return outcome;
}

QString MenuEntries(const QMenu &menu) {
    QString entries;
    for (const QAction *action : menu.actions()) {
        if (action->isSeparator()) continue;
        QString caption = action->text().remove(u'&');
        if (caption.endsWith(u'\u2026')) caption.chop(1);
        entries += caption + QLatin1Char('\n');
        const QMenu *submenu = action->menu();
        if (submenu && submenu->objectName() != QStringLiteral("RaccolteRecenti1"))
            entries += MenuEntries(*submenu);
    }
    return entries;
}

}  // namespace sapidoro
