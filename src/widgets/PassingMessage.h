#pragma once

#include <QLabel>

class QTimer;

namespace sapidoro {

// A short note over the bottom of a window, in the colours of a tool tip, that goes away by
// itself after some seconds or at a click: news of a success that needs no answer.
class PassingMessage : public QLabel {
    Q_OBJECT

public:
    // How long a note stays up.
    static constexpr int kShownMilliseconds = 6000;

    // Shows `text` over `window`, replacing the note it shows; the one note of each window.
    static PassingMessage *Show(QWidget *window, const QString &text);

    // The note of `window` (null while it never had one).
    static PassingMessage *Of(const QWidget *window);

    // The whole text, while the note shows it shortened to fit the window.
    QString fullText() const { return m_fullText; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    explicit PassingMessage(QWidget *window);
    void Place();

    QString m_fullText;
    QTimer *m_timer;
};

}  // namespace sapidoro
