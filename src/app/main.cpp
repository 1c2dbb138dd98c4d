#include "app/Unit1.h"
#include "app/WindowTexts.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(sapidoro::UiText(sapidoro::kApplicationTitle));
    TForm1 Form1;
    Form1.showMaximized();
    return application.exec();
}
