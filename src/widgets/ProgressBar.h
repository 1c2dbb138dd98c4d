#pragma once

#include <QColor>
#include <QProgressBar>

namespace sapidoro {

// A progress bar without text, its filled part in one colour on a background of another,
// in a sunken frame. Drawn by itself, so that both colours show exactly.
class ProgressBar : public QProgressBar {
    Q_OBJECT

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
