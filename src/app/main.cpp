#include "app/Translations.h"
#include "app/Unit1.h"
#include "app/WindowTexts.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(sapidoro::UiText(sapidoro::kApplicationTitle));
    sapidoro::InstallItalianTranslations();
    TForm1 Form1;
    Form1.showMaximized();
    return application.exec();
}
