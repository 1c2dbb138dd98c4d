#pragma once

#include <QWidget>

namespace sapidoro {

// A drawn rectangular frame (an etched line) that groups the controls lying over it.
// It takes no input: clicks go to the controls around it.
class FrameBorder : public QWidget {
    Q_OBJECT
    // Shows no text, so its font is not offered for design (nor scaled with the window).
    Q_PROPERTY(QFont font READ font WRITE setFont DESIGNABLE false)

public:
    explicit FrameBorder(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

}  // namespace sapidoro
