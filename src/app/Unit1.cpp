#include "app/Unit1.h"

#include <QCoreApplication>
#include <QDir>

TForm1::TForm1(QWidget *parent)
    : TForm1(QCoreApplication::applicationDirPath() + QDir::separator(), parent) {}

TForm1::TForm1(const QString &, QWidget *parent) : QWidget(parent) {}
