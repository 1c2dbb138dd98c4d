#pragma once

#include <QWidget>

namespace sapidoro {

// A drawn rectangular frame (an etched line) that groups the controls lying over it.
// It takes no input: clicks go to the controls around it.
class FrameBorder : public QWidget {
    Q_OBJECT

public:
    explicit FrameBorder(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

}  // namespace sapidoro
