#include "app/CommandLine.h"
#include "app/Translations.h"
#include "app/Unit1.h"
#include "app/WindowTexts.h"
#include "collection/RecentCollections.h"

#include <QApplication>
#include <QMenu>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const sapidoro::CommandLineOutcome command = sapidoro::ParseCommandLine(arguments);
    std::fputs(command.output.toLocal8Bit().constData(), stdout);
    std::fputs(command.error.toLocal8Bit().constData(), stderr);
    if (command.exit) return command.status;

    QApplication application(argc, argv);
    QApplication::setApplicationName(sapidoro::UiText(sapidoro::kApplicationTitle));
    sapidoro::InstallItalianTranslations();
    const auto Form1 = command.folder.isEmpty() ? std::make_unique<TForm1>()
                                                : std::make_unique<TForm1>(command.folder, nullptr);
    if (command.listMenu) {
        const auto *menu = Form1->findChild<QMenu *>(QStringLiteral("PopupMenu1"));
        std::fputs(sapidoro::MenuEntries(*menu).toUtf8().constData(), stdout);
        return 0;
    }
    if (Form1->collectionOpened() && !Form1->startedOnFallback())
        sapidoro::RememberCollection(Form1->dataFolderPath());
    Form1->showMaximized();
    return application.exec();
}
