#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

namespace sapidoro {

// A push button with a face of its own colour, a raised bevel and an optional glyph drawn
// centred (with the caption below it when both are present). Drawn by itself, so that the
// face shows exactly its colour under every style.
class ColourButton : public QPushButton {
    Q_OBJECT

public:
    explicit ColourButton(QWidget *parent = nullptr);

    QColor faceColour() const { return m_face; }
    void setFaceColour(const QColor &colour);
    const QPixmap &glyph() const { return m_glyph; }
    void setGlyph(const QPixmap &glyph);

protected:
    void paintEvent(QPaintEvent *event) override;
    QSize sizeHint() const override;

private:
    QColor m_face;
    QPixmap m_glyph;
};

}  // namespace sapidoro
