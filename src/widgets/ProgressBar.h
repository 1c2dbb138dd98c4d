#pragma once

#include <QColor>
#include <QProgressBar>

namespace sapidoro {

// A progress bar without text, its filled part in one colour on a background of another,
// in a sunken frame. Drawn by itself, so that both colours show exactly.
class ProgressBar : public QProgressBar {
    Q_OBJECT
    // Shows no text, so its font is not offered for design (nor scaled with the window).
    Q_PROPERTY(QFont font READ font WRITE setFont DESIGNABLE false)

public:
    explicit ProgressBar(QWidget *parent = nullptr);

    QColor barColour() const { return m_bar; }
    void setBarColour(const QColor &colour);
    QColor backgroundColour() const { return m_background; }
    void setBackgroundColour(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_bar;
    QColor m_background;
};

}  // namespace sapidoro
