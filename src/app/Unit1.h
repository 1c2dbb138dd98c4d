#pragma once

#include <QString>
#include <QWidget>

// The main window. (Placeholder until the window is built: it only lists the recipes.)
class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    // Tests name the data folder (ending with the separator); the product uses the
    // executable's folder.
    TForm1(const QString &dataFolder, QWidget *parent);
};
