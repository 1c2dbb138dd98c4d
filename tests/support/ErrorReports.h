#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

namespace sapidoro::test {

// Collects the error reports and notices shown while it lives: each such box, captioned with the
// application title, is read, handed to `onReport` and answered as soon as it opens. Other
// boxes are left alone.
class ErrorReports : public QObject {
public:
    explicit ErrorReports(std::function<void(const QString &)> onReport = {});
    ~ErrorReports() override;
    const QStringList &messages() const { return m_messages; }
    // The symbol of each report (QMessageBox::Icon): the error one, or information for a notice.
    const QList<int> &icons() const { return m_icons; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> m_onReport;
    QStringList m_messages;
    QList<int> m_icons;
};

}  // namespace sapidoro::test
