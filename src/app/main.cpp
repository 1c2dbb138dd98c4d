#include "app/ErrorReport.h"
#include "app/Translations.h"
#include "app/Unit1.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(sapidoro::kApplicationTitle));
    sapidoro::InstallItalianTranslations();
    TForm1 Form1;
    Form1.showMaximized();
    return application.exec();
}
