#pragma once

#include <QWidget>

class QToolButton;

namespace sapidoro {

// An integer shown between a minus button (left, named "minus") and a plus button (right,
// named "plus"). Every new
// value is clamped to minimum..maximum; a value equal to the current one changes nothing,
// any other is stored, redrawn and announced by `valueChanged` before the setter returns.
class Spinner : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int increment READ increment WRITE setIncrement)
    Q_PROPERTY(int pageSize READ pageSize WRITE setPageSize)

public:
    explicit Spinner(QWidget *parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);
    int minimum() const { return m_minimum; }
    void setMinimum(int minimum);
    int maximum() const { return m_maximum; }
    void setMaximum(int maximum);
    int increment() const { return m_increment; }
    void setIncrement(int increment) { m_increment = increment; }
    int pageSize() const { return m_pageSize; }
    void setPageSize(int pageSize) { m_pageSize = pageSize; }

    // Adds `delta` (negative to subtract) to the value, clamped like any other new value.
    void stepBy(qint64 delta);

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    QSize sizeHint() const override;

private:
    QRect valueRect() const;

    QToolButton *m_minus;
    QToolButton *m_plus;
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_increment = 1;
    int m_pageSize = 10;
};

}  // namespace sapidoro
